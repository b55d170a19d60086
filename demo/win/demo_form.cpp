#include "demo/win/demo_form.h"

#include <algorithm>

#include "demo/demo_form_logic.h"
#include "demo/win/demo_form_pictures.h"
#include "kit/win/cursors.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/edges.h"

TformMain* formMain = nullptr;

namespace {

// Where the program's pages live on the web. The labels show these texts and a click opens
// exactly what is shown.
constexpr const char* kHomePage = "http://www.hourlark.example/";
constexpr const char* kMirrorPage = "http://hourlark.example.net/";
constexpr const char* kLanguagePage = "http://www.hourlark.example/languages.html";
constexpr const char* kLibraryPage = "http://www.lingrove.example/";
constexpr const char* kInstaller = "http://www.hourlark.example/download/hl2setup.exe";

constexpr int kPageWidth = 469;
constexpr TColor kMaroon = 0x000080;

}  // namespace

// ---------------------------------------------------------------------------------------
// TNotebook

const ClassInfo* TNotebookPage::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TNotebookPage>("TNotebookPage", TPanel::StaticClassInfo()).Build();
  return &ci;
}

TNotebookPage::TNotebookPage(TComponent* owner) : TPanel(owner) { SetBevelOuter(bvNone); }

const ClassInfo* TNotebook::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TNotebook>("TNotebook", TPanel::StaticClassInfo())
                                  .Int("PageIndex", &TNotebook::PageIndex, &TNotebook::SetPageIndex)
                                  .Build();
  return &ci;
}

TNotebook::TNotebook(TComponent* owner) : TPanel(owner) { SetBevelOuter(bvNone); }

TNotebookPage* TNotebook::AddPage(const std::string& name) {
  auto* page = new TNotebookPage(this);
  page->SetPageName(name);
  page->SetVisible(PageCount() == pageIndex_);
  page->SetParent(this);
  page->SetAlign(alClient);
  pages_.push_back(page);
  return page;
}

TNotebookPage* TNotebook::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return pages_[static_cast<size_t>(index)];
}

std::vector<std::string> TNotebook::PageNames() const {
  std::vector<std::string> names;
  for (const TNotebookPage* page : pages_) names.push_back(page->PageName());
  return names;
}

void TNotebook::SetPageIndex(int value) {
  if (value == pageIndex_ || value < 0 || value >= PageCount()) {
    // Until its pages exist the notebook keeps the index it is given.
    if (PageCount() == 0) pageIndex_ = value;
    return;
  }
  // The new page shows before the old one goes, so the area never flashes empty.
  pages_[static_cast<size_t>(value)]->SetVisible(true);
  if (pageIndex_ >= 0 && pageIndex_ < PageCount()) pages_[static_cast<size_t>(pageIndex_)]->SetVisible(false);
  pageIndex_ = value;
  if (OnPageChanged) OnPageChanged(this);
}

// ---------------------------------------------------------------------------------------
// TformMain

const ClassInfo* TformMain::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformMain>("TformMain", TForm::StaticClassInfo()).Build();
  return &ci;
}

template <class T>
T* TformMain::Add(const std::string& name, TWinControl* parent, int left, int top, int width, int height) {
  T* control = new T(this);
  if (!name.empty()) control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TformMain::TformMain(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formMain");
  SetCaption("Hourlark by Quennix 2.0 Quick Demo");
  SetBorderStyle(bsSingle);
  SetPosition(poScreenCenter);
  SetClientWidth(510);
  SetClientHeight(305);
  SetColor(clBtnFace);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetShowHint(true);

  Panel1 = Add<TPanel>("Panel1", this, 0, 273, 510, 32);
  Panel1->SetAlign(alBottom);
  Panel1->SetBevelOuter(bvNone);
  btPrev = AddButton("btPrev", Panel1, 3, "Previous", kDemoPrev, blGlyphLeft);
  btNext = AddButton("btNext", Panel1, 93, "Next", kDemoNext, blGlyphRight);
  Panel4 = Add<TPanel>("Panel4", Panel1, 418, 0, 92, 32);
  Panel4->SetAlign(alRight);
  Panel4->SetBevelOuter(bvNone);
  btClose = AddButton("btClose", Panel4, 2, "Close", kDemoClose, blGlyphLeft);

  Panel2 = Add<TPanel>("Panel2", this, 0, 0, 41, 273);
  Panel2->SetAlign(alLeft);
  Panel2->SetBevelOuter(bvNone);
  Image2 = AddPicture(Panel2, 3, 1, kDemoSide);
  Image2->SetName("Image2");
  Image2->SetTransparent(true);
  lPage = Add<TPanel>("lPage", Panel2, 0, 258, 41, 15);
  lPage->SetAlign(alBottom);
  lPage->SetBevelOuter(bvNone);
  lPage->SetCaption("?/??");

  Notebook = Add<TNotebook>("Notebook", this, 41, 0, kPageWidth, 273);
  Notebook->SetAlign(alClient);
  Notebook->SetPageIndex(1);
  BuildPages();

  btPrev->OnClick = [this](TObject* sender) { btPrevClick(sender); };
  btNext->OnClick = [this](TObject* sender) { btNextClick(sender); };
  btClose->OnClick = [this](TObject* sender) { btCloseClick(sender); };
  Notebook->OnPageChanged = [this](TObject* sender) { NotebookPageChanged(sender); };
  for (TLabel* link : {lURL, lURL2, lURL_, lURL2_, lURLFile})
    link->OnClick = [this](TObject* sender) { lURLClick(sender); };
  lHL_URLLingroveHL->OnClick = [this](TObject* sender) { lHL_URLLingroveHLClick(sender); };
  imLingroveLogo->OnClick = [this](TObject* sender) { imLingroveLogoClick(sender); };
  cbAnimatedIcon->OnClick = [this](TObject* sender) { cbAnimatedIconClick(sender); };
  cbRemindEvery->OnClick = [this](TObject* sender) { cbRemindEveryClick(sender); };
  cbRemindDone->OnClick = [this](TObject* sender) { cbRemindDoneClick(sender); };
  OnCreate = [this](TObject* sender) { FormCreate(sender); };

  LoadedAll(this);
  // A right-aligned label grows to the left, so the titles end at the page's right margin.
  // A title and the rule under it stay above the page's content: a title too high for that
  // (two lines, a larger screen font) takes a smaller font.
  for (const auto& [title, line] : titles_) {
    TWinControl* page = title->Parent();
    auto content = [&] {
      int top = page->ClientHeight();
      const int left = ScaleValue(kPageWidth - 8) - title->Width();
      for (int i = 0; i < page->ControlCount(); ++i) {
        TControl* control = page->Controls(i);
        if (control != title && control != line && control->Left() + control->Width() > left)
          top = std::min(top, control->Top());
      }
      return top;
    };
    while (title->Top() + title->Height() + ScaleValue(2) + line->Height() > content() &&
           title->Font()->Height() < -ScaleValue(12))
      title->Font()->SetHeight(title->Font()->Height() + 1);
    title->SetLeft(ScaleValue(kPageWidth - 8) - title->Width());
    line->SetTop(title->Top() + title->Height() + ScaleValue(2));
    // The rule starts after a picture that stands beside the title.
    const int right = line->Left() + line->Width();
    for (int i = 0; i < page->ControlCount(); ++i) {
      TControl* control = page->Controls(i);
      const int after = control->Left() + control->Width() + ScaleValue(4);
      const bool beside = control->Top() < line->Top() + line->Height() && control->Top() + control->Height() > line->Top();
      if (control != title && control != line && control->Visible() && beside && after > line->Left())
        line->SetBounds(after, line->Top(), right - after, line->Height());
    }
  }
  DoCreate();
}

TBitBtn* TformMain::AddButton(const std::string& name, TWinControl* parent, int left,
                              const std::string& caption, const char* glyph, TButtonLayout layout) {
  auto* button = Add<TBitBtn>(name, parent, left, 5, 85, 25);
  button->SetCaption(caption);
  TBitmap picture;
  LoadDemoPicture(&picture, glyph);
  button->SetGlyph(&picture);
  button->SetLayout(layout);
  return button;
}

TNotebookPage* TformMain::AddPage(const std::string& name, const std::string& title) {
  TNotebookPage* page = Notebook->AddPage(name);
  page->SetName("Page" + std::to_string(Notebook->PageCount() - 1));
  auto* label = Add<TLabel>("", page, 0, 2, 0, 0);
  label->Font()->SetName("Comic Sans MS");
  label->Font()->SetHeight(-24);
  label->Font()->SetColor(kMaroon);
  label->SetAlignment(taRightJustify);
  label->SetCaption(title);
  auto* bevel = Add<TBevel>("", page, 8, 0, kPageWidth - 16, 2);
  bevel->SetShape(bsTopLine);
  titles_.emplace_back(label, bevel);
  return page;
}

TLabel* TformMain::AddText(TWinControl* parent, int left, int top, int width, const std::string& text) {
  auto* label = Add<TLabel>("", parent, left, top, width, 13);
  label->SetWordWrap(true);
  label->SetCaption(text);
  return label;
}

TLabel* TformMain::AddLink(const std::string& name, TWinControl* parent, int left, int top) {
  auto* label = Add<TLabel>(name, parent, left, top, 0, 0);
  label->Font()->SetColor(clBlue);
  label->Font()->SetStyle(fsUnderline);
  label->SetCursor(crKitHand);
  // Addresses are shown as they are, so the text opened is the text seen.
  label->SetShowAccelChar(false);
  label->SetCaption("http://");
  return label;
}

TImage* TformMain::AddPicture(TWinControl* parent, int left, int top, const char* picture) {
  auto* image = Add<TImage>("", parent, left, top, 0, 0);
  image->SetAutoSize(true);
  LoadDemoPicture(image->Picture()->Bitmap(), picture);
  return image;
}

TAnimatedImage* TformMain::AddAnimation(const std::string& name, TWinControl* parent, int left, int top,
                                        const char* strip, int glyphs, int startGlyph, unsigned interval) {
  auto* animation = Add<TAnimatedImage>(name, parent, left, top, 16, 16);
  TBitmap picture;
  LoadDemoPicture(&picture, strip);
  animation->SetGlyph(&picture);
  animation->SetNumGlyphs(glyphs);
  animation->SetGlyphNum(startGlyph);
  if (interval != 0) animation->SetInterval(interval);
  animation->SetActive(true);
  return animation;
}

void TformMain::BuildPages() {
  const int textLeft = 190;
  const int textWidth = kPageWidth - textLeft - 10;

  TNotebookPage* page = AddPage("-1", "Announce");
  AddText(page, 20, 60, kPageWidth - 40,
          "Welcome to Hourlark 2.0, the small clock in your notification area that knows where your "
          "working day goes. This demo walks you through its windows and settings page by page.");
  auto* five = AddText(page, 20, 120, kPageWidth - 40, "Just five minutes!");
  five->Font()->SetStyle(fsBold);
  AddText(page, 20, 150, kPageWidth - 40, "You can delete this demo (hl2demo.exe) any time.");

  page = AddPage("0", "Introduction");
  AddText(page, 20, 50, kPageWidth - 40,
          "Hourlark counts the time you spend in every program and window, day by day and user by "
          "user. It reminds you to take a break, counts down to your next appointment and shows "
          "tables and charts of where the hours went.");
  AnimatedImage2 = AddAnimation("AnimatedImage2", page, 20, 130, kDemoHourglass, 3, 1, 0);
  AddText(page, 62, 132, 200, "Check latest version:");
  lURL = AddLink("lURL", page, 62, 150);
  lURL2 = AddLink("lURL2", page, 62, 166);
  lURL2->SetVisible(false);

  struct TPicturePage {
    const char* name;
    const char* title;
    const char* picture;
    const char* text;
  };
  const TPicturePage picturePages[] = {
      {"1", "1. Starting", kDemoScrStart,
       "Hourlark starts with Windows and sits in the notification area. Each user of the computer "
       "counts separately: pick your name once and the day's totals are yours. While the screen "
       "saver runs, counting pauses by itself."},
      {"2", "2. Menu", kDemoScrMenu,
       "A right click on the tray clock opens the menu: start and stop counting, the task list, the "
       "statistics, the countdown and the options."},
      {"3", "3. Task List", kDemoScrTasks,
       "The task list shows every program you worked in today with the time it took. Give tasks "
       "your own descriptions and sort them into groups such as Work, Internet or Games."},
      {"4", "4. Statistics\r\nTable", kDemoScrTable,
       "The statistics table sums the days of a week for any task, group or user. Columns sort with "
       "a click on their header."},
      {"5", "5. Statistics\r\nGraph", kDemoScrChart,
       "The comparison chart puts days, tasks or users side by side, so you see at once which week "
       "was the busy one."},
      {"6", "6. Statistics\r\nDetail", kDemoScrDetail,
       "The detail view breaks a period down into its tasks, largest first, with their share of "
       "the whole."},
      {"7", "7. Health Alarm", kDemoScrAlarm,
       "Sitting too long? Hourlark reminds you to take a break after the minutes you choose, and "
       "warns you when the day's work passes your limit."},
  };
  for (const TPicturePage& spec : picturePages) {
    page = AddPage(spec.name, spec.title);
    // The menu sketch stands on the key colour where the screen shows through.
    AddPicture(page, 10, 64, spec.picture)->SetTransparent(spec.picture == kDemoScrMenu);
    AddText(page, textLeft, 70, textWidth, spec.text);
    if (std::string(spec.name) == "2") {
      auto* group = Add<TGroupBox>("", page, textLeft, 150, textWidth, 70);
      group->SetCaption("Tray icon");
      AnimatedImage1 = AddAnimation("AnimatedImage1", group, 12, 20, kDemoTrayAnim, 8, 0, 500);
      AddText(group, 34, 21, 200, "counting is started");
      AddPicture(group, 12, 42, kDemoTrayIcon)->SetTransparent(true);
      AddText(group, 34, 43, 200, "counting is stopped");
    }
  }

  page = AddPage("8", "8. Alarm && CountDown");
  KitGIFAnimator1 = Add<TKitGIFAnimator>("KitGIFAnimator1", page, 10, 8, 132, 78);
  // A stored frame index arrives before the picture and is dropped: the animation starts at 0.
  KitGIFAnimator1->SetFrameIndex(3);
  LoadDemoAnimation(KitGIFAnimator1->Image());
  KitGIFAnimator1->SetTransparent(false);
  KitGIFAnimator1->SetAnimate(true);
  AddText(page, 20, 100, kPageWidth - 40,
          "Set an alarm for a time of day, or a countdown of minutes with a comment of your own. When "
          "the time comes, Hourlark plays a sound of your choice and shows the comment; the tray clock "
          "blinks until you answer.");

  page = AddPage("9", "9. MultiLanguage");
  AddText(page, 20, 50, kPageWidth - 40,
          "Hourlark speaks your language: switch it at any time from the tray menu, without "
          "restarting. New language files can be downloaded from:");
  AnimatedImage3 = AddAnimation("AnimatedImage3", page, 20, 90, kDemoSpinner, 16, 7, 0);
  lHL_URLLingroveHL = AddLink("lHL_URLLingroveHL", page, 42, 91);
  imLingroveLogo = AddPicture(page, kPageWidth - 40, 230, kDemoLogo);
  imLingroveLogo->SetName("imLingroveLogo");
  imLingroveLogo->SetTransparent(true);
  imLingroveLogo->SetCursor(crKitHand);
  // Right-aligned in a fixed box: the text ends just before the logo.
  auto* powered = Add<TLabel>("", page, imLingroveLogo->Left() - 106, 236, 100, 13);
  powered->SetAutoSize(false);
  powered->SetAlignment(taRightJustify);
  powered->SetCaption("Powered by");

  page = AddPage("10", "10. Default\r\n Options");
  BuildOptionsPage(page);

  page = AddPage("11", "Download now!");
  AddText(page, 20, 60, 300, "Check for latest version");
  AnimatedImage4 = AddAnimation("AnimatedImage4", page, 20, 80, kDemoSpinner, 16, 6, 0);
  lURL_ = AddLink("lURL_", page, 42, 81);
  AnimatedImage5 = AddAnimation("AnimatedImage5", page, 20, 100, kDemoSpinner, 16, 13, 0);
  AnimatedImage5->SetVisible(false);
  lURL2_ = AddLink("lURL2_", page, 42, 101);
  lURL2_->SetVisible(false);
  auto* download = AddText(page, 20, 130, 300, "Download now!");
  download->Font()->SetStyle(fsBold);
  AnimatedImage6 = AddAnimation("AnimatedImage6", page, 20, 150, kDemoSpinner, 16, 15, 0);
  lURLFile = AddLink("lURLFile", page, 42, 151);
}

TCheckBox* TformMain::AddCheck(const std::string& name, int top, const std::string& caption,
                               const std::string& hint) {
  auto* box = Add<TCheckBox>(name, gbOptions, 12, top, 300, 17);
  box->SetCaption(caption);
  box->SetHint(hint);
  box->SetChecked(true);
  return box;
}

void TformMain::BuildOptionsPage(TNotebookPage* page) {
  gbOptions = Add<TGroupBox>("gbOptions", page, 10, 64, kPageWidth - 20, 200);
  cbAutoStart = AddCheck("cbAutoStart", 14, "Start Hourlark automatically",
                         "Start Hourlark automatically when Windows started");
  cbAutoHide = AddCheck("cbAutoHide", 31, "Hide Hourlark when counting is started",
                        "Automatically minimize Hourlark to system tray when counting is started");
  cbPauseScreenSaver = AddCheck("cbPauseScreenSaver", 48, "Pause when screen saver runs",
                                "Pause counting when screen saver runs (may be you fall asleep for a while)");
  cbShowIcons = AddCheck("cbShowIcons", 65, "Show in statistics icons from applications",
                         "May be a little slower at start");
  cbAnimatedIcon = AddCheck("cbAnimatedIcon", 82, "Animated icon in task bar", "");
  cbAnimatedIcon->SetWidth(170);
  imAnimIcon = AddAnimation("imAnimIcon", gbOptions, 192, 82, kDemoTrayAnim, 8, 6, 500);
  imIcon = AddPicture(gbOptions, 192, 82, kDemoTrayIcon);
  imIcon->SetName("imIcon");
  imIcon->SetTransparent(true);
  imIcon->SetVisible(false);

  cbRemindEvery = AddCheck("cbRemindEvery", 128, "Remind me to break every",
                           "Every specified value you will receive message");
  edRemindEvery = AddReminderEdit("edRemindEvery", cbRemindEvery, 600, 5, 30, "minutes");
  cbRemindDone = AddCheck("cbRemindDone", 158, "Remind me not to work more than",
                          "When you work more then specified value you will receive warning message");
  edRemindDone = AddReminderEdit("edRemindDone", cbRemindDone, 24, 1, 6, "hours per day");
}

TKitSpinEdit* TformMain::AddReminderEdit(const std::string& name, TCheckBox* box, int maxValue, int increment,
                                         int value, const std::string& unit) {
  box->SetWidth(215);
  auto* edit = Add<TKitSpinEdit>(name, gbOptions, 232, box->Top() - 2, 50, 21);
  edit->SetMinValue(1);
  edit->SetMaxValue(maxValue);
  edit->SetIncrement(increment);
  edit->SetValue(value);
  AddText(gbOptions, 288, box->Top() + 2, 100, unit);
  return edit;
}

void TformMain::FormCreate(TObject*) {
  // From 1 to 0, so that the page rule runs for the first page.
  Notebook->SetPageIndex(1);
  Notebook->SetPageIndex(0);
  btPrev->SetEnabled(false);
  lHL_URLLingroveHL->SetCaption(kLanguagePage);
  imLingroveLogo->SetHint(kLibraryPage);
  lURLFile->SetCaption(kInstaller);
  lURL->SetCaption(kHomePage);
  lURL_->SetCaption(kHomePage);
  lURL2->SetCaption(kMirrorPage);
  lURL2_->SetCaption(kMirrorPage);
}

void TformMain::NotebookPageChanged(TObject*) {
  const TDemoPageState state = DemoPageState(Notebook->PageNames(), Notebook->PageIndex());
  lPage->SetCaption(state.Counter);
  btPrev->SetEnabled(state.PrevEnabled);
  btNext->SetEnabled(state.NextEnabled);
}

void TformMain::btPrevClick(TObject*) {
  if (Notebook->PageIndex() > 0) Notebook->SetPageIndex(Notebook->PageIndex() - 1);
}

void TformMain::btNextClick(TObject*) {
  if (Notebook->PageIndex() < Notebook->PageCount() - 1) Notebook->SetPageIndex(Notebook->PageIndex() + 1);
}

void TformMain::btCloseClick(TObject*) { Close(); }

void TformMain::lURLClick(TObject* Sender) {
  if (auto* label = dynamic_cast<TLabel*>(Sender)) EdgeShellExecute("", label->Caption(), "", "", SW_SHOWNORMAL);
}

void TformMain::lHL_URLLingroveHLClick(TObject*) { EdgeShellExecute("", kLanguagePage, "", "", SW_SHOWNORMAL); }

void TformMain::imLingroveLogoClick(TObject*) { EdgeShellExecute("", kLibraryPage, "", "", SW_SHOWNORMAL); }

void TformMain::cbAnimatedIconClick(TObject*) {
  imAnimIcon->SetGlyphNum(0);
  imAnimIcon->SetVisible(cbAnimatedIcon->Checked());
  imIcon->SetVisible(!cbAnimatedIcon->Checked());
}

void TformMain::cbRemindEveryClick(TObject*) { edRemindEvery->SetEnabled(cbRemindEvery->Checked()); }

void TformMain::cbRemindDoneClick(TObject*) { edRemindDone->SetEnabled(cbRemindDone->Checked()); }
