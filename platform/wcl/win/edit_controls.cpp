#include "platform/wcl/win/edit_controls.h"

#include <algorithm>
#include <numeric>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/messages.h"

namespace {

const EnumInfo EditBorderStyleEnum{"TBorderStyle", {"bsNone", "bsSingle"}};
const EnumInfo ScrollStyleEnum{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const EnumInfo ComboBoxStyleEnum{"TComboBoxStyle", {"csDropDown", "csDropDownList"}};

// Every line break as CR LF, the only break an EDIT window shows.
std::string CrLfBreaks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      result += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}


}  // namespace

int CaptionWidth(TFont* font, const std::string& caption) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  if (!screen) return 0;
  ScopedSelectObject selected(screen.get(), font->Handle());
  RECT rect{0, 0, 0, 0};
  DrawTextA(screen.get(), caption.c_str(), static_cast<int>(caption.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
  return rect.right - rect.left;
}

int FontLineHeight(TFont* font) {
  WindowDc screen = WindowDc::ForClient(nullptr);
  if (!screen) return 0;
  ScopedSelectObject selected(screen.get(), font->Handle());
  TEXTMETRICA metrics{};
  if (!GetTextMetricsA(screen.get(), &metrics)) return 0;
  return metrics.tmHeight;
}

// ---------------------------------------------------------------------------------------
// TCustomEdit

const ClassInfo* TCustomEdit::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomEdit>("TCustomEdit", TWinControl::StaticClassInfo())
          .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect)
          .Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, &EditBorderStyleEnum)
          .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0, 0x7FFFFFFE)
          .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
          .Str("Text", &TCustomEdit::Text, &TCustomEdit::SetText)
          .Build();
  return &ci;
}

const ClassInfo* TEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TEdit>("TEdit", TCustomEdit::StaticClassInfo()).Build();
  return &ci;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  // The EDIT window keeps the mouse itself while the user selects.
  SetControlStyle(csClickEvents | csDoubleClicks);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
}

void TCustomEdit::SetBorderStyle(TFormBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

bool TCustomEdit::Modified() const {
  if (!HandleAllocated()) return modified_;
  return SendMessageA(const_cast<TCustomEdit*>(this)->Handle(), EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() const {
  if (!HandleAllocated()) return selStart_;
  DWORD start = 0, end = 0;
  SendMessageA(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() const {
  if (!HandleAllocated()) return selEnd_ - selStart_;
  DWORD start = 0, end = 0;
  SendMessageA(const_cast<TCustomEdit*>(this)->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end) - static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { SetSelection(value, value); }

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  SetSelection(start, start + std::max(value, 0));
}

void TCustomEdit::SelectAll() { SetSelection(0, static_cast<int>(Text().size())); }

void TCustomEdit::SetSelection(int start, int end) {
  // The length of what the window shows (a masked edit's Text may be shorter).
  const int length = static_cast<int>(TWinControl::GetText().size());
  selStart_ = std::clamp(start, 0, length);
  selEnd_ = std::clamp(end, selStart_, length);
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selEnd_));
}

void TCustomEdit::Change() {
  if (OnChange && !IsDestroying()) OnChange(this);
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = "EDIT";
  params.Style |= ES_AUTOHSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWnd() {
  // Whatever the window reports while it is being made is not a change of the text.
  {
    TScopedState creating(creating_);
    TWinControl::CreateWnd();
  }
  HWND window = Handle();
  SendMessageA(window, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  SendMessageA(window, EM_SETMODIFY, modified_ ? TRUE : FALSE, 0);
  SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(selStart_), static_cast<LPARAM>(selEnd_));
}

void TCustomEdit::SaveWindowState() {
  TWinControl::SaveWindowState();
  if (!HandleAllocated()) return;
  modified_ = Modified();
  selStart_ = SelStart();
  selEnd_ = selStart_ + SelLength();
}

// Text set from code: the window (when there is one) reports the change itself.
void TCustomEdit::TextChanged() {
  TWinControl::TextChanged();
  if (HandleAllocated()) return;
  modified_ = false;
  selStart_ = selEnd_ = 0;
  Change();
}

void TCustomEdit::DoEnter() {
  // A click places the caret itself; a multi-line edit keeps its caret.
  if (autoSelect_ && !(ControlState() & csLButtonDown) && HandleAllocated() &&
      !(GetWindowLongPtrA(Handle(), GWL_STYLE) & ES_MULTILINE))
    SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::WndProc(TMessage& msg) {
  if (msg.Msg == CN_COMMAND && HIWORD(msg.WParam) == EN_CHANGE) {
    changeReported_ = true;
    if (!creating_) Change();
    return;
  }
  if (msg.Msg == WM_SETTEXT && !creating_) {
    // A multi-line EDIT does not report text set from outside; it is a change all the same.
    changeReported_ = false;
    TWinControl::WndProc(msg);
    if (!changeReported_) Change();
    return;
  }
  TWinControl::WndProc(msg);
  if (msg.Msg == WM_GETDLGCODE && !TypesTab()) {
    msg.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (msg.WParam == VK_TAB) msg.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
  }
}

// ---------------------------------------------------------------------------------------
// TMemo and its lines

std::vector<std::string> TMemoLines::Lines() const {
  // Split as every string list splits text.
  TStringList split;
  split.SetText(memo_->Text());
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(split.Count()));
  for (int i = 0; i < split.Count(); ++i) lines.push_back(split.Strings(i));
  return lines;
}

void TMemoLines::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  memo_->SetText(text);
}

std::string TMemoLines::Get(int index) const {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  return lines[static_cast<size_t>(index)];
}

void TMemoLines::Put(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines[static_cast<size_t>(index)] = s;
  SetLines(lines);
}

void TMemoLines::Insert(int index, const std::string& s) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index > static_cast<int>(lines.size())) IndexError(index);
  lines.insert(lines.begin() + index, s);
  SetLines(lines);
}

void TMemoLines::Delete(int index) {
  std::vector<std::string> lines = Lines();
  if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
  lines.erase(lines.begin() + index);
  SetLines(lines);
}

void TMemoLines::Clear() { memo_->SetText(""); }

int TMemoLines::GetCount() const { return static_cast<int>(Lines().size()); }

std::string TMemoLines::GetTextStr() const {
  std::string text;
  for (const std::string& line : Lines()) text.append(line).append("\r\n");
  return text;
}

void TMemoLines::SetTextStr(const std::string& text) { memo_->SetText(CrLfBreaks(text)); }

const ClassInfo* TMemo::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMemo>("TMemo", TCustomEdit::StaticClassInfo())
                                  .Obj("Lines", &TMemo::Lines, nullptr)
                                  .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, &ScrollStyleEnum)
                                  .Bool("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns)
                                  .Bool("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs)
                                  .Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
                                  .Build();
  return &ci;
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoLines>(this)) {
  SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

void TMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (wantReturns_) params.Style |= ES_WANTRETURN;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
}

// Whether the memo keeps Enter (Tab: see TypesTab); what it does not keep reaches the form
// (the default button). Escape, which an edit has no use for, always reaches the form's
// cancel button.
void TMemo::WndProc(TMessage& msg) {
  TCustomEdit::WndProc(msg);
  if (msg.Msg != WM_GETDLGCODE) return;
  if (wantTabs_) msg.Result |= DLGC_WANTTAB;
  if (!wantReturns_ || msg.WParam == VK_ESCAPE) msg.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
}

// ---------------------------------------------------------------------------------------
// TListControlItems

void TListControlItems::CheckIndex(int index) const {
  if (index < 0 || index >= GetCount()) IndexError(index);
}

std::string TListControlItems::Get(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].text;
}

TObject* TListControlItems::GetObject(int index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].object;
}

void TListControlItems::PutObject(int index, TObject* object) {
  CheckIndex(index);
  items_[static_cast<size_t>(index)].object = object;
}

int TListControlItems::SortedIndex(const std::string& s) const {
  auto it = std::upper_bound(items_.begin(), items_.end(), s,
                             [this](const std::string& text, const Item& item) { return CompareStrings(text, item.text) < 0; });
  return static_cast<int>(it - items_.begin());
}

int TListControlItems::InsertItem(int index, const std::string& s, TObject* object) {
  if (sorted_) index = SortedIndex(s);
  else if (index < 0 || index > GetCount()) IndexError(index);
  items_.insert(items_.begin() + index, Item{s, object, false});
  if (control_->Live()) {
    SendShownText(control_->Window(), control_->Messages().insertString, static_cast<WPARAM>(index), s);
  } else {
    // The choice moves with its item, as the window moves it.
    int& chosen = control_->itemIndex_;
    if (chosen >= index) ++chosen;
    changedInUpdate_ = true;
  }
  return index;
}

int TListControlItems::Add(const std::string& s) { return InsertItem(GetCount(), s, nullptr); }

int TListControlItems::AddObject(const std::string& s, TObject* object) { return InsertItem(GetCount(), s, object); }

void TListControlItems::Insert(int index, const std::string& s) { InsertItem(index, s, nullptr); }

void TListControlItems::InsertObject(int index, const std::string& s, TObject* object) {
  InsertItem(index, s, object);
}

void TListControlItems::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
  if (control_->Live()) {
    SendMessageA(control_->Window(), control_->Messages().deleteString, static_cast<WPARAM>(index), 0);
  } else {
    int& chosen = control_->itemIndex_;
    if (chosen == index) chosen = -1;
    else if (chosen > index) --chosen;
    changedInUpdate_ = true;
  }
}

void TListControlItems::Clear() {
  items_.clear();
  if (control_->Live()) {
    SendMessageA(control_->Window(), control_->Messages().resetContent, 0, 0);
  } else {
    control_->itemIndex_ = -1;
    changedInUpdate_ = true;
  }
}

// The line takes its new text in its place (a sorted list moves it to where it now
// belongs); it stays chosen when it was.
void TListControlItems::Put(int index, const std::string& s) {
  CheckIndex(index);
  BeginUpdate();
  try {
    Item item = items_[static_cast<size_t>(index)];
    const bool chosen = control_->itemIndex_ == index;
    Delete(index);
    const int at = InsertItem(index, s, item.object);
    items_[static_cast<size_t>(at)].selected = item.selected;
    if (chosen) control_->itemIndex_ = at;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TListControlItems::Sort() {
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [this](int a, int b) { return CompareStrings(items_[a].text, items_[b].text) < 0; });
  BeginUpdate();
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  int chosen = -1;
  for (int i = 0; i < static_cast<int>(order.size()); ++i) {
    sorted.push_back(items_[static_cast<size_t>(order[i])]);
    if (order[i] == control_->itemIndex_) chosen = i;
  }
  items_ = std::move(sorted);
  control_->itemIndex_ = chosen;
  changedInUpdate_ = true;
  EndUpdate();
}

// While lines change in a batch the window is left alone; it takes them all at the end.
void TListControlItems::SetUpdateState(bool updating) {
  if (!control_->HandleAllocated()) return;
  if (updating) {
    control_->ReadSelection();
    changedInUpdate_ = false;
  } else if (changedInUpdate_) {
    control_->PushItems();
  }
}

// ---------------------------------------------------------------------------------------
// TCustomListControl

const ClassInfo* TCustomListControl::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomListControl>("TCustomListControl", TWinControl::StaticClassInfo())
          .Obj("Items", &TCustomListControl::Items, nullptr)
          .Int("ItemIndex", &TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex)
          .Bool("Sorted", &TCustomListControl::Sorted, &TCustomListControl::SetSorted)
          .Build();
  return &ci;
}

TCustomListControl::TCustomListControl(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListControlItems>(this)) {
  // The system window reports clicks and double clicks itself.
  SetControlStyle(0);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomListControl::~TCustomListControl() = default;

bool TCustomListControl::Live() const { return HandleAllocated() && !items_->Updating(); }

int TCustomListControl::ItemIndex() const {
  if (!Live()) return itemIndex_;
  const int index = static_cast<int>(SendMessageA(Window(), Messages().getCurSel, 0, 0));
  return index >= 0 && index < items_->Count() ? index : -1;
}

void TCustomListControl::SetItemIndex(int value) {
  if (value < -1 || value >= items_->Count()) value = -1;
  itemIndex_ = value;
  if (Live()) {
    SendMessageA(Window(), Messages().setCurSel, static_cast<WPARAM>(value), 0);
    return;
  }
  items_->changedInUpdate_ = true;
  ItemIndexStored();
}

void TCustomListControl::SetSorted(bool value) {
  if (value == items_->sorted_) return;
  items_->sorted_ = value;
  if (value) items_->Sort();
}

void TCustomListControl::ReadSelection() {
  if (!HandleAllocated()) return;
  const int index = static_cast<int>(SendMessageA(Window(), Messages().getCurSel, 0, 0));
  itemIndex_ = index >= 0 && index < items_->Count() ? index : -1;
}

void TCustomListControl::WriteSelection() {
  SendMessageA(Window(), Messages().setCurSel, static_cast<WPARAM>(itemIndex_), 0);
}

void TCustomListControl::PushItems() {
  HWND window = Window();
  const TListMessages& m = Messages();
  SendMessageA(window, m.resetContent, 0, 0);
  for (size_t i = 0; i < items_->items_.size(); ++i)
    SendShownText(window, m.insertString, static_cast<WPARAM>(i), items_->items_[i].text);
  WriteSelection();
}

void TCustomListControl::CreateWnd() {
  TWinControl::CreateWnd();
  PushItems();
}

void TCustomListControl::SaveWindowState() {
  TWinControl::SaveWindowState();
  if (Live() && !IsDestroying()) ReadSelection();
}

// ---------------------------------------------------------------------------------------
// TCustomComboBox

const ClassInfo* TCustomComboBox::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomComboBox>("TCustomComboBox", TCustomListControl::StaticClassInfo())
          .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 1, 1000)
          .Enum("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, &ComboBoxStyleEnum)
          .Str("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText)
          .Build();
  return &ci;
}

const ClassInfo* TComboBox::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TComboBox>("TComboBox", TCustomComboBox::StaticClassInfo()).Build();
  return &ci;
}

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomListControl(owner) { SetBounds(0, 0, 145, 21); }

const TCustomListControl::TListMessages& TCustomComboBox::Messages() const {
  static const TListMessages messages{CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL};
  return messages;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  // The text typed in a drop-down edit is not an item; a list keeps only items.
  if (value == csDropDownList && ItemIndex() < 0) StoreText("");
  style_ = value;
  RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(value, 1);
  if (HandleAllocated()) SetBounds(Left(), Top(), Width(), Height());
}

int TCustomComboBox::DroppedHeight() const {
  int itemHeight = HandleAllocated() ? static_cast<int>(SendMessageA(Window(), CB_GETITEMHEIGHT, 0, 0))
                                     : FontLineHeight(Font());
  if (itemHeight <= 0) itemHeight = FontLineHeight(Font());
  return Height() + dropDownCount_ * itemHeight + 2;
}

// The window's height is that of the open list; the closed height follows the font.
void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
  TCustomListControl::SetBounds(left, top, width, height);
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), DroppedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TCustomListControl::CreateParams(params);
  params.SysClassName = "COMBOBOX";
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | (style_ == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
  params.Height = DroppedHeight();
}

void TCustomComboBox::Change() {
  if (OnChange && !IsDestroying()) OnChange(this);
}

std::string TCustomComboBox::GetText() const {
  if (style_ == csDropDown) {
    // A chosen item shown from a code page of its own is in the edit in UTF-16: while the
    // edit still holds it, the text is that item.
    const int index = ItemIndex();
    if (index >= 0 && HandleAllocated()) {
      const std::string& item = Items()->Strings(index);
      if (HasOwnCodePage(item) && HeldWindowText(Window()) == ShownText(item)) return item;
    }
    return TCustomListControl::GetText();
  }
  const int index = ItemIndex();
  return index >= 0 ? Items()->Strings(index) : std::string();
}

// A list's text can only be one of its items: setting it chooses that item, or none.
void TCustomComboBox::TextChanged() {
  TCustomListControl::TextChanged();
  if (style_ == csDropDownList) SetItemIndex(Items()->IndexOf(TControl::GetText()));
}

// Without a window, choosing an item shows it in the edit as the window would.
void TCustomComboBox::ItemIndexStored() {
  if (style_ != csDropDown) return;
  const int index = StoredItemIndex();
  const std::string text = index >= 0 ? Items()->Strings(index) : std::string();
  if (HandleAllocated()) ShowEditText(text);
  else StoreText(text);
}

// The window forgets its edit text with its items; a text that is no item is kept.
void TCustomComboBox::PushItems() {
  const std::string text = style_ == csDropDown ? GetText() : std::string();
  TCustomListControl::PushItems();
  if (style_ == csDropDown && StoredItemIndex() < 0) ShowEditText(text);
}

// The new window's edit starts empty: it takes a text that is no item from the object.
void TCustomComboBox::CreateWnd() {
  TCustomListControl::CreateWnd();
  if (style_ == csDropDown && StoredItemIndex() < 0) ShowEditText(TControl::GetText());
}

void TCustomComboBox::ShowEditText(const std::string& text) { SendShownText(Handle(), WM_SETTEXT, 0, text); }

void TCustomComboBox::WndProc(TMessage& msg) {
  if (msg.Msg == WM_SETTEXT) {
    // Text set from code (or by the control itself) is not the user's change.
    TScopedState setting(settingText_);
    TCustomListControl::WndProc(msg);
    return;
  }
  if (msg.Msg == CN_COMMAND) {
    switch (HIWORD(msg.WParam)) {
      case CBN_SELCHANGE: {
        // The window puts the chosen item in its edit only after telling; the handlers
        // must see it there.
        const int index = ItemIndex();
        if (style_ == csDropDown && index >= 0) ShowEditText(Items()->Strings(index));
        Click();
        Change();
        return;
      }
      case CBN_EDITCHANGE:
        if (!settingText_) Change();
        return;
      default:
        break;
    }
  }
  TCustomListControl::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TCustomListBox

const ClassInfo* TCustomListBox::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TCustomListBox>("TCustomListBox", TCustomListControl::StaticClassInfo())
          .Bool("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight)
          .Bool("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect)
          .Build();
  return &ci;
}

const ClassInfo* TListBox::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TListBox>("TListBox", TCustomListBox::StaticClassInfo()).Build();
  return &ci;
}

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomListControl(owner) { SetBounds(0, 0, 121, 97); }

const TCustomListControl::TListMessages& TCustomListBox::Messages() const {
  static const TListMessages single{LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL};
  static const TListMessages multiple{LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCARETINDEX,
                                      LB_SETCARETINDEX};
  return multiSelect_ ? multiple : single;
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  // The window keeps the choice in its own way: it gives it back as it goes, and the new
  // window takes it in the new way.
  const bool hadWindow = HandleAllocated();
  DestroyHandle();
  auto& items = ItemList()->items_;
  const int chosen = StoredItemIndex();
  if (value) {
    if (chosen >= 0) items[static_cast<size_t>(chosen)].selected = true;
  } else {
    if (chosen >= 0 && !items[static_cast<size_t>(chosen)].selected) SetItemIndex(-1);
    for (auto& item : items) item.selected = false;
  }
  multiSelect_ = value;
  if (hadWindow) HandleNeeded();
}

void TCustomListBox::SetIntegralHeight(bool value) {
  if (value == integralHeight_) return;
  integralHeight_ = value;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) const {
  ItemList()->CheckIndex(index);
  if (!multiSelect_) return ItemIndex() == index;
  if (Live()) return SendMessageA(Window(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
  return ItemList()->items_[static_cast<size_t>(index)].selected;
}

void TCustomListBox::SetSelected(int index, bool value) {
  ItemList()->CheckIndex(index);
  if (!multiSelect_) {
    if (value) SetItemIndex(index);
    else if (ItemIndex() == index) SetItemIndex(-1);
    return;
  }
  ItemList()->items_[static_cast<size_t>(index)].selected = value;
  if (Live()) SendMessageA(Window(), LB_SETSEL, value ? TRUE : FALSE, static_cast<LPARAM>(index));
  else ItemList()->changedInUpdate_ = true;
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  if (Live()) return static_cast<int>(SendMessageA(Window(), LB_GETSELCOUNT, 0, 0));
  const auto& items = ItemList()->items_;
  return static_cast<int>(std::count_if(items.begin(), items.end(), [](const auto& item) { return item.selected; }));
}

int TCustomListBox::ItemHeight() const {
  if (HandleAllocated()) return static_cast<int>(SendMessageA(Window(), LB_GETITEMHEIGHT, 0, 0));
  return FontLineHeight(Font());
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  TCustomListControl::CreateParams(params);
  params.SysClassName = "LISTBOX";
  params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL;
  if (multiSelect_) params.Style |= LBS_EXTENDEDSEL;
  if (!integralHeight_) params.Style |= LBS_NOINTEGRALHEIGHT;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::ReadSelection() {
  TCustomListControl::ReadSelection();
  if (!multiSelect_ || !HandleAllocated()) return;
  auto& items = ItemList()->items_;
  for (size_t i = 0; i < items.size(); ++i)
    items[i].selected = SendMessageA(Window(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
}

void TCustomListBox::WriteSelection() {
  if (multiSelect_) {
    const auto& items = ItemList()->items_;
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].selected) SendMessageA(Window(), LB_SETSEL, TRUE, static_cast<LPARAM>(i));
  }
  TCustomListControl::WriteSelection();
}

void TCustomListBox::WndProc(TMessage& msg) {
  if (msg.Msg == CN_COMMAND) {
    switch (HIWORD(msg.WParam)) {
      case LBN_SELCHANGE:
        Click();
        return;
      case LBN_DBLCLK:
        DblClick();
        return;
      default:
        break;
    }
  }
  TCustomListControl::WndProc(msg);
}
