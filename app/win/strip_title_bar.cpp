#include "app/win/strip_title_bar.h"

#include "platform/wcl/win/form.h"

void StripTitleBar(TCustomForm* form) {
  if (form->BorderStyle() == bsNone) return;
  HWND window = form->Handle();
  LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if ((style & WS_CAPTION) != WS_CAPTION) return;
  switch (form->BorderStyle()) {
    case bsSingle:
    case bsSizeable:
      style = (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_BORDER;
      break;
    case bsDialog:
      style = (style & ~static_cast<LONG_PTR>(WS_CAPTION)) | WS_DLGFRAME | DS_MODALFRAME;
      break;
    default:
      // A tool window keeps its caption, so it keeps its height too.
      return;
  }
  SetWindowLongPtrA(window, GWL_STYLE, style);
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  form->SetHeight(form->Height() - GetSystemMetrics(SM_CYCAPTION));
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
