#include "platform/wcl/win/status_controls.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/properties.h"
#include "platform/wcl/win/built_in_texts.h"

// ---------------------------------------------------------------------------------------
// TStatusPanel, TStatusPanels

const ClassInfo* TStatusPanel::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TStatusPanel>("TStatusPanel", TCollectionItem::StaticClassInfo())
          .Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, &AlignmentEnum)
          .Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText)
          .Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, 0, 100000)
          .Build();
  return &ci;
}

void TStatusPanel::SetText(const std::string& value) {
  if (value == text_) return;
  text_ = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  value = std::max(value, 0);
  if (value == width_) return;
  width_ = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* panel = dynamic_cast<TStatusPanel*>(source)) {
    text_ = panel->text_;
    width_ = panel->width_;
    alignment_ = panel->alignment_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

const ClassInfo* TStatusPanels::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStatusPanels>("TStatusPanels", TCollection::StaticClassInfo()).Build();
  return &ci;
}

TStatusPanels::TStatusPanels(TStatusBar* statusBar)
    : TCollection(ItemClass<TStatusPanel>(), statusBar), statusBar_(statusBar) {}

void TStatusPanels::Update(TCollectionItem* item) { statusBar_->UpdatePanels(static_cast<TStatusPanel*>(item)); }

// ---------------------------------------------------------------------------------------
// TStatusBar

namespace {

// The bar takes its texts in UTF-16, each from the code page it is shown from; the tabs that
// place it go before the converted text.
void ShowPartText(HWND bar, WPARAM part, const std::string& text, const wchar_t* tabs = L"") {
  const std::wstring shown = tabs + ShownText(text);
  SendMessageW(bar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(shown.c_str()));
}

}  // namespace

const ClassInfo* TStatusBar::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStatusBar>("TStatusBar", TWinControl::StaticClassInfo())
                                  .Obj("Panels", &TStatusBar::Panels, TStatusPanels::StaticClassInfo())
                                  .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
                                  .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
                                  .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip)
                                  .Build();
  return &ci;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)) {
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

void TStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_) return;
  simplePanel_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), SB_SIMPLE, value ? TRUE : FALSE, 0);
}

void TStatusBar::SetSimpleText(const std::string& value) {
  if (value == simpleText_) return;
  simpleText_ = value;
  if (HandleAllocated())
    ShowPartText(Handle(), SB_SIMPLEID, simpleText_);
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = STATUSCLASSNAMEA;
  // The object places the bar (Align); the window keeps to the bounds it is given.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels(nullptr);
  ShowPartText(Handle(), SB_SIMPLEID, simpleText_);
  SendMessageA(Handle(), SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
}

// A tab before the text centres it, two put it at the right.
void TStatusBar::ShowPanelText(int index) {
  TStatusPanel* panel = panels_->Items(index);
  const wchar_t* tabs = panel->Alignment() == taCenter ? L"\t" : panel->Alignment() == taRightJustify ? L"\t\t" : L"";
  ShowPartText(Handle(), static_cast<WPARAM>(index), panel->Text(), tabs);
}

void TStatusBar::UpdatePanels(TStatusPanel* panel) {
  if (!HandleAllocated()) return;
  if (panel != nullptr) {
    ShowPanelText(panel->Index());
    return;
  }
  // The right edges of the parts; the last part reaches the end of the bar.
  const int count = panels_->Count();
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
  int edge = 0;
  for (int i = 0; i + 1 < count; ++i) edges[static_cast<size_t>(i)] = edge += panels_->Items(i)->Width();
  SendMessageA(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  if (count == 0) ShowPartText(Handle(), 0, "");
  for (int i = 0; i < count; ++i) ShowPanelText(i);
}

// ---------------------------------------------------------------------------------------
// TProgressBar

const ClassInfo* TProgressBar::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TProgressBar>("TProgressBar", TWinControl::StaticClassInfo())
                                  .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax)
                                  .Int("Min", &TProgressBar::Min, &TProgressBar::SetMin)
                                  .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
                                  .Int("Step", &TProgressBar::Step, &TProgressBar::SetStep)
                                  .Build();
  return &ci;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetMin(int value) { SetRange(value, std::max(value, max_)); }

void TProgressBar::SetMax(int value) { SetRange(std::min(value, min_), value); }

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SetPosition(position_);
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, min_, max_);
  if (HandleAllocated()) SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::StepIt() {
  long long next = static_cast<long long>(position_) + step_;
  const long long span = static_cast<long long>(max_) - min_;
  if (span > 0 && (next > max_ || next < min_)) next = min_ + ((next - min_) % span + span) % span;
  SetPosition(static_cast<int>(std::clamp<long long>(next, min_, max_)));
}

void TProgressBar::StepBy(int delta) { SetPosition(static_cast<int>(std::clamp<long long>(static_cast<long long>(position_) + delta, min_, max_))); }

void TProgressBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = PROGRESS_CLASSA;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND window = Handle();
  SendMessageA(window, PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendMessageA(window, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessageA(window, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TStatusBar::ChangeScale(int m, int d) {
  for (int i = 0; i < panels_->Count(); ++i) {
    TStatusPanel* panel = panels_->Items(i);
    panel->SetWidth(MulDiv(panel->Width(), m, d));
  }
  TWinControl::ChangeScale(m, d);
}
