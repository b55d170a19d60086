#include "platform/wcl/win/mask_edit.h"

#include <cstring>

#include "platform/rtl/format_settings.h"
#include "platform/rtl/properties.h"
#include "platform/wcl/win/edges.h"

namespace {

// The clipboard, open for as long as the object lives.
class ClipboardLock {
public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  explicit operator bool() const { return open_; }

private:
  bool open_;
};

}  // namespace

bool ClipboardText(HWND owner, std::string& text) {
  ClipboardLock clipboard(owner);
  if (!clipboard) return false;
  HGLOBAL block = GetClipboardData(CF_TEXT);
  if (block == nullptr) return false;
  const GlobalLockScope<const char> lock(block);
  if (lock.get() == nullptr) return false;
  // Another program wrote the block: never read past its end, terminated or not.
  const size_t size = GlobalSize(block);
  const void* end = std::memchr(lock.get(), '\0', size);
  text.assign(lock.get(), end ? static_cast<size_t>(static_cast<const char*>(end) - lock.get()) : size);
  return true;
}

const ClassInfo* TCustomMaskEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TCustomMaskEdit>("TCustomMaskEdit", TCustomEdit::StaticClassInfo())
                                  .Str("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask)
                                  .Build();
  return &ci;
}

const ClassInfo* TMaskEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TMaskEdit>("TMaskEdit", TCustomMaskEdit::StaticClassInfo()).Build();
  return &ci;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

TEditMask TCustomMaskEdit::Mask() const {
  if (editMask_.empty()) return TEditMask();
  const TFormatSettings& fs = FormatSettings();
  return TEditMask(editMask_, fs.DateSeparator, fs.TimeSeparator);
}

void TCustomMaskEdit::SetEditMask(const std::string& value) {
  if (value == editMask_) return;
  const std::string text = GetText();
  editMask_ = value;
  StoreText(text);
  if (!HandleAllocated()) return;
  const TEditMask mask = Mask();
  if ((mask.Empty() ? text : mask.Lay(text)) != TWinControl::GetText()) SetWindowTextA(Handle(), text.c_str());
}

std::string TCustomMaskEdit::EditText() const {
  const std::string shown = TWinControl::GetText();
  const TEditMask mask = Mask();
  return HandleAllocated() || mask.Empty() ? shown : mask.Lay(shown);
}

std::string TCustomMaskEdit::GetText() const {
  const TEditMask mask = Mask();
  return mask.Empty() ? TCustomEdit::GetText() : mask.Read(EditText());
}

void TCustomMaskEdit::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Caption = EditText();
}

TMaskEditState TCustomMaskEdit::State() const {
  TMaskEditState state;
  state.Shown = TWinControl::GetText();
  state.SelStart = SelStart();
  state.SelEnd = SelStart() + SelLength();
  return state;
}

void TCustomMaskEdit::Refuse() { EdgeMessageBeep(0); }

void TCustomMaskEdit::Show(const TMaskEditState& before, const TMaskEditState& after) {
  if (!HandleAllocated()) return;
  HWND window = Handle();
  const std::string& old = before.Shown;
  const std::string& now = after.Shown;
  size_t first = 0;
  while (first < old.size() && first < now.size() && old[first] == now[first]) ++first;
  if (first < old.size() || first < now.size()) {
    size_t oldEnd = old.size(), nowEnd = now.size();
    while (oldEnd > first && nowEnd > first && old[oldEnd - 1] == now[nowEnd - 1]) {
      --oldEnd;
      --nowEnd;
    }
    // Only the changed characters: one change for OnChange, and Modified as for typing.
    SendMessageA(window, EM_SETSEL, first, oldEnd);
    const std::string part = now.substr(first, nowEnd - first);
    SendMessageA(window, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(part.c_str()));
  }
  SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(after.SelStart), static_cast<LPARAM>(after.SelEnd));
}

void TCustomMaskEdit::PasteText(const std::string& text) {
  if (!HandleAllocated()) return;
  if (!IsMasked()) {
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    return;
  }
  const TMaskEditState before = State();
  TMaskEditState after = before;
  if (MaskPaste(Mask(), after, text)) Show(before, after);
  else Refuse();
}

// The edit would paste, cut and undo by itself, past WndProc, on Shift+Insert, Shift+Delete,
// Ctrl+V, Ctrl+X and Ctrl+Z: the first four are turned into the messages, so that the mask
// and the descendants (which paste only a first line) have their say; undo under a mask is
// not obeyed. True when the key was handled so.
bool TCustomMaskEdit::RouteEditKey(WORD key, TShiftState shift) {
  const TShiftState held = shift & (ssShift | ssCtrl | ssAlt);
  if (held == ssShift && (key == VK_INSERT || key == VK_DELETE)) {
    Perform(key == VK_INSERT ? WM_PASTE : WM_CUT, 0, 0);
    return true;
  }
  return false;
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (key == 0 || !HandleAllocated()) return;
  if (RouteEditKey(key, shift)) {
    key = 0;
    return;
  }
  if (!IsMasked()) return;
  const TEditMask mask = Mask();
  const TMaskEditState before = State();
  TMaskEditState after = before;
  switch (key) {
    case VK_DELETE:
      if (TCustomEdit::ReadOnly()) return;
      if (MaskDelete(mask, after)) Show(before, after);
      else Refuse();
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME: {
      // With Shift (extending the selection) or Ctrl the edit moves the caret itself.
      if ((shift & (ssShift | ssCtrl | ssAlt)) != 0) return;
      int caret = MaskCaretHome(mask);
      if (key == VK_LEFT) caret = before.SelStart != before.SelEnd ? before.SelStart : MaskCaretLeft(mask, before.SelStart);
      else if (key == VK_RIGHT) caret = before.SelStart != before.SelEnd ? before.SelEnd : MaskCaretRight(mask, before.SelEnd);
      after.SelStart = after.SelEnd = caret;
      Show(before, after);
      break;
    }
    default:
      return;
  }
  key = 0;
}

void TCustomMaskEdit::KeyPress(char& key) {
  TCustomEdit::KeyPress(key);
  if (key == 0 || !HandleAllocated()) return;
  const unsigned char c = static_cast<unsigned char>(key);
  if (c == 0x16 || c == 0x18) {
    Perform(c == 0x16 ? WM_PASTE : WM_CUT, 0, 0);
    key = 0;
    return;
  }
  if (!CanEdit()) return;
  // Other control characters (Ctrl+C among them) are the edit's; undo is not obeyed.
  if (c < ' ' && key != '\b' && c != 0x1A) return;
  key = 0;
  // Ctrl+Backspace would erase a word, which a mask has no room for.
  if (c == 0x7F || c == 0x1A) return;
  const TEditMask mask = Mask();
  const TMaskEditState before = State();
  TMaskEditState after = before;
  const bool done = c == '\b' ? MaskBackspace(mask, after) : MaskTypeChar(mask, after, static_cast<char>(c));
  if (done) Show(before, after);
  else Refuse();
}

void TCustomMaskEdit::WndProc(TMessage& msg) {
  if (msg.Msg == WM_PASTE) {
    std::string text;
    if (!TCustomEdit::ReadOnly() && ClipboardText(Handle(), text)) PasteText(text);
    msg.Result = 0;
    return;
  }
  if (!IsMasked()) {
    TCustomEdit::WndProc(msg);
    return;
  }
  switch (msg.Msg) {
    case WM_SETTEXT: {
      // Text set from code (or by anyone through the window) is laid out under the mask.
      const char* text = reinterpret_cast<const char*>(msg.LParam);
      laidText_ = Mask().Lay(text != nullptr ? text : "");
      msg.LParam = reinterpret_cast<LPARAM>(laidText_.c_str());
      break;
    }
    case WM_CUT:
    case WM_CLEAR:
      if (CanEdit()) {
        if (msg.Msg == WM_CUT) {
          TMessage copy{WM_COPY, 0, 0, 0};
          DefaultHandler(copy);
        }
        const TMaskEditState before = State();
        TMaskEditState after = before;
        if (MaskClearSelection(Mask(), after)) Show(before, after);
      }
      msg.Result = 0;
      return;
    case WM_UNDO:
    case EM_UNDO:
      // The edit's undo would bring back a text laid out otherwise than the mask says.
      msg.Result = 0;
      return;
    default:
      break;
  }
  TCustomEdit::WndProc(msg);
}
