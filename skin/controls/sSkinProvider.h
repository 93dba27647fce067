#pragma once
// TsSkinProvider: the non-visual component that takes over a form's frame. It subclasses the
// form's window (its procedure NewWndProc sees every message first and chains to the saved
// one), renders frame, caption and client background together into one bitmap (the cache of
// its SkinData, always the outer size of the window) and copies the frame strips and the
// client part from there. Skinned children take their backgrounds from the same bitmap.
//
// The provider is pass-through (every message goes unchanged to the form's own procedure)
// while no skin is active, while its section is missing, and while it restores the form's
// border icons itself; otherwise it is skinned and its message table applies.
//
// Index of this header:
// [SECTION] Title icon and title buttons (data classes)
// [SECTION] TsSkinProvider: properties, state, geometry, painting, caption buttons, messages
// [SECTION] Module functions
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/win/Classes.h"
#include "framework/win/Controls.h"
#include "framework/win/Forms.h"
#include "framework/win/Graphics.h"
#include "skin/controls/sSkinProviderTypes.h"
#include "skin/runtime/sMessagesWin.h"
#include "skin/paint/sBorders.h"
#include "skin/paint/sGraphUtils.h"

class TsCommonData;
class TsSkinManager;
class TsSystemMenu;
class TsSkinProvider;

// [SECTION] Title icon and title buttons ------------------------------------------------------

// The optional picture of the caption icon and its size (0 = derived from the caption height).
class TsTitleIcon : public TPersistent {
 public:
  TsTitleIcon();
  ~TsTitleIcon() override;

  TBitmap& Glyph() { return *glyph_; }
  const TBitmap& Glyph() const { return *glyph_; }
  void SetGlyph(const TBitmap& glyph);  // copies the picture
  std::int32_t Height() const { return height_; }
  void SetHeight(std::int32_t value) { height_ = value; }
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t value) { width_ = value; }

 private:
  std::unique_ptr<TBitmap> glyph_;
  std::int32_t height_ = 0;
  std::int32_t width_ = 0;
};

// An extra caption button. Besides its published properties it keeps the state of a caption
// button (State 0 normal, 1 hot, 2 pressed; ImageIndex its face mask in ma; Rect where it was
// last painted, in window coordinates).
class TsTitleButton : public TPersistent {
 public:
  TsTitleButton();
  ~TsTitleButton() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  TBitmap& Glyph() { return *glyph_; }
  const TBitmap& Glyph() const { return *glyph_; }
  void SetGlyph(const TBitmap& glyph);  // copies the picture
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  bool UseSkinData() const { return useSkinData_; }
  void SetUseSkinData(bool value) { useSkinData_ = value; }
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;

  // Call OnMouseDown / OnMouseUp, when assigned, with this button as sender. Index is the
  // button's position in its collection.
  void MouseDown(std::int32_t Index, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  void MouseUp(std::int32_t Index, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);

  // Copies the published properties (not the state).
  void Assign(const TsTitleButton& source);

  std::int32_t State = 0;
  std::int32_t ImageIndex = -1;
  TRect Rect{};

 private:
  bool enabled_ = true;
  std::unique_ptr<TBitmap> glyph_;
  std::string name_ = "TsTitleButton";
  bool useSkinData_ = true;
};

// The provider's extra caption buttons, in order; the collection owns them.
class TsTitleButtons : public TPersistent {
 public:
  explicit TsTitleButtons(TsSkinProvider* provider);
  ~TsTitleButtons() override;

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  TsTitleButton& Items(std::int32_t index) const { return *items_[static_cast<std::size_t>(index)]; }
  TsTitleButton& Add();
  void Delete(std::int32_t index);
  void Clear();
  // Makes this collection a copy of `source` (new items, same published properties).
  void Assign(const TsTitleButtons& source);
  // The collection changed: the provider's caption is repainted.
  void Update();

  TsSkinProvider* Provider() const { return provider_; }

 private:
  TsSkinProvider* provider_;
  std::vector<std::unique_ptr<TsTitleButton>> items_;
};

// [SECTION] TsSkinProvider --------------------------------------------------------------------

class TsSkinProvider : public TComponent, public TsSkinMessageReceiver {
 public:
  explicit TsSkinProvider(TComponent* owner);
  ~TsSkinProvider() override;
  void BeforeDestruction() override;
  void AfterConstruction();
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // "SkinData.SkinSection", "BorderIcons", "CaptionAlignment", "GripMode", "MakeSkinMenu",
  // "ResizeMode", "ScreenSnap", "SnapBuffer", "ShowAppIcon", "TitleButtons" (an empty list
  // only), "UseGlobalColor".
  bool ReadProperty(TReader& reader, const TDefProperty& property) override;

  // Published properties, in their stored order.
  TsBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TsBorderIcons value) { borderIcons_ = value; }
  TAlignment CaptionAlignment() const { return captionAlignment_; }
  void SetCaptionAlignment(TAlignment value);
  TsCommonData& SkinData() const { return *skinData_; }
  TsGripMode GripMode() const { return gripMode_; }
  void SetGripMode(TsGripMode value) { gripMode_ = value; }
  bool MakeSkinMenu() const { return makeSkinMenu_; }
  void SetMakeSkinMenu(bool value) { makeSkinMenu_ = value; }
  TsResizeMode ResizeMode() const { return resizeMode_; }
  void SetResizeMode(TsResizeMode value) { resizeMode_ = value; }
  bool ScreenSnap() const { return screenSnap_; }
  void SetScreenSnap(bool value) { screenSnap_ = value; }
  std::int32_t SnapBuffer() const { return snapBuffer_; }
  void SetSnapBuffer(std::int32_t value) { snapBuffer_ = value; }
  bool ShowAppIcon() const { return showAppIcon_; }
  void SetShowAppIcon(bool value);
  TsTitleButtons& TitleButtons() const { return *titleButtons_; }
  void SetTitleButtons(const TsTitleButtons& value);
  TsTitleIcon& TitleIcon() const { return *titleIcon_; }
  void SetTitleIcon(const TsTitleIcon& value);
  bool UseGlobalColor() const { return useGlobalColor_; }
  void SetUseGlobalColor(bool value);

  // [SECTION] State
  TCustomForm* Form = nullptr;            // the first form up the owner chain
  TsSkinManager* SkinManager = nullptr;   // whose skin is drawn
  TsSystemMenu* SystemMenu = nullptr;     // owned
  bool FormActive = true;                 // the caption is drawn in its active look
  std::string CaptionText;                // drawn in the caption (the form's text stays as it was)
  TsCaptionButton ButtonMin;
  TsCaptionButton ButtonMax;
  TsCaptionButton ButtonClose;
  TsCaptionButton ButtonHelp;
  std::int32_t CurrentHT = 0;             // hit-test code of the button that is hot or pressed
  std::vector<TRect> RegionRects;         // pixels cut out of the window region (one-row rectangles)
  bool RegionChanged = true;              // rebuild the region at the next non-client paint
  bool RegionApplying = false;            // the region is being applied (nested non-client paint)
  // The region the window has from us, null when it has none: the same region is not applied
  // again (applying it makes the system repaint the frame and every child).
  std::optional<TsRegion> AppliedRegion;
  std::unique_ptr<TBitmap> TitleBG;       // the caption strip's background, before the caption
  bool TitleChanged = true;               // the next full paint may not use TitleBG
  std::unique_ptr<TBitmap> ButtonsBG;     // caption background behind the caption buttons
  TBorderIcons SavedBorderIcons;          // the form's own, given back when the skin goes
  bool SavedAutoScroll = false;
  TFormBorderStyle SavedBorderStyle = TFormBorderStyle::bsSizeable;
  bool InBorderIconsChange = false;       // every message passes straight to the form

  // The number of times PaintAll composed the whole window (the full path). The fast caption
  // repaint and the copies do not count; for tests and diagnostics.
  std::int64_t FullRenderCount = 0;

  // [SECTION] Hooking
  // The form's window, if any, is subclassed by NewWndProc; a recreated window is subclassed
  // again when it is created. Unhook restores the saved procedure.
  void HookForm();
  void UnhookForm();
  bool Hooked() const { return hookedWindow_ != nullptr; }
  // Passes a message to the form's own window procedure (the one saved when hooking).
  void CallOldWndProc(TMessage& Message);
  // The window procedure: decides skinned or pass-through, then the message table.
  void NewWndProc(TMessage& Message);
  // Skin messages delivered straight to the provider by the broadcasts.
  void SkinMessage(TMessage& message) override;
  // Sets FormActive, marks the background changed and applies the global colour.
  void DoHook();
  // The provider paints the form now (the head conditions of NewWndProc do not hold).
  bool Skinned() const;

  // [SECTION] Frame geometry (from the border style and the system metrics, never cached)
  std::int32_t CaptionHeight() const;
  std::int32_t BorderWidth() const;
  std::int32_t BorderHeight() const;
  std::int32_t HeaderHeight() const;
  std::int32_t OffsetX() const;
  std::int32_t OffsetY() const;
  bool IconVisible() const;
  TRect IconRect() const;
  TPoint FormLeftTop() const;
  TPoint CursorToPoint(std::int32_t X, std::int32_t Y) const;
  std::int32_t MaxWidth() const;
  std::int32_t MaxHeight() const;
  bool FormChanged() const;
  // Side of the caption icon: the title icon's size or the size derived from CaptionHeight.
  std::int32_t IconWidth() const;
  std::int32_t IconHeight() const;
  bool HasBorder() const;

  // [SECTION] Painting of frame, caption and client background
  void PaintAll();
  void MakeTitleBG();
  void PrepareCaption(const TCacheInfo& CacheInfo, TRect R);
  // The "FORMTITLE" band over Band (its transparent pixels from CacheInfo); with Decorations,
  // the icon, the title bar, the buttons and the caption text between rows TextTop and
  // TextBottom over it. Both paint paths compose the caption through it.
  void ComposeCaption(const TCacheInfo& CacheInfo, TRect Band, std::int32_t TextTop, std::int32_t TextBottom,
                      bool Decorations);
  void PaintCaption(HDC DC);
  void OurPaintHandler();
  void PaintForm(HDC DC);
  // The part of the window's frame that the skin now in the arrays (loaded, perhaps not yet
  // announced) would leave without a visible pixel through the region its masks give: "caption"
  // (the whole band from the top edge to the client area) or "close button"; empty when both
  // keep one, or when the skin has no section for the frame.
  std::string HiddenFramePart() const;
  // Rebuilds RegionRects from the border masks of the sections.
  void BuildRegionRects();
  void UpdateRgn();
  // The non-client paint (WM_NCPAINT).
  void NCPaint();
  // Writes CaptionText, shortened to fit between the icon and the buttons, into the picture
  // between rows Top and Bottom, 4 pixels right of the frame (after the icon).
  void PaintCaptionText(std::int32_t Top, std::int32_t Bottom);

  // [SECTION] Caption buttons, hit testing, system menu, outline drag
  // (these live in sSkinProviderCaption.cpp)
  std::int32_t ButtonWidth();
  std::int32_t ButtonHeight();
  std::int32_t ButtonsCount();
  std::int32_t BarWidth(std::int32_t Mask);
  void PaintBorderIcons();
  void RepaintButton(std::int32_t HT);
  std::int32_t HTProcess(TMessage& Message);
  void SetHotHT(std::int32_t HT);
  void SetPressedHT(std::int32_t HT);
  void DropSysMenu(std::int32_t X, std::int32_t Y);
  // Hooks (true) or unhooks (false) the form's popup menus and the system menu into the skinned
  // menus of the manager; nothing without them or while the manager's SkinnedPopups is off.
  void InitMenuItems(bool value);
  TPoint RBGripPoint(std::int32_t Mask);
  bool AboveBorder(TMessage& Message);
  void StartMove(std::int32_t X, std::int32_t Y);
  void StopMove(std::int32_t X, std::int32_t Y);
  void DrawFormBorder(std::int32_t X, std::int32_t Y);
  // The caption mouse messages of a skinned form: WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,
  // WM_NCLBUTTONDBLCLK, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_LBUTTONUP, WM_SYSCOMMAND and
  // WM_MOUSEMOVE. Returns true when the message is done (its result set; any default handling
  // it needed already run through CallOldWndProc); false hands it to the form's own procedure.
  bool CaptionMouseMessage(TMessage& Message);

 private:
  // [SECTION] Handlers of NewWndProc's message table (all but the first run while skinned)
  // Not skinned: a new skin, or the removal of one, is taken up; every message goes on.
  void PassThroughMessage(TMessage& Message);
  // After the form's own handling: the frame is repainted in the new state, the menu updated.
  void WMActivate(TMessage& Message);
  // Keeps the text for the caption and paints it; the system stores the text unpainted.
  void WMSetText(TMessage& Message);
  // The client part from the picture, or only validated while the form is not shown.
  void WMPaint(TMessage& Message);
  // Consumed (result 1): the client background comes from the picture.
  void WMEraseBkgnd(TMessage& Message);
  // The largest tracking size is the work area, plus 6 for the frame, then the form's own.
  void WMGetMinMaxInfo(TMessage& Message);
  // Snaps the new position to the screen edges; not passed on while the skin data updates.
  void WMWindowPosChanging(TMessage& Message);
  // WM_WINDOWPOSCHANGED and WM_EXITSIZEMOVE: a move asks for the region again, a new size
  // for a new picture, painted at once.
  void WMWindowPosChanged(TMessage& Message);
  // The frame's hit test (HTProcess); the caption and the client go to the form's own.
  void WMNCHitTest(TMessage& Message);
  // The non-client paint (NCPaint), never the system's.
  void WMNCPaint(TMessage& Message);
  // The form's own handling with lParam -1 (no system caption painted), then the new state.
  void WMNCActivate(TMessage& Message);
  // After the form's own sizing step: a new size needs a new picture.
  void WMSizing(TMessage& Message);
  // WM_MOUSELEAVE, WM_NCMOUSELEAVE and CM_MOUSELEAVE: no caption button stays hot.
  void WMMouseLeave(TMessage& Message);
  // A changed menu changes the caption: the next full paint may not reuse TitleBG.
  void CMMenuChanged(TMessage& Message);
  // Everything composed and painted again, from the full path (TitleBG dropped).
  void SKMRepaint(TMessage& Message);
  // Publishes the current picture in GlobalCacheInfo for the child that asked.
  void SKMGetCache(TMessage& Message);
  // Starts or ends an update (lParam); a started one marks the background changed.
  void SKMSetUpdating(TMessage& Message);
  // Urgent painting on (wParam) composes the picture at once.
  void SKMUrgentPaint(TMessage& Message);
  // Result 1 while the picture is outdated or being updated.
  void SKMGetUpdating(TMessage& Message);

  // [SECTION] Handlers of CaptionMouseMessage (sSkinProviderCaption.cpp). Each returns true
  // when the message is done, false when it goes on to the form's own procedure.
  // What CaptionMouseMessage reads of the message and the window before any handler acts.
  struct TCaptionMouse {
    std::int32_t HT;         // wParam: the hit-test code of a non-client message
    std::int32_t X, Y;       // lParam: screen point (non-client) or client point
    HWND Window;             // the form's window
    bool SkinnedPopups;      // the system menu is the skinned one
    bool Maximized, Minimized;
    bool OutlineDrag;        // rmBorder: the provider moves and sizes the window itself
  };
  // Presses a caption or title button, or drops the system menu from the icon; the rest of the
  // frame goes to FrameLButtonDown.
  bool WMNCLButtonDown(TMessage& Message, const TCaptionMouse& mouse);
  // A press on the caption, an edge or a minimized window: drags it, or starts the outline drag.
  bool FrameLButtonDown(TMessage& Message, const TCaptionMouse& mouse);
  // A caption or title button acts on its release; a release elsewhere ends the outline drag.
  bool WMNCLButtonUp(const TCaptionMouse& mouse);
  // Minimizes the form (the application minimizes with its main form).
  void MinimizeButtonUp(const TCaptionMouse& mouse);
  // Maximizes or restores the form.
  void MaximizeButtonUp(const TCaptionMouse& mouse);
  // Closes the form; a window that stays gets its close button back in the normal or hot face.
  void CloseButtonUp(const TCaptionMouse& mouse);
  // Enters the context help mode.
  void HelpButtonUp(const TCaptionMouse& mouse);
  // A release in the client area (the mouse is captured) ends the outline drag.
  bool WMLButtonUp(const TCaptionMouse& mouse);
  // Ends an outline drag; on the caption maximizes or restores, on the icon closes the form.
  bool WMNCLButtonDblClk(const TCaptionMouse& mouse);
  // Drops the skinned system menu over the caption and the icon.
  bool WMNCRButtonUp(const TCaptionMouse& mouse);
  // The system's move and size commands prepare the outline drag; they still go on.
  bool WMSysCommand(TMessage& Message, const TCaptionMouse& mouse);
  // The outline follows the mouse, after the form's own handling of the move.
  bool WMMouseMove(TMessage& Message, const TCaptionMouse& mouse);
  // Moves the whole outline by the mouse's way since the last move.
  void MoveOutline(POINT at);
  // Moves the dragged edges of the outline to the mouse (the first move only takes its point).
  void SizeOutline(POINT at);
  // Ends the outline drag at a screen point and releases the mouse.
  void EndDrag(POINT at);

  void LookUpIndexes();
  void NewSkin(TMessage& Message, bool skinned);
  void RemoveSkin(bool skinned);
  void ApplyGlobalColor();
  void ClearFormBorderIcons(bool processPending);
  void ReleaseWindow();
  void PaintIcon();
  void PaintTitleBar(TRect band);
  void PaintButtons();
  void SnapPosition(WINDOWPOS& position) const;
  void TrackNonClientLeave();
  void WindowCreated();
  void RepaintNC();
  bool FormCreating() const;
  bool FormVisible() const;
  void SendChildren(UINT msg);
  void PaintTargetChild(HDC DC, TControl* target);

  static LRESULT CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  TsBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
  TAlignment captionAlignment_ = TAlignment::taLeftJustify;
  std::unique_ptr<TsCommonData> skinData_;
  TsGripMode gripMode_ = TsGripMode::gmNone;
  bool makeSkinMenu_ = true;
  TsResizeMode resizeMode_ = TsResizeMode::rmStandard;
  bool screenSnap_ = false;
  std::int32_t snapBuffer_ = 10;
  bool showAppIcon_ = true;
  std::unique_ptr<TsTitleButtons> titleButtons_;
  std::unique_ptr<TsTitleIcon> titleIcon_;
  bool useGlobalColor_ = true;

  HWND hookedWindow_ = nullptr;
  WNDPROC oldWndProc_ = nullptr;
  bool painting_ = false;  // PaintForm is running
};

// [SECTION] Module functions ------------------------------------------------------------------

// The provider of the first form up the owner chain of `component` (its answer to
// SKM_GETPROVIDER), or none.
TsSkinProvider* GetFormSkinProvider(TComponent* component);
