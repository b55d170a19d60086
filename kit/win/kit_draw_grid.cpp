#include "kit/win/kit_draw_grid.h"

#include <windowsx.h>

#include <algorithm>

#include "kit/win/draw_utils_win.h"
#include "kit/win/ini_access_win.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/scoped_state.h"

namespace {

constexpr TGridOptions kKitGridOptions = GridOpt(goFixedVertLine) | GridOpt(goFixedHorzLine) | GridOpt(goVertLine) |
                                         GridOpt(goHorzLine) | GridOpt(goDrawFocusSelected) | GridOpt(goColSizing);

}  // namespace

// ---------------------------------------------------------------------------------------
// TPopupListbox

TPopupListbox::TPopupListbox(TKitInplaceEdit* editor) : TCustomListBox(nullptr), editor_(editor) {
  SetVisible(false);
  SetIntegralHeight(true);
}

void TPopupListbox::CreateParams(TCreateParams& params) {
  TCustomListBox::CreateParams(params);
  // A top-level pop-up of its own, above every window, that never becomes active.
  params.Style = (params.Style & ~static_cast<DWORD>(WS_CHILD | WS_VISIBLE)) | WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  AddBiDiStyles(params);
  params.WndParent = nullptr;
  params.ChildId = 0;
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TPopupListbox::TypeAhead(char key) {
  const std::string& text = searchText_.Add(key, GetTickCount());
  if (HandleAllocated()) SendMessageA(Handle(), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

void TPopupListbox::SelectAt(int x, int y) {
  const LRESULT hit = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
  if (HIWORD(hit) == 0) SendMessageA(Handle(), LB_SETCURSEL, LOWORD(hit), 0);
}

void TPopupListbox::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_MOUSEACTIVATE:
      msg.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The list picks the item itself, so that the focus stays in the editor.
      SelectAt(GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam));
      SetCapture(Handle());
      msg.Result = 0;
      return;
    case WM_MOUSEMOVE:
      if (GetCapture() == Handle()) SelectAt(GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam));
      msg.Result = 0;
      return;
    case WM_LBUTTONUP: {
      const bool captured = GetCapture() == Handle();
      if (captured) ReleaseCapture();
      RECT client;
      GetClientRect(Handle(), &client);
      const POINT point{GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam)};
      editor_->CloseUp(PtInRect(&client, point) != FALSE);
      msg.Result = 0;
      return;
    }
    case WM_CHAR: {
      const auto ch = static_cast<unsigned char>(msg.WParam);
      if (ch >= 32) TypeAhead(static_cast<char>(ch));
      else if (ch == VK_BACK || ch == VK_ESCAPE) searchText_.Clear();
      msg.Result = 0;
      return;
    }
    default:
      TCustomListBox::WndProc(msg);
  }
}

// ---------------------------------------------------------------------------------------
// TKitInplaceEdit

TKitInplaceEdit::TKitInplaceEdit(TKitDrawGrid* grid)
    : TInplaceEdit(grid), buttonWidth_(GetSystemMetrics(SM_CXVSCROLL)) {}

TKitInplaceEdit::~TKitInplaceEdit() = default;

TKitDrawGrid* TKitInplaceEdit::KitGrid() const { return static_cast<TKitDrawGrid*>(Grid()); }

void TKitInplaceEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  if (HandleAllocated()) RecreateWnd();
}

void TKitInplaceEdit::SetEditStyle(TInplaceEditStyle value) {
  if (value == editStyle_) return;
  editStyle_ = value;
  BoundsChanged();
  Invalidate();
}

void TKitInplaceEdit::CreateParams(TCreateParams& params) {
  TInplaceEdit::CreateParams(params);
  static const DWORD kAlign[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  params.Style |= kAlign[alignment_];
}

TPopupListbox* TKitInplaceEdit::PickList() {
  if (!pickList_) pickList_ = std::make_unique<TPopupListbox>(this);
  return pickList_.get();
}

void TKitInplaceEdit::UpdateContents() {
  TKitDrawGrid* grid = KitGrid();
  CloseUp(false);
  SetEditStyle(grid->GetEditStyle(grid->Col(), grid->Row()));
  activeList_ = editStyle_ == iePickList ? PickList() : nullptr;
  SetAlignment(grid->GetEditAlignment(grid->Col(), grid->Row()));
  TInplaceEdit::UpdateContents();
}

RECT TKitInplaceEdit::ButtonRect() const {
  const RECT client = ClientRect();
  return RECT{client.right - buttonWidth_, client.top, client.right, client.bottom};
}

bool TKitInplaceEdit::OverButton(int x, int y) const {
  if (!HasButton()) return false;
  const RECT button = ButtonRect();
  const POINT point{x, y};
  return PtInRect(&button, point) != FALSE;
}

void TKitInplaceEdit::BoundsChanged() {
  if (!HandleAllocated()) return;
  RECT format{2, 2, Width() - 2 - (HasButton() ? buttonWidth_ : 0), Height()};
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
  SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TKitInplaceEdit::PaintButton(HDC dc) {
  if (!HasButton()) return;
  RECT button = ButtonRect();
  if (editStyle_ == iePickList) {
    UINT state = DFCS_SCROLLCOMBOBOX;
    if (activeList_ == nullptr) state |= DFCS_INACTIVE;
    if (pressed_) state |= DFCS_FLAT | DFCS_PUSHED;
    DrawFrameControl(dc, &button, DFC_SCROLL, state);
    return;
  }
  DrawEdge(dc, &button, EDGE_RAISED, BF_RECT | BF_MIDDLE | (pressed_ ? BF_FLAT : 0));
  const TGridEllipsisDots dots =
      EllipsisDots(buttonWidth_, button.left, button.top, button.bottom - button.top, pressed_);
  UniqueBrush black(CreateSolidBrush(RGB(0, 0, 0)));
  for (int x : dots.X) {
    RECT dot{x, dots.Y, x + 2, dots.Y + 2};
    FillRect(dc, &dot, black.get());
  }
}

void TKitInplaceEdit::SetPressed(bool value) {
  if (value == pressed_) return;
  pressed_ = value;
  if (HandleAllocated()) {
    const RECT button = ButtonRect();
    InvalidateRect(Handle(), &button, FALSE);
  }
}

void TKitInplaceEdit::StopTracking() {
  if (!tracking_) return;
  tracking_ = false;
  SetPressed(false);
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TKitInplaceEdit::DropDown() {
  if (listVisible_ || activeList_ == nullptr || !HandleAllocated()) return;
  TKitDrawGrid* grid = KitGrid();
  TPopupListbox* list = activeList_;
  list->SetColor(Color());
  list->Font()->Assign(Font());
  list->Items()->Clear();
  grid->GetPickList(grid->Col(), grid->Row(), list->Items());
  list->HandleNeeded();
  const int count = list->Items()->Count();
  // The real item height of the list's font, so that every row fits.
  const int itemHeight = static_cast<int>(SendMessageA(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
  const int height = PickListHeight(count, itemHeight);
  list->SetItemIndex(list->Items()->IndexOf(Text()));
  int widest = 0;
  {
    TWindowCanvas measure(list->Handle());
    measure.Font()->Assign(list->Font());
    for (int i = 0; i < count; ++i) widest = std::max(widest, measure.TextWidth(list->Items()->Strings(i)) + 4);
  }
  const int width = PickListWidth(Width(), widest, count, GetSystemMetrics(SM_CXVSCROLL)) + 2;
  RECT editor;
  GetWindowRect(Handle(), &editor);
  const int top = PickListTop(editor.top, editor.bottom, height, GetSystemMetrics(SM_CYSCREEN));
  SetWindowPos(list->Handle(), HWND_TOP, editor.left, top, width, height,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  list->ClearSearchText();
  listVisible_ = true;
  Invalidate();
  if (GetFocus() != Handle()) ::SetFocus(Handle());
}

void TKitInplaceEdit::CloseUp(bool accept) {
  if (!listVisible_ || activeList_ == nullptr) return;
  TPopupListbox* list = activeList_;
  if (const HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  const int index = list->HandleAllocated() ? static_cast<int>(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0)) : -1;
  const std::string chosen = index >= 0 && index < list->Items()->Count() ? list->Items()->Strings(index) : "";
  if (list->HandleAllocated()) SetWindowPos(list->Handle(), nullptr, 0, 0, 0, 0,
                                            SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  listVisible_ = false;
  Invalidate();
  // With no item chosen there is nothing to take over.
  if (accept && index >= 0 && KitGrid()->CanEditModify() && chosen != Text()) {
    SetText(chosen);
    SetModified(true);
    SelectAll();
  }
}

void TKitInplaceEdit::CancelMode(TControl* sender) {
  TInplaceEdit::CancelMode(sender);
  if (sender != this) CloseUp(false);
}

// The pick list's keys: Enter and Escape close an open list, Alt+Up and Alt+Down open and
// close it, everything else goes to an open list.
bool TKitInplaceEdit::HandleListKey(TMessage& msg) {
  if (editStyle_ != iePickList) return false;
  const auto key = static_cast<WORD>(msg.WParam);
  const bool alt = (msg.Msg == WM_SYSKEYDOWN) || (GetKeyState(VK_MENU) < 0);
  if (msg.Msg == WM_KEYDOWN || msg.Msg == WM_SYSKEYDOWN) {
    if ((key == VK_RETURN || key == VK_ESCAPE) && listVisible_ && !alt) {
      CloseUp(key == VK_RETURN);
      DropPendingMessage(Handle(), WM_CHAR);
      return true;
    }
    if ((key == VK_UP || key == VK_DOWN) && alt) {
      if (listVisible_) CloseUp(true);
      else DropDown();
      return true;
    }
  }
  if (listVisible_ && activeList_ != nullptr && activeList_->HandleAllocated()) {
    SendMessageA(activeList_->Handle(), msg.Msg, msg.WParam, msg.LParam);
    return true;
  }
  return false;
}

void TKitInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
  if (editStyle_ == ieEllipsis && key == VK_RETURN && (shift & ssCtrl)) {
    KitGrid()->EditButtonClick();
    DropPendingMessage(Handle(), WM_CHAR);
    key = 0;
    return;
  }
  TInplaceEdit::KeyDown(key, shift);
}



void TKitInplaceEdit::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
      if (HandleListKey(msg)) {
        msg.Result = 0;
        return;
      }
      break;
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
      CloseUp(false);
      StopTracking();
      break;
    case WM_SETCURSOR:
      if (HasButton()) {
        POINT point;
        GetCursorPos(&point);
        ::ScreenToClient(Handle(), &point);
        if (OverButton(point.x, point.y)) {
          ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
          msg.Result = TRUE;
          return;
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int x = GET_X_LPARAM(msg.LParam);
      const int y = GET_Y_LPARAM(msg.LParam);
      if (!OverButton(x, y)) break;
      if (msg.Msg == WM_LBUTTONDBLCLK) {
        msg.Result = 0;
        return;
      }
      if (listVisible_) {
        CloseUp(false);
      } else {
        if (GetFocus() != Handle()) ::SetFocus(Handle());
        SetCapture(Handle());
        tracking_ = true;
        SetPressed(true);
        if (activeList_ != nullptr) DropDown();
      }
      msg.Result = 0;
      return;
    }
    case WM_MOUSEMOVE:
      if (tracking_) {
        const POINT point{GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam)};
        SetPressed(OverButton(point.x, point.y));
        if (listVisible_ && activeList_ != nullptr) {
          // Dragging onto the open list hands the press over to it.
          POINT onList = point;
          MapWindowPoints(Handle(), activeList_->Handle(), &onList, 1);
          RECT listClient;
          GetClientRect(activeList_->Handle(), &listClient);
          if (PtInRect(&listClient, onList)) {
            StopTracking();
            SendMessageA(activeList_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onList.x, onList.y));
          }
        }
        msg.Result = 0;
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (tracking_) {
        const bool wasPressed = pressed_;
        StopTracking();
        if (editStyle_ == ieEllipsis && wasPressed) KitGrid()->EditButtonClick();
        msg.Result = 0;
        return;
      }
      break;
    case WM_PAINT:
      TInplaceEdit::WndProc(msg);
      if (HasButton() && HandleAllocated()) {
        const WindowDc dc = WindowDc::ForClient(Handle());
        PaintButton(dc.get());
      }
      return;
    default:
      break;
  }
  TInplaceEdit::WndProc(msg);
}

// ---------------------------------------------------------------------------------------
// TKitDrawGrid

const ClassInfo* TKitDrawGrid::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TKitDrawGrid>("TKitDrawGrid", TDrawGrid::StaticClassInfo())
          .Ref("IniStorage", &TKitDrawGrid::IniStorage, &TKitDrawGrid::SetIniStorage,
               TFormPlacement::StaticClassInfo())
          .Bool("FixedButtons", &TKitDrawGrid::FixedButtons, &TKitDrawGrid::SetFixedButtons)
          .Build();
  return &ci;
}

TKitDrawGrid::TKitDrawGrid(TComponent* owner) : TDrawGrid(owner), iniLink_(std::make_unique<TIniLink>()) {
  SetDefaultRowHeight(18);
  SetOptions(kKitGridOptions);
  iniLink_->OnSaveSettings = [this](TObject* sender) { SaveWidths(sender); };
  iniLink_->OnLoadSettings = [this](TObject* sender) { LoadWidths(sender); };
}

TKitDrawGrid::~TKitDrawGrid() {
  OnChangeFocus = nullptr;
  iniLink_.reset();
}

void TKitDrawGrid::SetFixedButtons(bool value) {
  if (value == fixedButtons_) return;
  fixedButtons_ = value;
  Invalidate();
}

void TKitDrawGrid::SaveWidths(TObject*) {
  TObject* store = iniLink_->StoreObject();
  if (Name().empty() || store == nullptr) return;
  GridWidthsSave(this, store, iniLink_->SectionPrefix() + DefaultSectionName(this));
}

void TKitDrawGrid::LoadWidths(TObject*) {
  TObject* store = iniLink_->StoreObject();
  if (Name().empty() || store == nullptr) return;
  GridWidthsLoad(this, store, iniLink_->SectionPrefix() + DefaultSectionName(this));
}

void TKitDrawGrid::DrawTextInRect(const RECT& rect, const std::string& text, int alignment) {
  DrawCellTextAligned(Canvas(), text, rect, alignment, 1, false, false);
}

// ---- Editing hooks ---------------------------------------------------------------------

bool TKitDrawGrid::CanEditAcceptKey(char key) {
  if (!OnAcceptEditKey || IsDestroying()) return true;
  return OnAcceptEditKey(this, key);
}

int TKitDrawGrid::GetEditLimit() {
  int limit = 0;
  if (OnGetEditLimit && !IsDestroying()) OnGetEditLimit(this, limit);
  return limit;
}

void TKitDrawGrid::EditChanged() {
  if (OnEditChange && !IsDestroying()) OnEditChange(this);
}

// While the editor comes and goes, its text reaches the cell only when it closes (so that
// Escape can drop it); an editor that is always shown writes at once.
void TKitDrawGrid::EditorChanged() {
  EditChanged();
  if (HasOption(goAlwaysShowEditor)) TDrawGrid::EditorChanged();
}

TAlignment TKitDrawGrid::GetEditAlignment(int col, int row) {
  TAlignment alignment = taLeftJustify;
  if (OnGetEditAlign && !IsDestroying()) OnGetEditAlign(this, col, row, alignment);
  return alignment;
}

TInplaceEditStyle TKitDrawGrid::GetEditStyle(int col, int row) {
  TInplaceEditStyle style = ieSimple;
  if (OnGetEditStyle && !IsDestroying()) OnGetEditStyle(this, col, row, style);
  return style;
}

void TKitDrawGrid::GetPickList(int col, int row, TStrings* pickList) {
  if (OnGetPicklist && !IsDestroying()) OnGetPicklist(this, col, row, pickList);
}

void TKitDrawGrid::EditButtonClick() {
  if (OnEditButtonClick && !IsDestroying()) OnEditButtonClick(this);
}

void TKitDrawGrid::FixedCellClick(int col, int row) {
  if (OnFixedCellClick && !IsDestroying()) OnFixedCellClick(this, col, row);
}

void TKitDrawGrid::CheckButton(int col, int row, bool& enabled) {
  if (OnCheckButton && !IsDestroying()) OnCheckButton(this, col, row, enabled);
}

bool TKitDrawGrid::CanEditShow() {
  bool allowed = TDrawGrid::CanEditShow();
  if (allowed && OnShowEditor && !IsDestroying()) OnShowEditor(this, Col(), Row(), allowed);
  return allowed;
}

void TKitDrawGrid::SetEditText(int col, int row, const std::string& value) {
  // Escape closes the editor without its text reaching the cell.
  if (!escaping_) TDrawGrid::SetEditText(col, row, value);
}

std::unique_ptr<TInplaceEdit> TKitDrawGrid::CreateEditor() {
  return std::make_unique<TKitInplaceEdit>(this);
}

// ---- Painting --------------------------------------------------------------------------

void TKitDrawGrid::Paint() {
  ownDefaultDrawing_ = DefaultDrawing();
  {
    // The cells paint themselves below; the base only lays them out and draws the lines.
    struct Restore {
      TKitDrawGrid* grid;
      bool value;
      ~Restore() { grid->StoreDefaultDrawing(value); }
    } restore{this, ownDefaultDrawing_};
    StoreDefaultDrawing(false);
    TDrawGrid::Paint();
  }
  if (ownDefaultDrawing_ && GridFocused() && HasOption(goRowSelect) && !HasOption(goRangeSelect) &&
      Row() >= FixedRows()) {
    const RECT first = CellRect(std::max(FixedCols(), LeftCol()), Row());
    const RECT last = CellRect(LastVisibleCol(), Row());
    if (!IsRectEmpty(&first) && !IsRectEmpty(&last)) {
      RECT focus{first.left, first.top, last.right, last.bottom};
      if (!HasOption(goHorzLine)) focus.bottom += GridLineWidth();
      Canvas()->Font()->SetColor(Font()->Color());
      Canvas()->Brush()->SetColor(Color());
      Canvas()->DrawFocusRect(focus);
    }
  }
}

void TKitDrawGrid::DrawCell(int col, int row, const RECT& cellRect, TGridDrawState state) {
  if (!ownDefaultDrawing_) {
    TDrawGrid::DrawCell(col, row, cellRect, state);
    return;
  }
  TCanvas* canvas = Canvas();
  RECT rect = cellRect;
  const int line = GridLineWidth();
  const bool fixed = (state & gdFixed) != 0;
  canvas->Font()->Assign(Font());
  if (HasOption(goRowSelect) && !fixed) {
    if (!HasOption(goVertLine)) rect.right += line;
    if (!HasOption(goHorzLine)) rect.bottom += line;
  }
  const bool focusedPlain = (state & gdFocused) && !HasOption(goRowSelect) && !HasOption(goDrawFocusSelected);
  if ((state & gdSelected) && !focusedPlain) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
  } else {
    canvas->Brush()->SetColor(fixed ? FixedColor() : Color());
  }
  canvas->FillRect(rect);
  const TGridCoord pressed = tracker_.PressedCell();
  const bool down = fixed && fixedButtons_ && tracker_.Pressed() && pressed.X == col && pressed.Y == row;
  RECT drawRect = rect;
  if (down) {
    drawRect.left += line;
    drawRect.top += line;
  }
  {
    struct Restore {
      TKitDrawGrid* grid;
      ~Restore() { grid->StoreDefaultDrawing(false); }
    } restore{this};
    StoreDefaultDrawing(ownDefaultDrawing_);
    TDrawGrid::DrawCell(col, row, drawRect, state);
  }
  if (fixed) {
    RECT edge = rect;
    if (!HasOption(goFixedVertLine)) edge.right += line;
    else if (!HasOption(goFixedHorzLine)) edge.bottom += line;
    const UINT style = down ? BDR_SUNKENINNER : BDR_RAISEDINNER;
    UINT sides = 0;
    if (HasOption(goFixedVertLine)) sides |= BF_RIGHT;
    if (HasOption(goFixedHorzLine)) sides |= BF_BOTTOM;
    if (sides != 0) DrawEdge(canvas->Handle(), &edge, style, sides);
    DrawEdge(canvas->Handle(), &edge, style, BF_LEFT | BF_TOP);
  }
  if ((state & gdFocused) && !(HasOption(goEditing) && HasOption(goAlwaysShowEditor)) && !HasOption(goRowSelect)) {
    canvas->Brush()->SetColor(Color());
    canvas->DrawFocusRect(rect);
  }
}

// ---- Keys and mouse --------------------------------------------------------------------

void TKitDrawGrid::KeyDown(WORD& key, TShiftState shift) {
  if (!CanGridAcceptKey(key, shift)) return;
  if (key == VK_ESCAPE && !(shift & ssCtrl) && EditorMode() && InplaceEditor() != nullptr &&
      InplaceEditor()->Visible() && !HasOption(goAlwaysShowEditor)) {
    {
      TScopedState escape(escaping_);
      HideEditor();
      if (OnCancelEdit && !IsDestroying()) OnCancelEdit(this);
    }
    key = 0;
    return;
  }
  TDrawGrid::KeyDown(key, shift);
}

bool TKitDrawGrid::IsFixedCell(TGridCoord cell) const {
  return cell.X >= 0 && cell.Y >= 0 && (cell.X < FixedCols() || cell.Y < FixedRows());
}

bool TKitDrawGrid::PointInside(int x, int y) const {
  const RECT client = ClientRect();
  const POINT point{x, y};
  return PtInRect(&client, point) != FALSE;
}

void TKitDrawGrid::StopTracking() {
  if (!tracker_.Tracking()) return;
  const TGridCoord cell = tracker_.PressedCell();
  tracker_.Stop();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  InvalidateCell(cell.X, cell.Y);
}

void TKitDrawGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  HideEditor();
  if (CanFocus() && !GridFocused()) {
    SetFocus();
    if (!GridFocused()) return;
  }
  const TGridCoord cell = MouseCoord(x, y);
  const bool fixedButton = fixedButtons_ && IsFixedCell(cell);
  if ((shift & ssDouble) && !fixedButton) return;  // the double click was reported already
  const bool onBorder = (HasOption(goColSizing) && Layout().SizingColAt(x, y) >= 0) ||
                        (HasOption(goRowSizing) && Layout().SizingRowAt(x, y) >= 0);
  if (fixedButton && !onBorder && button == mbRight && (HasOption(goRowMoving) || HasOption(goColMoving))) {
    // The left button presses the buttons, so the right one moves rows and columns.
    swapped_ = true;
    SetMouseCapture(true);
    TDrawGrid::MouseDown(mbLeft, (shift & ~static_cast<TShiftState>(ssRight)) | ssLeft, x, y);
    return;
  }
  if (fixedButton && !onBorder && button == mbLeft) {
    bool enabled = true;
    CheckButton(cell.X, cell.Y, enabled);
    if (enabled) {
      SetMouseCapture(true);
      tracker_.Press(cell);
      InvalidateCell(cell.X, cell.Y);
    } else {
      DefaultBeep();
    }
    return;
  }
  TDrawGrid::MouseDown(button, shift, x, y);
}

void TKitDrawGrid::MouseMove(TShiftState shift, int x, int y) {
  if (tracker_.Tracking()) {
    if (tracker_.Move(MouseCoord(x, y), PointInside(x, y))) {
      const TGridCoord cell = tracker_.PressedCell();
      InvalidateCell(cell.X, cell.Y);
    }
    return;
  }
  TDrawGrid::MouseMove(shift, x, y);
}

void TKitDrawGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (tracker_.Tracking()) {
    const TGridCoord pressed = tracker_.PressedCell();
    const bool click = tracker_.Release(MouseCoord(x, y), PointInside(x, y), ColCount(), RowCount());
    if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
    InvalidateCell(pressed.X, pressed.Y);
    if (click) FixedCellClick(pressed.X, pressed.Y);
    return;
  }
  if (swapped_ && button == mbRight) {
    swapped_ = false;
    SetMouseCapture(false);
    TDrawGrid::MouseUp(mbLeft, shift, x, y);
    return;
  }
  TDrawGrid::MouseUp(button, shift, x, y);
}

void TKitDrawGrid::TopLeftChanged() {
  StopTracking();
  TDrawGrid::TopLeftChanged();
  if (HasOption(goRowSelect) && DefaultDrawing()) InvalidateRow(Row());
}

void TKitDrawGrid::ColWidthsChanged() {
  StopTracking();
  TDrawGrid::ColWidthsChanged();
  if (OnColumnSized && !IsDestroying()) OnColumnSized(this);
}

void TKitDrawGrid::RowHeightsChanged() {
  StopTracking();
  TDrawGrid::RowHeightsChanged();
  if (OnRowSized && !IsDestroying()) OnRowSized(this);
}

void TKitDrawGrid::CancelMode(TControl* sender) {
  TDrawGrid::CancelMode(sender);
  StopTracking();
  if (auto* editor = dynamic_cast<TKitInplaceEdit*>(InplaceEditor())) editor->CancelMode(sender);
}

void TKitDrawGrid::WndProc(TMessage& msg) {
  switch (msg.Msg) {
    case WM_LBUTTONDBLCLK:
      // On a fixed button a double click is just another press.
      if (fixedButtons_ && IsFixedCell(MouseCoord(GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam))))
        msg.Msg = WM_LBUTTONDOWN;
      break;
    case WM_CANCELMODE:
      StopTracking();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TDrawGrid::WndProc(msg);
      if (OnChangeFocus && !IsDestroying()) OnChangeFocus(this);
      return;
    default:
      break;
  }
  TDrawGrid::WndProc(msg);
}
