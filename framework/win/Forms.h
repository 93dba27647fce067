#pragma once
// Forms and the application object.
//
// TApplication owns the forms, runs the message loop and is the last stop of every exception
// raised while a message is handled: an EAbort is dropped silently, any other exception is
// shown in an error box (caption: the application title; icon: error; one OK button) and the
// loop goes on. The first form created is the main form; closing it ends the loop.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

#include "framework/win/Controls.h"
#include "framework/win/Reader.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// The caption buttons the system offers on a form's frame (the system menu brings the close
// button), as far as the border style allows them.
enum class TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
class TBorderIcons {
 public:
  constexpr TBorderIcons() = default;
  constexpr TBorderIcons(std::initializer_list<TBorderIcon> icons) {
    for (const auto icon : icons) bits_ = static_cast<std::uint8_t>(bits_ | Bit(icon));
  }
  constexpr bool Contains(TBorderIcon icon) const { return (bits_ & Bit(icon)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TBorderIcons&) const = default;

 private:
  static constexpr std::uint8_t Bit(TBorderIcon icon) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(icon)); }
  std::uint8_t bits_ = 0;
};
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TCustomForm : public TCustomControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void BeforeDestruction() override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  // A new set recreates the window, since the system reads it from the window's styles.
  void SetBorderIcons(TBorderIcons icons);
  // Stored only: this framework's forms do not scroll.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value) { autoScroll_ = value; }
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  TRect ClientRect() const override { return TRect{0, 0, clientWidth_, clientHeight_}; }
  int PixelsPerInch() const { return pixelsPerInch_; }

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // A control of this form received the focus.
  void FocusChanged(TWinControl* control);

  void Show();
  void Hide();
  // Asks the form to close (OnClose may refuse); closing the main form ends the application.
  void Close();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TCloseEvent OnClose;
  // Runs each time the form's window has been created (also when it is recreated), so that
  // whoever subclasses the window can do it again.
  std::function<void()> OnHandleCreated;

  void WndProc(TMessage& message) override;
  void SetBounds(int left, int top, int width, int height) override;
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;
  void Notification(TComponent* component, TOperation operation) override;

  // The fields and handlers a derived form offers to its stored definition.
  TRootBindings& Bindings() { return bindings_; }
  // Reads a definition into this form (see TReader).
  void ReadDefinition(const TDefObject& definition);
  void ReadDefinitionResource(const wchar_t* resourceName);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;

 private:
  void FrameStyle(DWORD& style, DWORD& exStyle) const;
  void SizeFromClient();

  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  TBorderIcons borderIcons_{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize};
  bool autoScroll_ = false;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  int pixelsPerInch_ = 96;
  TWinControl* activeControl_ = nullptr;
  TRootBindings bindings_;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

using TExceptionEvent = std::function<void(TObject* sender, const Exception& error)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // Whether controls show their hints; a pressed button switches them off until the release.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }
  TCustomForm* MainForm() const { return mainForm_; }

  // Creates a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (!mainForm_) mainForm_ = reference;
  }

  // Shows the main form and handles messages until the application terminates.
  void Run();
  // Handles every message waiting in the queue, then returns.
  void ProcessMessages();
  // Ends the message loop.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Handles the exception being caught right now (call it inside a catch block).
  void HandleException(TObject* sender);
  // The error box for one exception.
  void ShowException(const Exception& error);
  // The text the error box shows for a message (full stop rule).
  static std::string ErrorBoxText(const std::string& message);

  // Not installed by the program; a host (a test) may set it to see errors instead of a box.
  TExceptionEvent OnException;

  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool ProcessMessage(MSG& msg);

  std::string title_;
  bool showHint_ = true;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

extern TApplication* Application;

// Hands the exception being caught to the application (or, without one, drops it).
void HandleApplicationException(TObject* sender) noexcept;
