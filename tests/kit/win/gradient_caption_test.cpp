#include "kit/win/gradient_caption.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kit/win/window_hook.h"
#include "platform/rtl/language_texts.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/menus.h"
#include "tests/app/win/window_test_steps.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

constexpr TColor kRed = 0x0000FF;
constexpr TColor kGreen = 0x00FF00;

TColor Rgb(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

// A form that counts the right presses on its frame that reach it, and keeps the system's
// own handling of them (a loop waiting for the release, then the system menu) from
// blocking the test.
class TFrameForm : public TForm {
public:
  using TForm::TForm;
  int rightPresses = 0;
  void WndProc(TMessage& msg) override {
    if (msg.Msg == WM_NCRBUTTONDOWN) {
      ++rightPresses;
      return;
    }
    if (msg.Msg == WM_CONTEXTMENU) return;
    TForm::WndProc(msg);
  }
};

// A menu that records where it was asked to pop up instead of showing itself.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  std::vector<POINT> popups;
  void Popup(int x, int y) override { popups.push_back(POINT{x, y}); }
};

class GradientCaptionTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    form = std::make_unique<TFrameForm>(nullptr);
    form->SetBounds(120, 100, 360, 140);
    form->SetBorderStyle(bsDialog);
    form->SetCaption("System caption");
  }
  void TearDown() override {
    other.reset();
    form.reset();
    real_input::ProcessMessages();  // what the closing posted
    AppTest::TearDown();
  }

  TKitGradientCaption* Caption() {
    auto* caption = new TKitGradientCaption(form.get());
    caption->SetStartColor(kRed);
    caption->Loaded();
    return caption;
  }

  void ShowActive() {
    form->Show();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle(); }));
    real_input::SettlePainted();
  }

  // Another form becomes the active window.
  void ActivateOther(TKitGradientCaption* caption) {
    other = std::make_unique<TForm>(nullptr);
    other->SetBounds(600, 400, 200, 100);
    other->Show();
    SetForegroundWindow(other->Handle());
    ASSERT_TRUE(PumpUntil([&] { return !caption->WindowActive(); }));
    real_input::SettlePainted();
  }

  // The caption text area relative to the window's top-left corner.
  RECT BarInWindow(TKitGradientCaption* caption) {
    RECT bar = caption->CaptionRect();
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    OffsetRect(&bar, -window.left, -window.top);
    return bar;
  }

  TColor WindowPixel(int x, int y) {
    HDC dc = GetWindowDC(form->Handle());
    const TColor color = GetPixel(dc, x, y) & 0xFFFFFF;
    ReleaseDC(form->Handle(), dc);
    return color;
  }

  // How many pixels of the bar have exactly this colour.
  int CountInBar(TKitGradientCaption* caption, TColor color) {
    const RECT bar = BarInWindow(caption);
    HDC dc = GetWindowDC(form->Handle());
    int count = 0;
    for (int y = bar.top; y < bar.bottom; ++y)
      for (int x = bar.left; x < bar.right; ++x)
        if ((GetPixel(dc, x, y) & 0xFFFFFF) == static_cast<COLORREF>(color)) ++count;
    ReleaseDC(form->Handle(), dc);
    return count;
  }

  std::unique_ptr<TFrameForm> form;
  std::unique_ptr<TForm> other;
};

// The pixels of one colour in rows top..bottom of dc's area, as lines of '#' and '.' cut to
// the smallest box that holds them.
std::vector<std::string> Ink(HDC dc, int left, int top, int right, int bottom, TColor color) {
  std::vector<std::string> rows;
  for (int y = top; y < bottom; ++y) {
    std::string row;
    for (int x = left; x < right; ++x) row += (GetPixel(dc, x, y) & 0xFFFFFF) == static_cast<COLORREF>(color) ? '#' : '.';
    rows.push_back(row);
  }
  while (!rows.empty() && rows.back().find('#') == std::string::npos) rows.pop_back();
  while (!rows.empty() && rows.front().find('#') == std::string::npos) rows.erase(rows.begin());
  size_t first = std::string::npos;
  size_t last = 0;
  for (const std::string& row : rows) {
    const size_t f = row.find('#');
    if (f == std::string::npos) continue;
    first = std::min(first, f);
    last = std::max(last, row.rfind('#'));
  }
  for (std::string& row : rows) row = row.substr(first, last - first + 1);
  return rows;
}

}  // namespace

TEST_F(GradientCaptionTest, GradientWhileActivePlainWhileInactiveAndTheSystemCaptionWhenOff) {
  TKitGradientCaption* caption = Caption();
  int activations = 0;
  int deactivations = 0;
  caption->OnActivate = [&](TObject*) { ++activations; };
  caption->OnDeactivate = [&](TObject*) { ++deactivations; };
  ShowActive();
  real_input::HoldForLooking();
  EXPECT_TRUE(caption->WindowActive());
  RECT bar = BarInWindow(caption);
  const int midY = (bar.top + bar.bottom) / 2;
  // A dialog has no icon: the gradient starts at the bar's left edge.
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
  EXPECT_EQ(Rgb(clActiveCaption), WindowPixel(bar.right - 1, midY));

  // Another window becomes active: the plain inactive colour.
  ActivateOther(caption);
  EXPECT_EQ(Rgb(clInactiveCaption), WindowPixel(bar.left, midY));
  caption->SetGradientInactive(true);
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
  // Setting the form's text makes the system draw its caption; ours is painted over it.
  form->SetCaption("Changed at run time");
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
  // So is it over a text the window takes in UTF-16 (a language text of another code page).
  BeginLanguageTexts(1251);
  AddLanguageText("\xCE\xEF\xF6\xE8\xE8");
  form->SetCaption("\xCE\xEF\xF6\xE8\xE8");
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
  BeginLanguageTexts(0);

  // Switched off: the form's own caption again, and the events fire once each change.
  caption->SetActive(false);
  EXPECT_TRUE(PumpUntil([&] { return WindowPixel(bar.left, midY) != kRed; }));
  caption->SetActive(true);
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
  EXPECT_EQ(1, activations);
  EXPECT_EQ(1, deactivations);
}

TEST_F(GradientCaptionTest, PartsInTheirColoursActiveAndInactiveAndInvisiblePartsLeftOut) {
  TKitGradientCaption* caption = Caption();
  caption->SetGradientActive(false);
  caption->SetFormCaption("Hourlark");
  TKitCaption* part = caption->Captions()->Add();
  part->SetCaption("Options ");
  TFont bold;
  bold.Assign(caption->Font());
  bold.SetStyle(fsBold);
  bold.SetColor(kRed);
  part->SetFont(&bold);
  EXPECT_FALSE(part->ParentFont());
  part->SetInactiveColor(kGreen);
  ShowActive();
  real_input::HoldForLooking();
  EXPECT_GT(CountInBar(caption, kRed), 10);
  EXPECT_EQ(0, CountInBar(caption, kGreen));

  part->SetVisible(false);
  EXPECT_EQ(0, CountInBar(caption, kRed));
  part->SetVisible(true);

  ActivateOther(caption);
  EXPECT_EQ(0, CountInBar(caption, kRed));
  EXPECT_GT(CountInBar(caption, kGreen), 10);

  // Back to the parent font: the part takes the component's font, colour included.
  part->SetParentFont(true);
  EXPECT_EQ(caption->Font()->Color(), part->Font()->Color());
  EXPECT_EQ(caption->Font()->Style(), part->Font()->Style());
  // A change of the component's font reaches the parts that follow it.
  caption->Font()->SetStyle(fsItalic);
  EXPECT_FALSE(caption->DefaultFont());
  EXPECT_EQ(static_cast<TFontStyles>(fsItalic), part->Font()->Style());
  EXPECT_TRUE(part->ParentFont());
}

TEST_F(GradientCaptionTest, RightClickOnTheFramePopsTheMenuOnlyWhenItPopsItselfUp) {
  TKitGradientCaption* caption = Caption();
  auto* menu = new TRecordingMenu(form.get());
  caption->SetPopupMenu(menu);
  ShowActive();
  HWND window = form->Handle();

  // Screen points are signed: a monitor left of the primary one.
  SendMessageA(window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(150, 110));
  SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(-20, 110));
  ASSERT_EQ(1u, menu->popups.size());
  EXPECT_EQ(-20, menu->popups[0].x);
  EXPECT_EQ(110, menu->popups[0].y);
  EXPECT_EQ(caption, menu->PopupComponent());
  EXPECT_EQ(0, form->rightPresses);

  // A release without the press that marked it pops nothing.
  SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(150, 110));
  EXPECT_EQ(1u, menu->popups.size());

  // A menu that does not pop itself up leaves the frame's right clicks to the form.
  menu->SetAutoPopup(false);
  SendMessageA(window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(150, 110));
  SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, MAKELPARAM(150, 110));
  EXPECT_EQ(1u, menu->popups.size());
  EXPECT_EQ(1, form->rightPresses);

  // The menu's removal clears the reference.
  delete menu;
  EXPECT_EQ(nullptr, caption->PopupMenu());
}

TEST_F(GradientCaptionTest, TheFormPaintsItsFrameWithoutTheCaptionAndGetsItsRegionBack) {
  // A hook attached before the caption's sees the message after it on the way in and out.
  auto* probe = new TKitWindowHook(form.get());
  std::vector<WPARAM> seenBefore;
  std::vector<WPARAM> seenAfter;
  probe->BeforeMessage = [&](TObject*, TMessage& msg, bool&) {
    if (msg.Msg == WM_NCPAINT) seenBefore.push_back(msg.WParam);
  };
  probe->AfterMessage = [&](TObject*, TMessage& msg, bool&) {
    if (msg.Msg == WM_NCPAINT) seenAfter.push_back(msg.WParam);
  };
  ShowActive();
  probe->SetWinControl(form.get());
  TKitGradientCaption* caption = Caption();
  real_input::SettlePainted();
  RECT bar = BarInWindow(caption);
  const int midY = (bar.top + bar.bottom) / 2;

  RECT window{};
  GetWindowRect(form->Handle(), &window);
  HRGN whole = CreateRectRgnIndirect(&window);
  seenBefore.clear();
  seenAfter.clear();
  SendMessageA(form->Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(whole), 0);
  ASSERT_EQ(1u, seenBefore.size());
  ASSERT_EQ(1u, seenAfter.size());
  // The form got a region without the caption; the sender's region is given back intact.
  EXPECT_NE(reinterpret_cast<WPARAM>(whole), seenBefore[0]);
  EXPECT_EQ(reinterpret_cast<WPARAM>(whole), seenAfter[0]);
  RECT box{};
  EXPECT_EQ(SIMPLEREGION, GetRgnBox(whole, &box));
  EXPECT_TRUE(EqualRect(&box, &window));
  DeleteObject(whole);
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));

  // The whole frame without a region passes unchanged, and the caption is painted over it.
  seenBefore.clear();
  SendMessageA(form->Handle(), WM_NCPAINT, 1, 0);
  ASSERT_EQ(1u, seenBefore.size());
  EXPECT_EQ(1u, seenBefore[0]);
  EXPECT_EQ(kRed, WindowPixel(bar.left, midY));
}

// On a right-to-left form the system mirrors the frame (its buttons go to the left); the
// caption's gradient and texts follow, but the letters read as written, active or not: the
// title's pixels are those of the same words drawn plainly, not their mirror image.
TEST_F(GradientCaptionTest, TheTitleOfAMirroredFormReadsAsWrittenActiveOrNot) {
  TKitGradientCaption* caption = Caption();
  caption->Font()->SetColor(kGreen);
  caption->SetFontInactiveColor(kGreen);
  caption->SetFormCaption("Fkq 27");
  form->SetBiDiMode(bdRightToLeft);
  ShowActive();
  ASSERT_NE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);

  TBitmap plain;
  plain.SetSize(200, 40);
  plain.Canvas()->Brush()->SetColor(clWhite);
  plain.Canvas()->FillRect(RECT{0, 0, 200, 40});
  plain.Canvas()->Font()->Assign(caption->Font());
  plain.Canvas()->Brush()->SetStyle(bsClear);
  plain.Canvas()->TextOut(4, 4, "Fkq 27");
  const std::vector<std::string> written = Ink(plain.Canvas()->Handle(), 0, 0, 200, 40, kGreen);
  ASSERT_FALSE(written.empty());

  for (const bool active : {true, false}) {
    if (!active) ActivateOther(caption);
    ASSERT_EQ(active, caption->WindowActive());
    const RECT bar = BarInWindow(caption);
    RECT window{};
    GetWindowRect(form->Handle(), &window);
    // Read as the screen shows it, not through the window's mirrored coordinates.
    HDC dc = GetWindowDC(form->Handle());
    SetLayout(dc, 0);
    const std::vector<std::string> shown = Ink(dc, 0, bar.top, window.right - window.left, bar.bottom, kGreen);
    ReleaseDC(form->Handle(), dc);
    std::string expected;
    std::string got;
    for (const std::string& row : written) expected += row + "\n";
    for (const std::string& row : shown) got += row + "\n";
    EXPECT_EQ(expected, got) << (active ? "active" : "inactive");
    window_test::Screenshot(std::string("rtl-gradient-caption-") + (active ? "active" : "inactive") + ".png");
  }
}
