#include "kit/win/ini_access_win.h"

#include "kit/form_placement.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/screen.h"

namespace {

std::string ProgramPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

bool IsMainFormOrNone(const TCustomForm* form) {
  return Application == nullptr || Application->MainForm() == nullptr ||
         Application->MainForm() == form;
}

int ScreenPixelsPerInch() { return Screen != nullptr ? Screen->PixelsPerInch() : 96; }

TWindowPlacementData FromWindows(const WINDOWPLACEMENT& wp) {
  TWindowPlacementData p;
  p.Flags = wp.flags;
  p.ShowCmd = wp.showCmd;
  p.MinPosition = {wp.ptMinPosition.x, wp.ptMinPosition.y};
  p.MaxPosition = {wp.ptMaxPosition.x, wp.ptMaxPosition.y};
  const RECT& r = wp.rcNormalPosition;
  p.NormalPosition = {r.left, r.top, r.right, r.bottom};
  return p;
}

void ToWindows(const TWindowPlacementData& p, WINDOWPLACEMENT& wp) {
  wp.flags = p.Flags;
  wp.ptMinPosition = {p.MinPosition.X, p.MinPosition.Y};
  wp.ptMaxPosition = {p.MaxPosition.X, p.MaxPosition.Y};
  const TPlacementRect& r = p.NormalPosition;
  wp.rcNormalPosition = {r.Left, r.Top, r.Right, r.Bottom};
}

TWindowState ToWindowState(TStoredState state) {
  switch (state) {
    case TStoredState::Minimized: return wsMinimized;
    case TStoredState::Maximized: return wsMaximized;
    case TStoredState::Normal: break;
  }
  return wsNormal;
}

}  // namespace

std::string DefaultIniFileName() { return DefaultIniFileName(ProgramPath()); }

std::string DefaultRegistryKey() { return DefaultRegistryKey(ProgramPath()); }

std::string DefaultSectionName(TComponent* component) {
  if (component == nullptr) return std::string();
  if (dynamic_cast<TCustomForm*>(component) != nullptr) return component->ClassName();
  if (auto* control = dynamic_cast<TControl*>(component)) {
    if (TCustomForm* form = GetParentForm(control)) return form->ClassName() + control->Name();
    if (control->Parent() != nullptr) return control->Parent()->Name() + control->Name();
    return control->Name();
  }
  if (dynamic_cast<TCustomForm*>(component->Owner()) != nullptr)
    return component->Owner()->ClassName() + "." + component->Name();
  return component->Name();
}

std::string ScreenSizeSuffix() {
  const TScreenSize size = EdgeScreenSize();
  return ScreenSizeSuffix(size.Width, size.Height);
}

std::string ReadScreenKeyed(TObject* store, const std::string& section, const std::string& name) {
  return ReadScreenKeyed(store, section, name, ScreenSizeSuffix());
}

void WriteScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                      const std::string& value) {
  WriteScreenKeyed(store, section, name, value, ScreenSizeSuffix());
}

void SaveWindowPlacement(TCustomForm* form, TObject* store, const std::string& section) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(form->Handle(), &wp);
  // The main form goes down with the application window, which shows as its own state.
  if (Application != nullptr && Application->MainForm() == form && Application->Minimized())
    wp.showCmd = SW_SHOWMINIMIZED;
  WritePlacementValues(store, section, FromWindows(wp), ScreenPixelsPerInch(), ScreenSizeSuffix());
}

void RestoreWindowPlacement(TCustomForm* form, TObject* store, const std::string& section,
                            bool restorePosition, bool restoreState) {
  if (!restorePosition && !restoreState) return;
  HWND window = form->Handle();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(window, &wp);
  if (!IsWindowVisible(window)) wp.showCmd = SW_HIDE;

  if (restorePosition) {
    const TFormBorderStyle border = form->BorderStyle();
    const TPlacementForm shape{form->Left(), form->Top(), form->Width(), form->Height(),
                               border == bsSizeable || border == bsSizeToolWin};
    TWindowPlacementData placement = FromWindows(wp);
    if (ReadPlacementPosition(store, section, ScreenSizeSuffix(), ScreenPixelsPerInch(), shape,
                              placement)) {
      // A stored position replaces centring; the window is not made again for that.
      if (form->Position() == poScreenCenter) form->SetPosition(poDesigned);
      ToWindows(placement, wp);
      SetWindowPlacement(window, &wp);
    }
  }

  if (restoreState) {
    const bool mainOrNone = IsMainFormOrNone(form);
    const TStoredState fallback =
        DefaultRestoreState(mainOrNone, false, form->Position() == poDefault);
    const TStoredState state = StateFromShowCmd(ReadStoredShowCmd(store, section), fallback);
    if (state == TStoredState::Minimized && mainOrNone) {
      // The main form is minimised with the application, not on its own.
      if (form->WindowState() != wsNormal) form->SetWindowState(wsNormal);
      if (Application != nullptr)
        PostMessageA(Application->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    if (form->WindowState() != ToWindowState(state)) form->SetWindowState(ToWindowState(state));
  }
  form->Update();
}
