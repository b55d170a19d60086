#include "kit/win/form_storage.h"

#include <algorithm>

#include "kit/form_placement.h"
#include "kit/props_storage.h"
#include "kit/win/ini_access_win.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/registry.h"
#include "platform/wcl/win/screen.h"

namespace {

const EnumInfo PlacementOptionEnum{"TPlacementOption", {"fpState", "fpPosition", "fpActiveControl"}};

constexpr TPlacementOptions Option(TPlacementOption option) { return 1u << option; }

// The live forms, where "Form.Component" references of stored properties are looked up.
std::vector<TComponent*> ScreenForms() {
  std::vector<TComponent*> forms;
  if (Screen != nullptr)
    for (int i = 0; i < Screen->FormCount(); ++i) forms.push_back(Screen->Forms(i));
  return forms;
}

const bool screenFormsInstalled = (SetTopLevelComponents(&ScreenForms), true);

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return ExtractFilePath(std::string(path, length < MAX_PATH ? length : 0));
}

// Closes the store however the operation ends.
template <class Close>
struct CloseScope {
  Close close;
  ~CloseScope() { close(); }
};
template <class Close>
CloseScope<Close> OnExit(Close close) {
  return CloseScope<Close>{close};
}

}  // namespace

// ---- TWinMinMaxInfo ---------------------------------------------------------------------

const ClassInfo* TWinMinMaxInfo::StaticClassInfo() {
  using M = TWinMinMaxInfo;
  static const ClassInfo ci =
      ClassBuilder<M>("TWinMinMaxInfo", nullptr)
          .Int("MaxPosLeft", &M::MaxPosLeft, &M::SetMaxPosLeft)
          .Int("MaxPosTop", &M::MaxPosTop, &M::SetMaxPosTop)
          .Int("MaxSizeHeight", &M::MaxSizeHeight, &M::SetMaxSizeHeight)
          .Int("MaxSizeWidth", &M::MaxSizeWidth, &M::SetMaxSizeWidth)
          .Int("MaxTrackHeight", &M::MaxTrackHeight, &M::SetMaxTrackHeight)
          .Int("MaxTrackWidth", &M::MaxTrackWidth, &M::SetMaxTrackWidth)
          .Int("MinTrackHeight", &M::MinTrackHeight, &M::SetMinTrackHeight)
          .Int("MinTrackWidth", &M::MinTrackWidth, &M::SetMinTrackWidth)
          .Build();
  return &ci;
}

bool TWinMinMaxInfo::Limited() const {
  const POINT* points[] = {&info_.ptMaxPosition, &info_.ptMaxSize, &info_.ptMaxTrackSize,
                           &info_.ptMinTrackSize};
  return std::any_of(std::begin(points), std::end(points),
                     [](const POINT* p) { return p->x != 0 || p->y != 0; });
}

void TWinMinMaxInfo::ApplyTo(MINMAXINFO& info) const {
  auto apply = [](LONG limit, LONG& field) {
    if (limit != 0) field = limit;
  };
  apply(info_.ptMaxPosition.x, info.ptMaxPosition.x);
  apply(info_.ptMaxPosition.y, info.ptMaxPosition.y);
  apply(info_.ptMaxSize.x, info.ptMaxSize.x);
  apply(info_.ptMaxSize.y, info.ptMaxSize.y);
  apply(info_.ptMaxTrackSize.x, info.ptMaxTrackSize.x);
  apply(info_.ptMaxTrackSize.y, info.ptMaxTrackSize.y);
  apply(info_.ptMinTrackSize.x, info.ptMinTrackSize.x);
  apply(info_.ptMinTrackSize.y, info.ptMinTrackSize.y);
}

void TWinMinMaxInfo::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TWinMinMaxInfo*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  info_ = other->info_;
  if (owner_ != nullptr) owner_->MinMaxInfoChanged();
}

void TWinMinMaxInfo::SetValue(LONG& field, int value) {
  if (field == value) return;
  field = value;
  if (owner_ != nullptr) owner_->MinMaxInfoChanged();
}

// ---- TFormPlacement ---------------------------------------------------------------------

const ClassInfo* TFormPlacement::StaticClassInfo() {
  using P = TFormPlacement;
  static const ClassInfo ci =
      ClassBuilder<P>("TFormPlacement", TComponent::StaticClassInfo())
          .Bool("Active", &P::Active, &P::SetActive)
          .Str("IniFileName", &P::IniFileName, &P::SetIniFileName)
          .Str("IniSection", &P::IniSection, &P::SetIniSection)
          .Obj("MinMaxInfo", &P::MinMaxInfo, TWinMinMaxInfo::StaticClassInfo())
          .Set("Options", &P::Options, &P::SetOptions, &PlacementOptionEnum)
          .Bool("PreventResize", &P::PreventResize, &P::SetPreventResize)
          .Bool("UseRegistry", &P::UseRegistry, &P::SetUseRegistry)
          .Build();
  return &ci;
}

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner),
      minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this)),
      hook_(std::make_unique<TKitWindowHook>(nullptr)) {
  (void)screenFormsInstalled;
  if (dynamic_cast<TCustomForm*>(owner) != nullptr)
    options_ = Option(fpState) | Option(fpPosition);
  hook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) { HandleFormMessage(msg); };
}

TFormPlacement::~TFormPlacement() {
  CloseStore();
  while (!links_.empty()) links_.back()->SetPlacement(nullptr);
  hook_.reset();
  UnhookFormEvents();
}

TCustomForm* TFormPlacement::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

std::string TFormPlacement::IniFileName() const {
  if (!iniFileName_.empty()) return iniFileName_;
  return useRegistry_ ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::IniSection() const {
  return iniSection_.empty() ? DefaultSectionName(Owner()) : iniSection_;
}

void TFormPlacement::OpenStore() {
  if (store_) return;
  const std::string name = IniFileName();
  if (useRegistry_)
    store_ = std::make_unique<TRegIniFile>(name);
  else
    // The Windows folder, where the system would put a bare name, is no place for it.
    store_ = std::make_unique<TIniFile>(ExtractFilePath(name).empty() ? ProgramFolder() + name
                                                                      : name);
}

void TFormPlacement::CloseStore() { store_.reset(); }

std::string TFormPlacement::StoreReadString(const std::string& section, const std::string& name,
                                            const std::string& defaultValue) {
  const bool ownStore = !store_;
  if (ownStore) OpenStore();
  auto scope = OnExit([this, ownStore] {
    if (ownStore) CloseStore();
  });
  return IniReadText(store_.get(), section, name, defaultValue);
}

void TFormPlacement::StoreWriteString(const std::string& section, const std::string& name,
                                      const std::string& value) {
  const bool ownStore = !store_;
  if (ownStore) OpenStore();
  auto scope = OnExit([this, ownStore] {
    if (ownStore) CloseStore();
  });
  IniWriteText(store_.get(), section, name, value);
}

void TFormPlacement::SaveToStore() {
  // Saving before the first restore would overwrite what the form has not read yet.
  if (active_ && !restored_) return;
  OpenStore();
  auto scope = OnExit([this] { CloseStore(); });
  WritePlacement();
  DoSavePlacement();
  saved_ = true;
}

void TFormPlacement::RestoreFromStore() {
  saved_ = false;
  {
    OpenStore();
    auto scope = OnExit([this] { CloseStore(); });
    ReadPlacement();
    restored_ = true;
    DoRestorePlacement();
    TCustomForm* form = Form();
    if ((options_ & Option(fpActiveControl)) != 0 && form != nullptr) {
      const std::string name = IniReadText(store_.get(), IniSection(), "ActiveControl", "");
      auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
      if (control != nullptr && control->CanFocus()) form->SetActiveControl(control);
    }
  }
  AdjustMaximizedPosition();
}

void TFormPlacement::WritePlacement() {
  // Without placement options nothing of the window is stored, so a form that shares its
  // section with another (the options dialog with the main window) cannot overwrite where
  // the other one comes back.
  TCustomForm* form = options_ != 0 ? Form() : nullptr;
  if (form != nullptr) {
    const std::string section = IniSection();
    SaveWindowPlacement(form, store_.get(), section);
    TWinControl* active = form->ActiveControl();
    const bool withActive = (options_ & Option(fpActiveControl)) != 0 && active != nullptr;
    WriteFormStateValues(store_.get(), section, withActive ? active->Name() : "", destroying_);
  }
  for (size_t i = 0; i < links_.size(); ++i) links_[i]->SaveSettings();
}

void TFormPlacement::ReadPlacement() {
  if (TCustomForm* form = Form())
    RestoreWindowPlacement(form, store_.get(), IniSection(), (options_ & Option(fpPosition)) != 0,
                           (options_ & Option(fpState)) != 0);
  for (size_t i = 0; i < links_.size(); ++i) links_[i]->LoadSettings();
}

void TFormPlacement::DoSavePlacement() {
  if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::DoRestorePlacement() {
  if (OnRestorePlacement) OnRestorePlacement(this);
}

void TFormPlacement::AttachLink(TIniLink* link) { links_.push_back(link); }

void TFormPlacement::DetachLink(TIniLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TFormPlacement::Loaded() {
  const bool wasLoading = (ComponentState() & csLoading) != 0;
  TComponent::Loaded();
  if (wasLoading) HookFormEvents();
  UpdateHookState();
}

void TFormPlacement::HookFormEvents() {
  TCustomForm* form = Form();
  if (form == nullptr || lifeHookId_ != 0) return;
  // Through the form's life hooks, not its events: those stay the form's own, and whatever
  // handlers it sets, before or after, the placement still restores and saves.
  lifeHookId_ = form->HookLifeEvents([this](TCustomForm*, TFormLifeEvent event) {
    switch (event) {
      case feShow: FormShow(); break;
      case feCloseQuery: FormCloseQuery(); break;
      case feDestroy: FormDestroy(); break;
    }
  });
  defaultMaximize_ = (form->BorderIcons() & biMaximize) != 0;
  if (preventResize_) ApplyPreventResize();
}

void TFormPlacement::UnhookFormEvents() {
  TCustomForm* form = Form();
  if (form == nullptr || lifeHookId_ == 0) return;
  form->UnhookLifeEvents(lifeHookId_);
  lifeHookId_ = 0;
}

// Before the form's OnShow, which so sees the form where it comes back.
void TFormPlacement::FormShow() {
  if (!active_) return;
  try {
    RestoreFromStore();
  } catch (...) {
    ReportException(this);
  }
}

// Once the form's OnCloseQuery has let it close.
void TFormPlacement::FormCloseQuery() {
  TCustomForm* form = Form();
  if (active_ && form != nullptr && form->HandleAllocated()) {
    try {
      SaveToStore();
    } catch (...) {
      ReportException(this);
    }
  }
}

// Before the form's OnDestroy, while its components are all there.
void TFormPlacement::FormDestroy() {
  // A form saved at its close query is not saved again.
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveToStore();
    } catch (...) {
      ReportException(this);
    }
    destroying_ = false;
  }
}

void TFormPlacement::SetPreventResize(bool value) {
  if (Form() == nullptr || value == preventResize_) return;
  preventResize_ = value;
  AdjustMaximizedPosition();
  ApplyPreventResize();
}

void TFormPlacement::ApplyPreventResize() {
  TCustomForm* form = Form();
  if (form == nullptr) return;
  if (preventResize_) defaultMaximize_ = (form->BorderIcons() & biMaximize) != 0;
  // The form's window is made again; no save or restore may run meanwhile.
  const bool wasActive = active_;
  active_ = false;
  auto scope = OnExit([this, wasActive] { active_ = wasActive; });
  TBorderIcons icons = form->BorderIcons();
  if (!preventResize_ && defaultMaximize_ && form->BorderStyle() != bsDialog)
    icons |= biMaximize;
  else
    icons &= ~static_cast<TBorderIcons>(biMaximize);
  form->SetBorderIcons(icons);
  if ((ComponentState() & csLoading) == 0) UpdateHookState();
}

void TFormPlacement::MinMaxInfoChanged() {
  AdjustMaximizedPosition();
  if ((ComponentState() & csLoading) == 0) UpdateHookState();
}

void TFormPlacement::UpdateHookState() {
  TCustomForm* form = Form();
  if (!hook_) return;
  const bool wanted = form != nullptr && (preventResize_ || minMaxInfo_->Limited());
  hook_->SetWinControl(wanted ? form : nullptr);
}

void TFormPlacement::AdjustMaximizedPosition() {
  TCustomForm* form = Form();
  if (form == nullptr || !form->HandleAllocated() || (ComponentState() & csLoading) != 0) return;
  if (preventResize_ || minMaxInfo_->Limited()) return;
  HWND window = form->Handle();
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(window, &wp);
  if (!IsWindowVisible(window)) wp.showCmd = SW_HIDE;
  // A maximized window's frame lies outside the screen.
  int cx = 0, cy = 0;
  switch (form->BorderStyle()) {
    case bsSingle:
    case bsToolWindow: cx = SM_CXBORDER; cy = SM_CYBORDER; break;
    case bsSizeable:
    case bsSizeToolWin: cx = SM_CXFRAME; cy = SM_CYFRAME; break;
    case bsDialog: cx = SM_CXDLGFRAME; cy = SM_CYDLGFRAME; break;
    case bsNone: break;
  }
  wp.ptMaxPosition.x = cx != 0 ? -GetSystemMetrics(cx) : 0;
  wp.ptMaxPosition.y = cy != 0 ? -GetSystemMetrics(cy) : 0;
  SetWindowPlacement(window, &wp);
}

void TFormPlacement::HandleFormMessage(TMessage& msg) {
  TCustomForm* form = Form();
  if (preventResize_ && form != nullptr) {
    switch (msg.Msg) {
      case WM_GETMINMAXINFO:
        if (form->HandleAllocated() && IsWindowVisible(form->Handle())) {
          auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
          info->ptMinTrackSize = {form->Width(), form->Height()};
          info->ptMaxTrackSize = info->ptMinTrackSize;
        }
        msg.Result = 1;
        break;
      case WM_INITMENUPOPUP:
        if (HIWORD(msg.LParam) != 0) {
          HMENU menu = reinterpret_cast<HMENU>(msg.WParam);
          EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
          EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
          msg.Result = 1;
        }
        break;
      case WM_NCHITTEST:
        if (msg.Result >= HTLEFT && msg.Result <= HTBOTTOMRIGHT) msg.Result = HTNOWHERE;
        break;
      default: break;
    }
    return;
  }
  if (msg.Msg == WM_GETMINMAXINFO) {
    auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
    if (minMaxInfo_->Limited())
      minMaxInfo_->ApplyTo(*info);
    else
      info->ptMaxPosition = {0, 0};
    msg.Result = 1;
  }
}

// ---- TFormStorage -----------------------------------------------------------------------

const ClassInfo* TFormStorage::StaticClassInfo() {
  static const ClassInfo ci =
      ClassBuilder<TFormStorage>("TFormStorage", TFormPlacement::StaticClassInfo())
          .Obj("StoredProps", &TFormStorage::StoredProps, nullptr)
          .Build();
  return &ci;
}

TFormStorage::TFormStorage(TComponent* owner)
    : TFormPlacement(owner), storedProps_(std::make_unique<TStringList>()) {}

TFormStorage::~TFormStorage() = default;

void TFormStorage::SetStoredProps(TStrings* value) {
  storedProps_->Assign(value);
  WatchBoundComponents();
}

void TFormStorage::WatchBoundComponents() {
  for (int i = 0; i < storedProps_->Count(); ++i)
    if (auto* component = dynamic_cast<TComponent*>(storedProps_->Objects(i)))
      component->FreeNotification(this);
}

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  SyncStoredList(Owner(), storedProps_.get(), true);
  WatchBoundComponents();
}

void TFormStorage::Notification(TComponent* component, TOperation operation) {
  TFormPlacement::Notification(component, operation);
  if (operation != opRemove || component == nullptr || storedProps_ == nullptr ||
      (ComponentState() & csDestroying) != 0)
    return;
  for (int i = storedProps_->Count() - 1; i >= 0; --i)
    if (storedProps_->Objects(i) == component) storedProps_->Delete(i);
}

void TFormStorage::WritePlacement() {
  TFormPlacement::WritePlacement();
  TCustomIniFile* store = StoreObject();
  TPropsStorage storage;
  storage.SetValueSection(IniSection());
  storage.OnWriteString = [this](const std::string& s, const std::string& n, const std::string& v) {
    StoreWriteString(s, n, v);
  };
  storage.OnEraseSection = [store](const std::string& section) {
    if (store != nullptr) store->EraseSection(section);
  };
  storage.SaveStoredProps(Owner(), storedProps_.get());
}

void TFormStorage::ReadPlacement() {
  TFormPlacement::ReadPlacement();
  SetRestored();
  TPropsStorage storage;
  storage.SetValueSection(IniSection());
  storage.OnReadString = [this](const std::string& s, const std::string& n, const std::string& d) {
    return StoreReadString(s, n, d);
  };
  try {
    storage.LoadStoredProps(Owner(), storedProps_.get());
  } catch (...) {
    // A bad value spoils only its own property; anything else ends the property part of
    // the restore quietly, the placement part being done by now.
  }
}

// ---- TIniLink ---------------------------------------------------------------------------

TIniLink::~TIniLink() {
  OnSaveSettings = nullptr;
  OnLoadSettings = nullptr;
  SetPlacement(nullptr);
}

void TIniLink::SetPlacement(TFormPlacement* placement) {
  if (placement == placement_) return;
  if (placement_ != nullptr) placement_->DetachLink(this);
  placement_ = placement;
  if (placement != nullptr) placement->AttachLink(this);
}

TCustomIniFile* TIniLink::StoreObject() const {
  return placement_ != nullptr ? placement_->StoreObject() : nullptr;
}

std::string TIniLink::SectionPrefix() const {
  if (placement_ == nullptr || placement_->iniSection_.empty()) return std::string();
  return placement_->iniSection_ + "\\";
}

void TIniLink::SaveSettings() {
  if (OnSaveSettings) OnSaveSettings(this);
}

void TIniLink::LoadSettings() {
  if (OnLoadSettings) OnLoadSettings(this);
}
