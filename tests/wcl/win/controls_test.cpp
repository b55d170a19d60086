#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/handles.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"
#include "tests/wcl/win/app_fixture.h"
#include "tests/wcl/win/test_controls.h"

namespace {

using ControlsTest = AppTest;

// A control owned by form, named and placed on parent.
template <class T>
T* Make(TForm& form, TWinControl* parent, const std::string& name) {
  T* control = new T(&form);
  control->SetName(name);
  control->SetParent(parent);
  return control;
}

std::vector<std::string> Lines(TStrings* strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < strings->Count(); ++i) lines.push_back(strings->Strings(i));
  return lines;
}

std::string ListText(HWND list, UINT getText, int index) {
  char text[256] = {};
  SendMessageA(list, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

SIZE TextExtent(TFont* font, const std::string& text) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  ScopedSelectObject selected(screen.get(), font->Handle());
  SIZE size{};
  GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

// A white 32-bit bitmap selected into a memory DC, for painting controls and reading back.
class MemoryPicture {
public:
  MemoryPicture(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    select_ = std::make_unique<ScopedSelectObject>(dc_.get(), bitmap_.get());
    RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  HDC dc() const { return dc_.get(); }
  COLORREF Pixel(int x, int y) const { return GetPixel(dc_.get(), x, y); }
  // Paints a control as its parent does: origin at the control's corner.
  void Paint(TControl* control) {
    const int saved = SaveDC(dc_.get());
    control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc_.get()), 0);
    RestoreDC(dc_.get(), saved);
  }
  bool AnyPixel(const RECT& r, COLORREF color) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (Pixel(x, y) == color) return true;
    return false;
  }

private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  std::unique_ptr<ScopedSelectObject> select_;
};

COLORREF Rgb(TColor color) { return static_cast<COLORREF>(ColorToRGB(color)); }

}  // namespace

TEST_F(ControlsTest, EditKeepsItsStateWithoutWindowAndReadsUserEditsBack) {
  TForm form(nullptr);
  auto* edit = Make<TEdit>(form, &form, "edName");
  int changes = 0;
  edit->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, edit);
    ++changes;
  };
  edit->SetText("hello");
  edit->SetReadOnly(true);
  edit->SetMaxLength(8);
  edit->SetSelStart(1);
  edit->SetSelLength(100);  // kept within the text
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 4);
  EXPECT_FALSE(edit->Modified());

  HWND window = edit->Handle();
  EXPECT_EQ(changes, 1);  // making the window is no change
  EXPECT_EQ(WindowText(window), "hello");
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(SendMessageA(window, EM_GETLIMITTEXT, 0, 0), 8);
  DWORD start = 0, end = 0;
  SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 5u);

  // The user's typing: read back, counted as a change, and Modified.
  edit->SetReadOnly(false);
  SendMessageA(window, EM_SETSEL, 5, 5);
  SendMessageA(window, WM_CHAR, '!', 1);
  EXPECT_EQ(edit->Text(), "hello!");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(edit->Modified());
  SendMessageA(window, WM_CHAR, '?', 1);
  SendMessageA(window, WM_CHAR, '#', 1);
  SendMessageA(window, WM_CHAR, '$', 1);  // over MaxLength
  EXPECT_EQ(edit->Text(), "hello!?#");

  // Text from code is pushed, runs OnChange once, and is not the user's change.
  edit->SetText("code");
  EXPECT_EQ(WindowText(window), "code");
  EXPECT_EQ(changes, 6);
  EXPECT_FALSE(edit->Modified());

  // The window going keeps what the user left in it.
  SetWindowTextA(window, "last words");
  SendMessageA(window, EM_SETMODIFY, TRUE, 0);
  SendMessageA(window, EM_SETSEL, 2, 6);
  form.DestroyHandle();
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(edit->Text(), "last words");
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 4);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 10);
}

// A text of about size bytes, every line numbered so that a piece cut out or lost shows.
std::string LongText(size_t size, bool lineBreaks) {
  std::string text;
  text.reserve(size + 64);
  for (int line = 0; text.size() < size; ++line)
    text += "line " + std::to_string(line) + (lineBreaks ? " of a long text\r\n" : " of a long text; ");
  return text;
}

TEST_F(ControlsTest, LongTextsReachEveryKindOfWindowWholeBeforeAndAfterItExists) {
  for (size_t size : {size_t{100} * 1024, size_t{3} * 1024 * 1024}) {
    SCOPED_TRACE(size);
    TForm form(nullptr);
    std::vector<TWinControl*> controls = {&form,
                                          Make<TEdit>(form, &form, "edLong"),
                                          Make<TMemo>(form, &form, "meLong"),
                                          Make<TButton>(form, &form, "btLong"),
                                          Make<TCheckBox>(form, &form, "cbLong"),
                                          Make<TRadioButton>(form, &form, "rbLong"),
                                          Make<TPanel>(form, &form, "pnLong"),
                                          Make<TGroupBox>(form, &form, "gbLong"),
                                          Make<TComboBox>(form, &form, "coLong")};
    // Lines as the group editor shows them: not wrapped.
    static_cast<TMemo*>(controls[2])->SetWordWrap(false);
    // Set while there is no window: the window is made with all of it.
    std::vector<std::string> texts;
    for (size_t i = 0; i < controls.size(); ++i) {
      texts.push_back(LongText(size + i, controls[i] == controls[2]));
      controls[i]->SetText(texts[i]);
    }
    ASSERT_FALSE(form.HandleAllocated());
    ASSERT_NO_THROW(form.Handle());
    for (size_t i = 0; i < controls.size(); ++i) {
      SCOPED_TRACE(controls[i]->Name());
      ASSERT_TRUE(controls[i]->HandleAllocated());
      EXPECT_EQ(static_cast<size_t>(GetWindowTextLengthA(controls[i]->Handle())), texts[i].size());
      EXPECT_TRUE(controls[i]->Text() == texts[i]);
    }
    // Set on the window, and (once) kept when the window is made again.
    for (size_t i = 0; i < controls.size(); ++i) {
      texts[i] = "again " + texts[i];
      controls[i]->SetText(texts[i]);
    }
    if (size < 1024 * 1024) form.RecreateWnd();
    for (size_t i = 0; i < controls.size(); ++i) {
      SCOPED_TRACE(controls[i]->Name());
      EXPECT_TRUE(controls[i]->Text() == texts[i]);
    }
  }
}

TEST_F(ControlsTest, EditKeyPressHandlerCanReplaceOrSwallowKeys) {
  TForm form(nullptr);
  auto* edit = Make<TEdit>(form, &form, "edKeys");
  edit->OnKeyPress = [](TObject*, char& key) {
    if (key == 'a') key = 'b';
    if (key == 'x') key = 0;
  };
  HWND window = edit->Handle();
  for (char ch : std::string("xaxa!")) SendMessageA(window, WM_CHAR, static_cast<unsigned char>(ch), 1);
  EXPECT_EQ(edit->Text(), "bb!");
}

TEST_F(ControlsTest, CheckedSetFromCodeRunsOnClickAndUserClicksToggle) {
  TForm form(nullptr);
  auto* check = Make<TCheckBox>(form, &form, "cbRemind");
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  check->SetChecked(true);
  check->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  check->Click();  // runs the handler, changes nothing
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(check->Checked());

  HWND window = check->Handle();
  EXPECT_EQ(SendMessageA(window, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(window, BM_CLICK, 0, 0);
  EXPECT_FALSE(check->Checked());
  EXPECT_EQ(SendMessageA(window, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicks, 3);
  check->SetChecked(true);
  EXPECT_EQ(SendMessageA(window, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(clicks, 4);
}

TEST_F(ControlsTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  TForm form(nullptr);
  auto* group = Make<TGroupBox>(form, &form, "gbWeek");
  auto* amer = Make<TRadioButton>(form, group, "rbAmer");
  auto* euro = Make<TRadioButton>(form, group, "rbEuro");
  auto* other = Make<TRadioButton>(form, &form, "rbOther");
  std::vector<std::string> clicked;
  for (TRadioButton* rb : {amer, euro, other})
    rb->OnClick = [&clicked](TObject* sender) { clicked.push_back(static_cast<TComponent*>(sender)->Name()); };
  other->SetChecked(true);
  euro->SetChecked(true);
  amer->SetChecked(true);
  EXPECT_TRUE(amer->Checked());
  EXPECT_FALSE(euro->Checked());
  EXPECT_TRUE(other->Checked());
  EXPECT_EQ(clicked, (std::vector<std::string>{"rbOther", "rbEuro", "rbAmer"}));

  // The user's click on the other button of the group; a click on a checked one is nothing.
  SendMessageA(euro->Handle(), BM_CLICK, 0, 0);
  SendMessageA(euro->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(euro->Checked());
  EXPECT_FALSE(amer->Checked());
  EXPECT_EQ(SendMessageA(amer->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(clicked.size(), 4u);
}

TEST_F(ControlsTest, LabelSizesItselfToItsTextWhileHiddenAndWithoutAnyWindow) {
  TLabel label(nullptr);
  label.SetVisible(false);
  label.SetCaption("Break time");
  const SIZE extent = TextExtent(label.Font(), "Break time");
  EXPECT_EQ(label.Width(), extent.cx);
  EXPECT_EQ(label.Height(), extent.cy);

  // A bigger font, a doubled "&" shown as one, an empty caption one line high.
  label.Font()->SetSize(20);
  EXPECT_EQ(label.Width(), TextExtent(label.Font(), "Break time").cx);
  label.SetCaption("A&&B");
  EXPECT_EQ(label.Width(), TextExtent(label.Font(), "A&B").cx);
  label.SetShowAccelChar(false);
  EXPECT_EQ(label.Width(), TextExtent(label.Font(), "A&&B").cx);
  label.SetCaption("");
  EXPECT_EQ(label.Height(), TextExtent(label.Font(), " ").cy);

  // Right-aligned labels keep their right edge; wrapped ones keep their width.
  label.Font()->SetSize(8);
  label.SetAlignment(taRightJustify);
  label.SetBounds(100, 10, 50, 10);
  label.SetCaption("Wide enough text");
  EXPECT_EQ(label.Left() + label.Width(), 100 + 50);
  label.SetAlignment(taLeftJustify);
  label.SetWordWrap(true);
  label.SetBounds(0, 0, 50, 10);
  label.SetCaption("one two three four five six seven");
  EXPECT_LE(label.Width(), 50);
  EXPECT_GE(label.Height(), 3 * TextExtent(label.Font(), "one").cy);

  label.SetAutoSize(false);
  label.SetBounds(0, 0, 20, 20);
  label.SetCaption("no longer measured");
  EXPECT_EQ(label.Width(), 20);
}

TEST_F(ControlsTest, LabelsOfAFormBeingBuiltAreSizedWhenItIsLoaded) {
  TForm form(nullptr);
  form.BeginLoading();
  auto* label = Make<TLabel>(form, &form, "lMessTest");
  label->SetCaption("Time for a break");
  EXPECT_EQ(label->Width(), 65);
  LoadedAll(&form);
  EXPECT_EQ(label->Width(), TextExtent(label->Font(), "Time for a break").cx);
}

TEST_F(ControlsTest, GraphicControlsPaintInTheirRectangle) {
  TForm form(nullptr);
  form.SetColor(clWhite);
  auto* label = Make<TLabel>(form, &form, "lOpaque");
  label->SetCaption("MMMM");
  label->Font()->SetColor(clBlack);
  label->SetColor(clYellow);
  MemoryPicture picture(100, 40);
  picture.Paint(label);
  EXPECT_EQ(picture.Pixel(label->Width() - 1, label->Height() - 1), Rgb(clYellow));
  EXPECT_TRUE(picture.AnyPixel(RECT{0, 0, label->Width(), label->Height()}, Rgb(clBlack)));
  EXPECT_EQ(picture.Pixel(label->Width() + 1, 1), Rgb(clWhite));  // clipped by the parent

  // Transparent: the background stays; disabled: engraved in the button colours.
  MemoryPicture second(100, 40);
  label->SetTransparent(true);
  label->SetEnabled(false);
  second.Paint(label);
  EXPECT_EQ(second.Pixel(label->Width() - 1, label->Height() - 1), Rgb(clWhite));
  EXPECT_TRUE(second.AnyPixel(RECT{0, 0, label->Width(), label->Height()}, Rgb(clBtnShadow)));
  EXPECT_FALSE(second.AnyPixel(RECT{0, 0, label->Width(), label->Height()}, Rgb(clBlack)));

  auto* bevel = Make<TBevel>(form, &form, "BevelMode1");
  bevel->SetBounds(0, 0, 30, 20);
  MemoryPicture third(40, 30);
  third.Paint(bevel);
  EXPECT_EQ(third.Pixel(0, 0), Rgb(clBtnShadow));
  EXPECT_EQ(third.Pixel(29, 19), Rgb(clBtnHighlight));
  EXPECT_EQ(third.Pixel(10, 10), Rgb(clWhite));
  bevel->SetStyle(bsRaised);
  bevel->SetShape(bsTopLine);
  MemoryPicture fourth(40, 30);
  fourth.Paint(bevel);
  EXPECT_EQ(fourth.Pixel(5, 0), Rgb(clBtnHighlight));
  EXPECT_EQ(fourth.Pixel(5, 1), Rgb(clBtnShadow));
  EXPECT_EQ(fourth.Pixel(5, 19), Rgb(clWhite));
}

TEST_F(ControlsTest, ContainersGiveAlignedChildrenTheRoomInsideTheirFrames) {
  TForm form(nullptr);
  auto* panel = Make<TPanel>(form, &form, "pDetail");
  panel->SetBounds(0, 0, 200, 100);
  auto* inner = Make<TLabel>(form, panel, "lInner");
  inner->SetAutoSize(false);
  inner->SetAlign(alClient);
  EXPECT_TRUE(SameRect(inner->BoundsRect(), RECT{1, 1, 199, 99}));
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(1);
  EXPECT_TRUE(SameRect(inner->BoundsRect(), RECT{5, 5, 195, 95}));
  panel->SetBevelOuter(bvNone);
  EXPECT_TRUE(SameRect(inner->BoundsRect(), RECT{3, 3, 197, 97}));

  auto* group = Make<TGroupBox>(form, &form, "gbBreaks");
  group->SetBounds(0, 0, 150, 80);
  group->SetCaption("Breaks");
  auto* filler = Make<TPanel>(form, group, "pFill");
  filler->SetAlign(alClient);
  EXPECT_GT(filler->Top(), TextExtent(group->Font(), "Breaks").cy);
  EXPECT_LT(filler->Top() + filler->Height(), 80);
  EXPECT_GT(filler->Left(), 0);
}

TEST_F(ControlsTest, ImageDrawsItsPictureAtSizeCentredOrStretchedAndSeeThrough) {
  TForm form(nullptr);
  auto* image = Make<TImage>(form, &form, "imLogo");
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  bitmap.Canvas()->Brush()->SetColor(clRed);
  bitmap.Canvas()->FillRect(RECT{0, 0, 4, 4});
  bitmap.Canvas()->SetPixels(0, 3, clLime);  // the bottom-left pixel: the transparent colour
  image->SetAutoSize(true);
  image->Picture()->SetGraphic(&bitmap);
  EXPECT_EQ(image->Width(), 4);
  EXPECT_EQ(image->Height(), 4);

  image->SetAutoSize(false);
  image->SetBounds(0, 0, 12, 12);
  image->SetCenter(true);
  EXPECT_TRUE(SameRect(image->DestRect(), RECT{4, 4, 8, 8}));
  image->SetStretch(true);
  EXPECT_TRUE(SameRect(image->DestRect(), RECT{0, 0, 12, 12}));

  MemoryPicture picture(20, 20);
  picture.Paint(image);
  EXPECT_EQ(picture.Pixel(11, 0), Rgb(clRed));
  EXPECT_EQ(picture.Pixel(0, 11), Rgb(clLime));
  image->SetTransparent(true);
  MemoryPicture clear(20, 20);
  clear.Paint(image);
  EXPECT_EQ(clear.Pixel(11, 0), Rgb(clRed));
  EXPECT_EQ(clear.Pixel(0, 11), Rgb(clWhite));
}

TEST_F(ControlsTest, ListItemsWaitForTheWindowAndTheChoiceMovesWithItsItem) {
  // The same steps without a window and with one give the same items and choice.
  for (bool windowed : {false, true}) {
    SCOPED_TRACE(windowed ? "with a window" : "without a window");
    TForm form(nullptr);
    auto* list = Make<TListBox>(form, &form, "lbUsers");
    if (windowed) list->HandleNeeded();
    list->Items()->Add("anna");
    list->Items()->Add("bob");
    list->Items()->Add("carl");
    list->SetItemIndex(1);
    list->Items()->Insert(0, "zoe");
    EXPECT_EQ(list->ItemIndex(), 2);
    list->Items()->Delete(0);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->Items()->SetStrings(1, "bea");
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetItemIndex(7);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(2);
    list->Items()->Delete(2);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->Items()->Add("dan");
    list->SetItemIndex(0);
    EXPECT_EQ(Lines(list->Items()), (std::vector<std::string>{"anna", "bea", "dan"}));

    // The window shows the same (made now when there was none).
    HWND window = list->Handle();
    ASSERT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ListText(window, LB_GETTEXT, 1), "bea");
    EXPECT_EQ(SendMessageA(window, LB_GETCURSEL, 0, 0), 0);

    // The user's choice is read back and kept when the window goes.
    SendMessageA(window, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(list->ItemIndex(), 2);
    form.DestroyHandle();
    EXPECT_EQ(list->ItemIndex(), 2);
    list->Items()->Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
  }
}

TEST_F(ControlsTest, SortedListsPlaceEveryLineAndKeepTheChoice) {
  TForm form(nullptr);
  auto* list = Make<TListBox>(form, &form, "lbSorted");
  list->Items()->SetText("pear\r\nApple\r\nfig\r\n");
  list->SetItemIndex(1);  // Apple
  list->SetSorted(true);
  EXPECT_EQ(Lines(list->Items()), (std::vector<std::string>{"Apple", "fig", "pear"}));
  EXPECT_EQ(list->ItemIndex(), 0);
  HWND window = list->Handle();
  EXPECT_EQ(list->Items()->Add("banana"), 1);
  list->Items()->Insert(0, "zucchini");  // a sorted list decides the place
  list->Items()->SetStrings(0, "kiwi");
  EXPECT_EQ(Lines(list->Items()), (std::vector<std::string>{"banana", "fig", "kiwi", "pear", "zucchini"}));
  EXPECT_EQ(list->Items()->IndexOf("APPLE"), -1);
  EXPECT_EQ(ListText(window, LB_GETTEXT, 2), "kiwi");
  EXPECT_EQ(ListText(window, LB_GETTEXT, 4), "zucchini");
  list->SetItemIndex(3);
  list->Items()->SetStrings(3, "apricot");  // moves, and stays chosen
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(SendMessageA(window, LB_GETCURSEL, 0, 0), 0);
}

TEST_F(ControlsTest, ListBoxReportsTheUsersChoiceAndKeepsMultipleSelection) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  auto* list = Make<TListBox>(form, &form, "lbUsers");
  list->SetBounds(10, 10, 150, 120);
  list->Items()->SetText("one\r\ntwo\r\nthree\r\n");
  int clicks = 0, doubleClicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->OnDblClick = [&](TObject*) { ++doubleClicks; };
  form.Show();
  HWND window = list->Handle();
  const int row = list->ItemHeight();
  EXPECT_GT(row, 0);
  const LPARAM third = MAKELPARAM(5, 2 * row + row / 2);
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, third);
  SendMessageA(window, WM_LBUTTONUP, 0, third);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, third);
  SendMessageA(window, WM_LBUTTONUP, 0, third);
  EXPECT_EQ(doubleClicks, 1);
  list->SetItemIndex(0);  // from code: no click
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(list->Selected(0));
  EXPECT_EQ(list->SelCount(), 1);

  list->SetMultiSelect(true);
  EXPECT_TRUE(list->Selected(0));
  list->SetSelected(2, true);
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETSELCOUNT, 0, 0), 2);
  SendMessageA(list->Handle(), LB_SETSEL, FALSE, 0);  // the user drops the first
  EXPECT_FALSE(list->Selected(0));
  EXPECT_EQ(list->SelCount(), 1);
  form.DestroyHandle();
  EXPECT_TRUE(list->Selected(2));
  EXPECT_EQ(list->SelCount(), 1);
  list->Items()->Insert(0, "zero");
  EXPECT_TRUE(list->Selected(3));
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETSEL, 3, 0), 1);
  EXPECT_THROW(list->Selected(9), EListError);
}

TEST_F(ControlsTest, ComboBoxChoiceIsClampedAndListTextIsTheChosenItem) {
  TForm form(nullptr);
  auto* combo = Make<TComboBox>(form, &form, "cbUser");
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->Items()->SetText("ann\r\nben\r\ncid\r\n");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "ben");  // a drop-down edit shows the chosen item
  combo->SetItemIndex(3);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->SetText("typed");
  HWND window = combo->Handle();
  EXPECT_EQ(WindowText(window), "typed");
  EXPECT_EQ(SendMessageA(window, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(ListText(window, CB_GETLBTEXT, 2), "cid");
  combo->SetItemIndex(-5);
  EXPECT_EQ(combo->ItemIndex(), -1);

  combo->SetStyle(csDropDownList);
  ASSERT_TRUE(combo->HandleAllocated());
  EXPECT_TRUE((GetWindowLongPtrA(combo->Handle(), GWL_STYLE) & 3) == CBS_DROPDOWNLIST);
  combo->SetText("CID");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "cid");
  combo->SetText("nobody");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->Items()->SetText("x\r\n");  // fewer lines than the old choice
  combo->SetItemIndex(0);
  EXPECT_EQ(combo->Text(), "x");
  EXPECT_EQ(changes, 0);  // nothing done from code runs OnChange
}

TEST_F(ControlsTest, ComboBoxUsersChoiceAndTypingRunOnChange) {
  TForm form(nullptr);
  auto* combo = Make<TComboBox>(form, &form, "cbComment");
  combo->Items()->SetText("tea\r\ncoffee\r\n");
  std::vector<std::string> seen;
  int clicks = 0;
  combo->OnChange = [&](TObject*) { seen.push_back(combo->Text()); };
  combo->OnClick = [&](TObject*) { ++clicks; };
  HWND window = combo->Handle();
  // The user picks the second item: the list tells the combo box, which tells the form.
  SendMessageA(window, CB_SETCURSEL, 1, 0);
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(window));
  EXPECT_EQ(seen, (std::vector<std::string>{"coffee"}));
  EXPECT_EQ(clicks, 1);
  // Typing in its edit.
  HWND edit = GetWindow(window, GW_CHILD);
  ASSERT_NE(edit, nullptr);
  SendMessageA(edit, WM_CHAR, '!', 1);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen.back(), combo->Text());
  combo->SetText("from code");
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ControlsTest, MemoLinesAreTheHardLinesOfItsText) {
  TForm form(nullptr);
  auto* memo = Make<TMemo>(form, &form, "Memo1");
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  TStrings* lines = memo->Lines();
  lines->Add("one");
  lines->Add("two");
  lines->Insert(1, "middle");
  lines->Delete(0);
  EXPECT_EQ(memo->Text(), "middle\r\ntwo\r\n");
  EXPECT_EQ(changes, 4);
  lines->SetText("a\nb\rc");
  EXPECT_EQ(memo->Text(), "a\r\nb\r\nc");
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_THROW(lines->Strings(3), EStringListError);

  // A long line wraps on the screen but stays one line.
  memo->SetBounds(0, 0, 80, 100);
  const std::string longLine(200, 'w');
  lines->SetText(longLine + " end\r\nshort\r\n");
  HWND window = memo->Handle();
  ASSERT_GT(SendMessageA(window, EM_GETLINECOUNT, 0, 0), 2);
  EXPECT_EQ(Lines(lines), (std::vector<std::string>{longLine + " end", "short"}));
  changes = 0;
  lines->SetStrings(1, "changed");
  EXPECT_EQ(WindowText(window).substr(longLine.size()), " end\r\nchanged\r\n");
  EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, EnterReachesTheDefaultButtonOnlyFromAMemoThatDoesNotWantItAndEscapeAlways) {
  TForm form(nullptr);
  auto* memo = Make<TMemo>(form, &form, "Memo1");
  auto* ok = Make<TButton>(form, &form, "btOK");
  ok->SetDefault(true);
  int okClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  auto* cancel = Make<TButton>(form, &form, "btCancel");
  cancel->SetCancel(true);
  int cancelClicks = 0;
  cancel->OnClick = [&](TObject*) { ++cancelClicks; };
  form.SetActiveControl(memo);
  HWND window = memo->Handle();
  SendMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(okClicks, 0);
  SendMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(cancelClicks, 1);
  EXPECT_TRUE(SendMessageA(window, WM_GETDLGCODE, VK_RETURN, 0) & DLGC_WANTALLKEYS);
  EXPECT_FALSE(SendMessageA(window, WM_GETDLGCODE, VK_TAB, 0) & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
  memo->SetWantReturns(false);
  SendMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(okClicks, 1);
  memo->SetWantTabs(true);
  EXPECT_TRUE(SendMessageA(window, WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTTAB);
}

TEST_F(ControlsTest, StatusBarShowsItsPanelsOrOneSimpleText) {
  TForm form(nullptr);
  auto* bar = Make<TStatusBar>(form, &form, "StatusBar2");
  TStatusPanel* first = bar->Panels()->Add();
  first->SetWidth(70);
  first->SetAlignment(taCenter);
  first->SetText("00:10:00");
  bar->Panels()->Add()->SetText("tea");
  bar->SetSimpleText("Time is up!");
  EXPECT_EQ(bar->Panels()->Items(1)->Text(), "tea");
  EXPECT_EQ(GetTextByPath(&form, "StatusBar2.Panels.Item1.Text"), "tea");

  HWND window = bar->Handle();
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(window, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
  EXPECT_EQ(edges[0], 70);
  EXPECT_EQ(edges[1], -1);
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 0), "\t00:10:00");
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 1), "tea");

  SetTextByPath(&form, "StatusBar2.Panels.Item1.Text", "coffee");
  first->SetWidth(90);
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 1), "coffee");
  SendMessageA(window, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
  EXPECT_EQ(edges[0], 90);

  EXPECT_FALSE(SendMessageA(window, SB_ISSIMPLE, 0, 0));
  bar->SetSimplePanel(true);
  EXPECT_TRUE(SendMessageA(window, SB_ISSIMPLE, 0, 0));
  // A simple bar answers its one text as part 0.
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 0), "Time is up!");
  bar->SetSimpleText("Stopped");
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 0), "Stopped");
  bar->SetSimplePanel(false);
  EXPECT_EQ(ListText(window, SB_GETTEXTA, 1), "coffee");
}

TEST_F(ControlsTest, ProgressBarKeepsItsPositionInRangeAndWrapsWhenStepping) {
  TForm form(nullptr);
  auto* bar = Make<TProgressBar>(form, &form, "ProgressBar1");
  bar->SetStep(30);
  bar->SetPosition(250);
  EXPECT_EQ(bar->Position(), 100);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 30);  // past the end it starts again
  bar->SetMax(20);
  EXPECT_EQ(bar->Position(), 20);
  bar->SetMin(50);
  EXPECT_EQ(bar->Max(), 50);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetMin(0);
  bar->SetMax(100);
  bar->SetPosition(40);
  HWND window = bar->Handle();
  EXPECT_EQ(SendMessageA(window, PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(SendMessageA(window, PBM_GETRANGE, FALSE, 0), 100);
  bar->StepBy(-70);
  EXPECT_EQ(bar->Position(), 0);
  bar->StepIt();
  EXPECT_EQ(SendMessageA(window, PBM_GETPOS, 0, 0), 30);
}

TEST_F(ControlsTest, PublishedPropertiesReachTheControlsByName) {
  TForm form(nullptr);
  auto* check = Make<TCheckBox>(form, &form, "cbAutoHide");
  auto* memo = Make<TMemo>(form, &form, "Memo1");
  auto* combo = Make<TComboBox>(form, &form, "cbUser");
  auto* list = Make<TListBox>(form, &form, "lbUsers");
  Make<TLabel>(form, &form, "lUser");
  Make<TPanel>(form, &form, "pHeader");
  Make<TEdit>(form, &form, "edUser");
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  SetTextByPath(&form, "cbAutoHide.Checked", "True");
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(clicks, 1);
  SetTextByPath(&form, "Memo1.Lines", "first\r\nsecond");
  EXPECT_EQ(memo->Lines()->Count(), 2);
  EXPECT_EQ(GetTextByPath(&form, "Memo1.Lines"), "first\r\nsecond\r\n");
  SetTextByPath(&form, "cbUser.Items", "a\r\nb\r\n");
  SetTextByPath(&form, "cbUser.ItemIndex", "1");
  EXPECT_EQ(combo->Text(), "b");
  SetTextByPath(&form, "lbUsers.Items", "x\r\ny\r\nz\r\n");
  EXPECT_EQ(list->Items()->Count(), 3);
  SetTextByPath(&form, "lUser.Caption", "User:");
  SetTextByPath(&form, "pHeader.Caption", "Header");
  SetTextByPath(&form, "edUser.Text", "guest");
  EXPECT_EQ(GetTextByPath(&form, "lUser.Caption"), "User:");
  EXPECT_EQ(GetTextByPath(&form, "pHeader.BevelOuter"), "bvRaised");
  EXPECT_EQ(GetTextByPath(&form, "edUser.Text"), "guest");
  EXPECT_EQ(GetTextByPath(&form, "cbUser.Style"), "csDropDown");

  EXPECT_EQ(check->ClassName(), "TCheckBox");
  EXPECT_EQ(combo->ClassName(), "TComboBox");
  EXPECT_EQ(memo->Lines()->ClassName(), "TStrings");
  EXPECT_EQ(list->Items()->ClassName(), "TStrings");
  const PropInfo* items = FindProp(combo, "Items");
  ASSERT_NE(items, nullptr);
  EXPECT_EQ(items->Kind, TTypeKind::Class);
}
