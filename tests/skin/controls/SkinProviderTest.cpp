// The skinned form frame on a real window under Wine: the window region cut from the corner
// masks, the caption and client background in the window's picture, activation through the
// fast caption repaint, the caption double click, and the message sequences of a skin change,
// of the skin's removal and of the provider's hooking and unhooking.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/core/Definition.h"
#include "framework/win/Forms.h"
#include "framework/win/Text.h"
#include "resources/skins/StoredSkins.h"
#include "skin/controls/sLabel.h"
#include "skin/controls/sSkinProvider.h"
#include "skin/controls/sSkinableMenus.h"
#include "skin/controls/sSystemMenu.h"
#include "skin/data/sMessages.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLookup.h"
#include "skin/manager/sSkinManager.h"
#include "skin/paint/sGraphUtils.h"
#include "skin/runtime/sCommonData.h"
#include "tests/win/WinTestSupport.h"

namespace {

// The window and what the test records of it.
class TTestForm : public TForm {
 public:
  using TForm::TForm;
  // What reaches the form's own window procedure (what the provider passes on), recorded with
  // the receiver "form".
  TMessageLog* Log = nullptr;
  void WndProc(TMessage& message) override;
};

// The messages of the frame's protocols; others (hit tests, position changes) are not recorded.
const std::set<UINT> kRecorded = {WM_NCCREATE, WM_NCDESTROY, WM_NCPAINT,  WM_PAINT,
                                  WM_SETTEXT,  SKM_REPAINT,  SKM_NEWSKIN, SKM_REMOVESKIN};

std::string Named(std::uint32_t message) { return MessageNameWith<SkinMessageName>(message); }

void TTestForm::WndProc(TMessage& message) {
  if (Log != nullptr && kRecorded.count(message.Msg) != 0)
    Log->Message(message.Msg, message.WParam, message.LParam, "form");
  TForm::WndProc(message);
}

// Every recorded message sent to a window of the test form's class, as the window receives it
// (before the provider's procedure).
class TSentRecorder {
 public:
  explicit TSentRecorder(TMessageLog& log) {
    log_ = &log;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, GetCurrentThreadId());
  }
  ~TSentRecorder() {
    UnhookWindowsHookEx(hook_);
    log_ = nullptr;
  }
  TSentRecorder(const TSentRecorder&) = delete;
  TSentRecorder& operator=(const TSentRecorder&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && log_ != nullptr) {
      const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
      wchar_t className[32]{};
      GetClassNameW(sent->hwnd, className, 32);
      if (std::wstring(className) == L"TTestForm" && kRecorded.count(sent->message) != 0)
        log_->Message(sent->message, sent->wParam, sent->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline TMessageLog* log_ = nullptr;
  HHOOK hook_ = nullptr;
};

constexpr const char* kDefinition = R"def(Form: TTestForm {
  Left = 120
  Top = 90
  BorderStyle = bsDialog
  Caption = "Расчет дискового пространства"
  ClientHeight = 120
  ClientWidth = 320
  Color = 13282167
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = "MS Sans Serif"
  Font.Style = []
  sLabel1: TsLabel {
    Left = 8
    Top = 16
    Width = 72
    Height = 13
    Caption = "Размер кадра"
  }
  sSkinManager1: TsSkinManager {
    InternalSkins = ("BlueGlass (internal)", "MacOS (internal)", "LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)")
    SkinDirectory = "c:\\NoSkinsHere"
    SkinName = "BlueGlass (internal)"
  }
  sSkinProvider1: TsSkinProvider {
    SkinData.SkinSection = "FORM"
    TitleButtons = ()
  }
}
)def";

class SkinProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass<TsLabel>("TsLabel");
    RegisterClass<TsSkinManager>("TsSkinManager");
    UseSkinableMenus();
    ManagerHooks().LoadStoredSkins = LoadStoredSkins;
    RegisterClass<TsSkinProvider>("TsSkinProvider");
    app = new TApplication(nullptr);
    app->OnException = [this](TObject*, const Exception& error) { errors.push_back(error.Message()); };
    app->CreateForm(form);
    form->ReadDefinition(ParseDefinition(kDefinition));
    manager = dynamic_cast<TsSkinManager*>(form->FindComponent("sSkinManager1"));
    provider = dynamic_cast<TsSkinProvider*>(form->FindComponent("sSkinProvider1"));
    ASSERT_NE(manager, nullptr);
    ASSERT_NE(provider, nullptr);
    form->Show();
    PumpMessages();
  }
  void TearDown() override {
    delete app;
    EXPECT_TRUE(errors.empty()) << errors.front();
  }

  TPixelView Cache() const { return provider->SkinData().CacheBmp->View(); }
  // The bytes of a rectangle of the window's picture, row by row.
  std::vector<std::uint8_t> CacheBytes(TRect r) const {
    const TPixelView view = Cache();
    std::vector<std::uint8_t> bytes;
    for (int y = r.Top; y < r.Bottom; ++y)
      bytes.insert(bytes.end(), view.Pixel(r.Left, y), view.Pixel(r.Right, y));
    return bytes;
  }
  TRect CaptionBand() const { return TRect{0, 0, form->Width(), provider->BorderHeight() + provider->CaptionHeight()}; }
  TRect ClientPart() const {
    return TRect{provider->OffsetX(), provider->OffsetY() + 1, form->Width() - provider->BorderWidth(),
                 form->Height() - provider->BorderHeight()};
  }

  // The window pixels the skin cuts away: the key pixels of the corner pieces of the "FORM"
  // border mask (top and bottom) and of the "FORMTITLE" border mask (top), found by looking at
  // every pixel of the pieces.
  std::set<std::pair<int, int>> ExpectedHoles() const {
    std::set<std::pair<int, int>> holes;
    const int width = form->Width();
    auto addPieces = [&](const char* section, bool top, bool bottom) {
      const std::int32_t index = GetMaskIndex(GetSkinIndex(section), section, "BORDERSMASK");
      if (!IsValidImgIndex(index)) return;
      const TsMaskData& m = ma[static_cast<std::size_t>(index)];
      const TMaskSize size = MaskSize(m);
      const int corner = size.Width / 3;
      const int rows = size.Height / 3;
      const TPixelView master = MasterBitmap->View();
      auto scan = [&](int firstRow, int windowTop) {
        for (int r = 0; r < rows; ++r)
          for (int c = 0; c < size.Width; ++c) {
            if (c >= corner && c < size.Width - corner) continue;
            const std::uint8_t* p = master.Pixel(m.R.Left + c, firstRow + r);
            if (p[0] == 255 && p[1] == 0 && p[2] == 255)
              holes.insert({c < corner ? c : width - size.Width + c, windowTop + r});
          }
      };
      if (top) scan(m.R.Top, 0);
      if (bottom) scan(m.R.Top + 2 * rows, form->Height() - rows);
    };
    addPieces("FORM", true, true);
    addPieces("FORMTITLE", true, false);
    return holes;
  }

  // Checks every pixel of the window against the region read back from the window.
  void ExpectRegionCutsExactly(const std::set<std::pair<int, int>>& holes) {
    TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form->Handle(), region.Get()), ERROR) << "the window has no region";
    int wrong = 0;
    for (int y = 0; y < form->Height(); ++y)
      for (int x = 0; x < form->Width(); ++x) {
        const bool inside = PtInRegion(region.Get(), x, y) != FALSE;
        if (inside == (holes.count({x, y}) != 0) && ++wrong <= 10)
          ADD_FAILURE() << "pixel " << x << "," << y << (inside ? " is kept" : " is cut");
      }
    EXPECT_EQ(wrong, 0);
  }

  TApplication* app = nullptr;
  TTestForm* form = nullptr;
  TsSkinManager* manager = nullptr;
  TsSkinProvider* provider = nullptr;
  std::vector<std::string> errors;
};

TEST_F(SkinProviderTest, StartsSkinnedWithTheFrameTakenOver) {
  HWND window = form->Handle();
  EXPECT_TRUE(provider->Skinned());
  EXPECT_TRUE(provider->Hooked());
  // The system draws no caption buttons: the form's own border icons are gone.
  EXPECT_TRUE(form->BorderIcons().Empty());
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(form->Color(), manager->GetGlobalColor());
  EXPECT_EQ(SendMessageW(window, SKM_GETPROVIDER, 0, 0), reinterpret_cast<LRESULT>(provider));
  // The picture has the window's outer size; the client area starts below the caption band.
  EXPECT_EQ(Cache().Width, form->Width());
  EXPECT_EQ(Cache().Height, form->Height());
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 320);
  EXPECT_EQ(client.bottom, 120);
  EXPECT_EQ(provider->BorderWidth(), GetSystemMetrics(SM_CXFRAME) - 1);
  EXPECT_EQ(provider->BorderHeight(), GetSystemMetrics(SM_CYFRAME) - 1);
  EXPECT_EQ(provider->CaptionHeight(), GetSystemMetrics(SM_CYCAPTION));
  EXPECT_FALSE(provider->IconVisible());

  // The form's colour follows the skin only while UseGlobalColor is set.
  provider->SetUseGlobalColor(false);
  EXPECT_EQ(form->Color(), clBtnFace);
  provider->SetUseGlobalColor(true);
  EXPECT_EQ(form->Color(), manager->GetGlobalColor());
}

TEST_F(SkinProviderTest, WithoutItsSectionTheProviderPassesEverythingOn) {
  TMessageLog log(&Named);
  provider->SkinData().SetSkinSection("NOSUCHSECTION");
  EXPECT_FALSE(provider->Skinned());
  form->Log = &log;
  SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
  SendMessageW(form->Handle(), SKM_REPAINT, 0, 0);
  form->Log = nullptr;
  ExpectSequence({Msg(WM_NCPAINT).To("form").W(1), Msg(SKM_REPAINT).To("form")}, log);
  EXPECT_EQ(SendMessageW(form->Handle(), SKM_GETPROVIDER, 0, 0), 0);
}

TEST_F(SkinProviderTest, ScreenSnapPullsNearEdgesOntoTheMonitorsEdges) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
  const int left = static_cast<int>(monitor.rcMonitor.left);
  const int top = static_cast<int>(monitor.rcMonitor.top);
  const int right = static_cast<int>(monitor.rcMonitor.right);
  const int bottom = static_cast<int>(monitor.rcMonitor.bottom);
  const int w = form->Width();
  const int h = form->Height();
  provider->SetScreenSnap(true);
  struct Case {
    int x, y, snappedX, snappedY;
  };
  const Case cases[] = {
      {left + 9, 200, left, 200},              // within the buffer of the left edge
      {left + 10, 200, left + 10, 200},        // just outside it
      {300, top + 4, 300, top},                // top edge
      {right - w - 7, 250, right - w, 250},    // right edge
      {320, bottom - h + 9, 320, bottom - h},  // bottom edge
  };
  for (const Case& c : cases) {
    SetWindowPos(form->Handle(), nullptr, c.x, c.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, c.snappedX) << c.x << "," << c.y;
    EXPECT_EQ(r.top, c.snappedY) << c.x << "," << c.y;
  }
  provider->SetScreenSnap(false);
  SetWindowPos(form->Handle(), nullptr, left + 5, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, left + 5);
}

TEST_F(SkinProviderTest, RegionLosesExactlyTheKeyPixelsOfTheCornerPieces) {
  const auto holes = ExpectedHoles();
  EXPECT_FALSE(holes.empty());
  ExpectRegionCutsExactly(holes);

  // After a change of size the region follows the new corners.
  SetWindowPos(form->Handle(), nullptr, 0, 0, form->Width() + 40, form->Height() + 30,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpMessages();
  EXPECT_EQ(Cache().Width, form->Width());
  ExpectRegionCutsExactly(ExpectedHoles());
}

TEST_F(SkinProviderTest, CaptionTextAndClientBackgroundInThePicture) {
  const std::int32_t title = GetSkinIndex("FORMTITLE");
  ASSERT_TRUE(IsValidSkinIndex(title));
  const TColor textColor = provider->FormActive ? gd[static_cast<std::size_t>(title)].HotFontColor
                                                : gd[static_cast<std::size_t>(title)].FontColor;
  const std::uint8_t blue = static_cast<std::uint8_t>(textColor >> 16);
  const std::uint8_t green = static_cast<std::uint8_t>(textColor >> 8);
  const std::uint8_t red = static_cast<std::uint8_t>(textColor);

  // Where the caption's first letter has its first column in that font, drawn alone.
  TBitmap probe(200, 40);
  TCanvas& canvas = probe.Canvas();
  canvas.SetBrushColor(clWhite);
  canvas.FillRect(TRect{0, 0, 200, 40});
  canvas.Font().Assign(form->Font());
  canvas.Font().SetStyle(fsBold);
  canvas.Font().SetColor(clBlack);
  canvas.TextOut(0, 0, provider->CaptionText);
  int bearing = -1;
  const TPixelView probeView = probe.View();
  for (int x = 0; x < probeView.Width && bearing < 0; ++x)
    for (int y = 0; y < probeView.Height; ++y)
      if (probeView.Pixel(x, y)[0] != 255) {
        bearing = x;
        break;
      }
  ASSERT_GE(bearing, 0);

  const TPixelView cache = Cache();
  int first = -1;
  for (int x = 0; x < cache.Width && first < 0; ++x)
    for (int y = provider->BorderHeight(); y < provider->CaptionHeight(); ++y) {
      const std::uint8_t* p = cache.Pixel(x, y);
      if (p[0] == blue && p[1] == green && p[2] == red) {
        first = x;
        break;
      }
    }
  EXPECT_EQ(first, provider->BorderWidth() + 4 + bearing) << "the caption text starts 4 pixels right of the frame";

  // The client background is the "FORM" pattern tiled from the window's top-left corner.
  const std::int32_t section = GetSkinIndex("FORM");
  const std::int32_t pattern = GetMaskIndex(section, "FORM", "PATTERN");
  ASSERT_TRUE(IsValidImgIndex(pattern));
  ASSERT_EQ(gd[static_cast<std::size_t>(section)].ImagePercent, 100);
  TPixelImage tiled(cache.Width, cache.Height);
  TileBitmap(tiled.View(), TRect{0, 0, cache.Width, cache.Height}, TsTilePicture{}, ma[static_cast<std::size_t>(pattern)]);
  // The frame's border mask reaches one pixel into the client area at each side.
  const TRect client = ClientPart();
  int differing = 0;
  for (int y = client.Top; y < client.Bottom - 1; ++y)
    for (int x = client.Left + 1; x < client.Right - 1; ++x)
      if (std::memcmp(cache.Pixel(x, y), tiled.View().Pixel(x, y), 3) != 0 && ++differing <= 5)
        ADD_FAILURE() << "client background differs at " << x << "," << y;
  EXPECT_EQ(differing, 0);

  // The window shows the picture: client pixel (0, 0) is picture pixel (OffsetX, OffsetY + 1).
  TWindowDC dc(form->Handle());
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW);
  const COLORREF shown = GetPixel(dc.Get(), 40, 60);
  const std::uint8_t* expected = cache.Pixel(provider->OffsetX() + 40, provider->OffsetY() + 1 + 60);
  EXPECT_EQ(shown, RGB(expected[2], expected[1], expected[0]));
}

TEST_F(SkinProviderTest, ActivationSwitchesTheCaptionThroughTheFastPath) {
  // Another window of the application takes the activation and gives it back.
  TForm other(nullptr);
  other.SetBounds(500, 400, 200, 100);
  other.Show();
  SetActiveWindow(form->Handle());
  PumpMessages();
  ASSERT_TRUE(provider->FormActive);
  const std::int64_t renders = provider->FullRenderCount;
  const auto activeCaption = CacheBytes(CaptionBand());
  const auto client = CacheBytes(ClientPart());

  SetActiveWindow(other.Handle());
  PumpMessages();
  EXPECT_FALSE(provider->FormActive);
  EXPECT_EQ(provider->FullRenderCount, renders) << "deactivation rebuilt the whole picture";
  const auto inactiveCaption = CacheBytes(CaptionBand());
  EXPECT_NE(inactiveCaption, activeCaption);
  EXPECT_EQ(CacheBytes(ClientPart()), client);

  // The fast path gives what a full render of the inactive look gives.
  provider->TitleChanged = true;
  provider->SkinData().BackgroundChanged = true;
  provider->PaintAll();
  EXPECT_EQ(provider->FullRenderCount, renders + 1);
  EXPECT_EQ(CacheBytes(CaptionBand()), inactiveCaption);
  const std::int64_t rendersAfter = provider->FullRenderCount;

  SetActiveWindow(form->Handle());
  PumpMessages();
  EXPECT_TRUE(provider->FormActive);
  EXPECT_EQ(provider->FullRenderCount, rendersAfter);
  EXPECT_EQ(CacheBytes(CaptionBand()), activeCaption);
  EXPECT_EQ(CacheBytes(ClientPart()), client);
  other.Hide();
}

TEST_F(SkinProviderTest, NewCaptionTextIsDrawnAndKeptByTheWindow) {
  const std::int64_t renders = provider->FullRenderCount;
  const auto before = CacheBytes(CaptionBand());
  form->SetCaption("Другой заголовок");
  PumpMessages();
  EXPECT_EQ(provider->CaptionText, "Другой заголовок");
  wchar_t text[64]{};
  GetWindowTextW(form->Handle(), text, 64);
  EXPECT_EQ(Narrow(text), "Другой заголовок");
  EXPECT_NE(CacheBytes(CaptionBand()), before);
  EXPECT_EQ(provider->FullRenderCount, renders);
}

// The recording keeps every arrival: a frame painted twice where the table says once fails, as
// does a parameter that differs; optional entries may be there or not. (The frame is the
// system's here, so that nothing but the two paints arrives.)
TEST_F(SkinProviderTest, RecordingsCatchARepeatedPaint) {
  TMessageLog log(&Named);
  provider->SkinData().SetSkinSection("NOSUCHSECTION");
  {
    TSentRecorder recorder(log);
    SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
    SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
  }
  struct TCase {
    const char* What;
    std::vector<TSeqEntry> Expected;
    const char* Failure;  // part of the report; nullptr: the recording fits
  };
  const TCase cases[] = {
      {"once", {Msg(WM_NCPAINT)}, "| WM_NCPAINT w=1 l=0   <- first difference"},
      {"once, a second optional", {Msg(WM_NCPAINT), Msg(WM_NCPAINT).Optional()}, nullptr},
      {"an optional one first", {Msg(WM_NCPAINT).Optional(), Msg(WM_NCPAINT), Msg(WM_NCPAINT)}, nullptr},
      {"twice, then an absent optional paint", {Msg(WM_NCPAINT).W(1), Msg(WM_NCPAINT).W(1), Msg(WM_PAINT).Optional()},
       nullptr},
      {"twice with another wParam", {Msg(WM_NCPAINT).W(1), Msg(WM_NCPAINT).W(0)}, "! WM_NCPAINT w=0"},
      {"three times", {Msg(WM_NCPAINT), Msg(WM_NCPAINT), Msg(WM_NCPAINT)}, "| -   <- first difference"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.Failure == nullptr) ExpectSequence(c.Expected, log);
    else EXPECT_NONFATAL_FAILURE(ExpectSequence(c.Expected, log), c.Failure);
  }
}

TEST_F(SkinProviderTest, SkinChangeRepaintsOnceInTheNewSkin) {
  TMessageLog log(&Named);
  const std::int64_t renders = provider->FullRenderCount;
  const auto oldCaption = CacheBytes(CaptionBand());
  const auto oldHoles = ExpectedHoles();
  HWND window = form->Handle();
  {
    TSentRecorder recorder(log);
    form->Log = &log;
    manager->SetSkinName("MacOS (internal)");
    PumpMessages();
    form->Log = nullptr;
  }
  EXPECT_EQ(form->Handle(), window) << "the window is kept";
  // The new skin is announced while no skin is active: the provider passes it on; the repaint
  // comes through the window. Its non-client paint (wParam 0) paints the frame; a region other
  // than the window has would be applied there, and the system's redraw of the whole frame
  // (wParam 1) would arrive inside it: the two skins cut the same corners, so it does not. The
  // client is painted once. The picture is composed once.
  ExpectSequence({Msg(SKM_NEWSKIN).To("form"), Msg(SKM_REPAINT), Msg(WM_NCPAINT).W(0), Msg(WM_PAINT)}, log);
  EXPECT_EQ(provider->FullRenderCount, renders + 1);
  EXPECT_NE(CacheBytes(CaptionBand()), oldCaption);
  EXPECT_EQ(form->Color(), manager->GetGlobalColor());
  EXPECT_EQ(ExpectedHoles(), oldHoles);
  ExpectRegionCutsExactly(ExpectedHoles());

  // Going round the stored skins leaves no GDI object or context behind, and the window is
  // cut as each skin cuts it, whether its region was applied anew or kept.
  const std::int64_t live = GdiLiveTotal();
  for (int round = 0; round < 3; ++round)
    for (const char* name : {"LongHorn (internal)", "MacMetal (internal)", "Winter2003 (internal)",
                             "BlueGlass (internal)", "MacOS (internal)"}) {
      manager->SetSkinName(name);
      PumpMessages();
      if (round == 0) ExpectRegionCutsExactly(ExpectedHoles());
    }
  EXPECT_EQ(GdiLiveTotal(), live);
}

TEST_F(SkinProviderTest, RemovalGivesTheFrameBackAndANewSkinTakesItAgain) {
  TMessageLog log(&Named);
  HWND window = form->Handle();
  {
    TSentRecorder recorder(log);
    form->Log = &log;
    manager->SetActive(false);
    PumpMessages();
    form->Log = nullptr;
  }
  // The window is recreated with the border icons it had and paints itself from then on: its
  // frame and client paints reach the form's own procedure.
  ExpectSequence({Msg(WM_NCDESTROY), Msg(WM_NCDESTROY).To("form"), Msg(WM_NCCREATE), Msg(WM_NCCREATE).To("form"),
                  Msg(WM_NCPAINT).W(1), Msg(WM_NCPAINT).To("form").W(1), Msg(SKM_REMOVESKIN).To("form"),
                  Msg(WM_PAINT).To("form")},
                 log);
  EXPECT_NE(form->Handle(), window);
  EXPECT_FALSE(provider->Skinned());
  EXPECT_EQ(form->BorderIcons(), (TBorderIcons{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize}));
  EXPECT_NE(GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
  EXPECT_EQ(form->Color(), clBtnFace);
  TRegionHandle region(CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(GetWindowRgn(form->Handle(), region.Get()), ERROR) << "the plain window has no region";
  EXPECT_EQ(SendMessageW(form->Handle(), SKM_GETPROVIDER, 0, 0), 0);

  log.Clear();
  {
    TSentRecorder recorder(log);
    manager->SetActive(true);
    PumpMessages();
  }
  EXPECT_TRUE(provider->Skinned());
  EXPECT_TRUE(form->BorderIcons().Empty());
  // The window loses its border icons again (recreated, still plain while the skin is being
  // announced), then the repaint paints the skinned frame, the system's redraw for the new
  // region inside it as on a skin change, and the client.
  ExpectSequence({Msg(WM_NCDESTROY), Msg(WM_NCCREATE), Msg(WM_NCPAINT).W(1), Msg(SKM_REPAINT), Msg(WM_NCPAINT).W(0),
                  Msg(WM_NCPAINT).W(1), Msg(WM_PAINT)},
                 log);
  ExpectRegionCutsExactly(ExpectedHoles());
}

TEST_F(SkinProviderTest, DestroyingTheProviderGivesTheWindowItsProcedureBack) {
  HWND window = form->Handle();
  ASSERT_NE(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc));
  Free(provider);
  provider = nullptr;
  EXPECT_EQ(GetWindowLongPtrW(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc));
  EXPECT_EQ(SendMessageW(window, SKM_GETPROVIDER, 0, 0), 0);
  // The form keeps working: its text goes to the window, its paints to its own procedure.
  form->SetCaption("Без обложки");
  wchar_t text[64]{};
  GetWindowTextW(window, text, 64);
  EXPECT_EQ(Narrow(text), "Без обложки");
}

// The dialog frame shows no maximize button: its caption double click leaves it as it is. Maximized
// by the command all the same, the picture and region follow, and a double click restores it.
TEST_F(SkinProviderTest, CaptionDoubleClickLeavesTheDialogFrameAndRestoresItWhenMaximized) {
  HWND window = form->Handle();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int normalWidth = form->Width();
  // A point on the caption text, in screen coordinates as the system passes it.
  const LPARAM point = MAKELPARAM(bounds.left + 60, bounds.top + provider->BorderHeight() + 5);
  ASSERT_EQ(SendMessageW(window, WM_NCHITTEST, 0, point), HTCAPTION);

  SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION, point);
  PumpMessages();
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_EQ(form->Width(), normalWidth);

  SendMessageW(window, WM_SYSCOMMAND, kScMaximize, 0);
  provider->SystemMenu->UpdateItems();
  PumpMessages();
  EXPECT_TRUE(IsZoomed(window));
  EXPECT_GT(form->Width(), normalWidth);
  // The picture and the region follow the new size.
  EXPECT_EQ(Cache().Width, form->Width());
  EXPECT_EQ(Cache().Height, form->Height());
  ExpectRegionCutsExactly(ExpectedHoles());

  GetWindowRect(window, &bounds);
  SendMessageW(window, WM_NCLBUTTONDBLCLK, HTCAPTION,
               MAKELPARAM(bounds.left + 60, bounds.top + provider->BorderHeight() + 5));
  PumpMessages();
  EXPECT_FALSE(IsZoomed(window));
  EXPECT_EQ(form->Width(), normalWidth);
  EXPECT_EQ(Cache().Width, normalWidth);
}

TEST_F(SkinProviderTest, BackwardCloseGlyphRectangleNeitherBreaksTheHitTestNorThePaint) {
  // The mask lines of a skin folder are not checked: a glyph's rectangle may run backwards, which
  // gives a negative button size. A frame without the system-menu button reaches the title-button
  // rule of the hit test, which divides by the button pitch.
  ASSERT_TRUE(IsValidImgIndex(provider->ButtonClose.ImageIndex));
  TsMaskData& close = ma[static_cast<std::size_t>(provider->ButtonClose.ImageIndex)];
  const TRect saved = close.R;
  close.R = TRect{saved.Left + close.ImageCount, saved.Top, saved.Left, saved.Bottom};
  provider->SetBorderIcons({});
  EXPECT_GE(provider->ButtonWidth(), 0);
  EXPECT_GE(provider->ButtonHeight(), 0);
  HWND window = form->Handle();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int y = bounds.top + (provider->BorderHeight() + provider->CaptionHeight()) / 2;
  for (int x = bounds.left; x < bounds.right; ++x) {
    const LRESULT ht = SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y));
    EXPECT_TRUE(ht == HTCAPTION || ht == HTSYSMENU || ht == HTBORDER || ht == HTNOWHERE) << x << ": " << ht;
  }
  provider->SkinData().BackgroundChanged = true;
  provider->TitleChanged = true;
  SendMessageW(window, WM_NCPAINT, 0, 0);
  close.R = saved;
  provider->SetBorderIcons({biSystemMenu, biMinimize, biMaximize});
  provider->SkinData().BackgroundChanged = true;
  SendMessageW(window, WM_NCPAINT, 0, 0);
  EXPECT_EQ(provider->ButtonWidth(), 20);
}

}  // namespace
