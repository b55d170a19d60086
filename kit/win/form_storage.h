#pragma once
// TFormPlacement keeps a form's window placement between runs (position and size, window
// state and, on request, the active control) in an INI file or in the registry; the form
// restores itself when shown and saves itself when it closes (or, when Active is off, the
// program calls SaveToStore and RestoreFromStore itself). Through a window hook it can also
// freeze the form's size (PreventResize) or impose track and maximize limits (MinMaxInfo).
// Other components save their own settings in the same store and section through a
// TIniLink. TFormStorage adds a list of published properties of the form's components
// (StoredProps, "Component.Property" lines) kept through the property storage.
//
// The value layout of a form's section is in kit/form_placement.h and kit/props_storage.h.

#include "platform/wcl/win/form.h"

#include <memory>
#include <string>
#include <vector>

#include "kit/win/window_hook.h"
#include "platform/rtl/component.h"
#include "platform/rtl/ini_file.h"
#include "platform/rtl/string_list.h"

class TFormPlacement;
class TIniLink;

// What a restore brings back: the window state, the position, the active control. With no
// option at all, the window's values are neither written nor read (only the links and the
// stored properties are).
enum TPlacementOption { fpState, fpPosition, fpActiveControl };
// A mask of 1 << TPlacementOption.
using TPlacementOptions = unsigned;

// Track and maximize limits of a form; 0 is no limit.
class TWinMinMaxInfo : public TPersistent {
  HL_REFLECTABLE
public:
  explicit TWinMinMaxInfo(TFormPlacement* owner) : owner_(owner) {}

  int MaxPosLeft() const { return info_.ptMaxPosition.x; }
  void SetMaxPosLeft(int value) { SetValue(info_.ptMaxPosition.x, value); }
  int MaxPosTop() const { return info_.ptMaxPosition.y; }
  void SetMaxPosTop(int value) { SetValue(info_.ptMaxPosition.y, value); }
  int MaxSizeHeight() const { return info_.ptMaxSize.y; }
  void SetMaxSizeHeight(int value) { SetValue(info_.ptMaxSize.y, value); }
  int MaxSizeWidth() const { return info_.ptMaxSize.x; }
  void SetMaxSizeWidth(int value) { SetValue(info_.ptMaxSize.x, value); }
  int MaxTrackHeight() const { return info_.ptMaxTrackSize.y; }
  void SetMaxTrackHeight(int value) { SetValue(info_.ptMaxTrackSize.y, value); }
  int MaxTrackWidth() const { return info_.ptMaxTrackSize.x; }
  void SetMaxTrackWidth(int value) { SetValue(info_.ptMaxTrackSize.x, value); }
  int MinTrackHeight() const { return info_.ptMinTrackSize.y; }
  void SetMinTrackHeight(int value) { SetValue(info_.ptMinTrackSize.y, value); }
  int MinTrackWidth() const { return info_.ptMinTrackSize.x; }
  void SetMinTrackWidth(int value) { SetValue(info_.ptMinTrackSize.x, value); }

  // True when any limit is set.
  bool Limited() const;
  // Every limit that is set replaces its field of info.
  void ApplyTo(MINMAXINFO& info) const;
  // From another TWinMinMaxInfo: all limits at once.
  void Assign(TPersistent* source) override;

private:
  void SetValue(LONG& field, int value);

  TFormPlacement* owner_;
  MINMAXINFO info_{};
};

class TFormPlacement : public TComponent {
  HL_REFLECTABLE
public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;

  // Showing the form restores, closing or destroying it saves (whatever handlers the form's
  // OnShow, OnCloseQuery and OnDestroy have).
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // Registry key (under HKEY_CURRENT_USER) or INI file; empty gives the default store name.
  // A bare INI file name lies in the program's folder.
  std::string IniFileName() const;
  void SetIniFileName(const std::string& value) { iniFileName_ = value; }
  // Section (registry subkey) of all values; empty gives the owner's default section.
  std::string IniSection() const;
  void SetIniSection(const std::string& value) { iniSection_ = value; }
  TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_.get(); }
  // Copies the limits.
  void SetMinMaxInfo(TWinMinMaxInfo* value) { minMaxInfo_->Assign(value); }
  TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions value) { options_ = value; }
  // The form's size is frozen: no sizing borders, Size and Maximize greyed, no maximize
  // button. Acts only with a form owner.
  bool PreventResize() const { return preventResize_; }
  void SetPreventResize(bool value);
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool value) { useRegistry_ = value; }

  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  // Writes everything (does nothing while Active and before the first restore).
  void SaveToStore();
  // Reads everything back.
  void RestoreFromStore();
  // The open store; only while a save, a restore or one store call runs.
  TCustomIniFile* StoreObject() const { return store_.get(); }
  // One value through the store access routines; a store is opened for the call when none
  // is open. The property storage reads and writes through these.
  std::string StoreReadString(const std::string& section, const std::string& name,
                              const std::string& defaultValue);
  void StoreWriteString(const std::string& section, const std::string& name,
                        const std::string& value);

  void Loaded() override;

protected:
  // Everything that goes into the store on save, and everything read back.
  virtual void WritePlacement();
  virtual void ReadPlacement();
  virtual void DoSavePlacement();
  virtual void DoRestorePlacement();

  void OpenStore();
  void CloseStore();
  TCustomForm* Form() const;
  void SetRestored() { restored_ = true; }

private:
  friend class TIniLink;
  friend class TWinMinMaxInfo;
  void AttachLink(TIniLink* link);
  void DetachLink(TIniLink* link);
  void HookFormEvents();
  void UnhookFormEvents();
  void FormShow();
  void FormCloseQuery();
  void FormDestroy();
  void MinMaxInfoChanged();
  void AdjustMaximizedPosition();
  void ApplyPreventResize();
  void UpdateHookState();
  void HandleFormMessage(TMessage& msg);

  bool active_ = true;
  std::string iniFileName_;
  std::string iniSection_;
  std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
  TPlacementOptions options_ = 0;
  bool preventResize_ = false;
  bool useRegistry_ = false;

  std::unique_ptr<TCustomIniFile> store_;
  std::vector<TIniLink*> links_;
  bool saved_ = false;
  bool restored_ = false;
  bool destroying_ = false;
  bool defaultMaximize_ = false;
  int lifeHookId_ = 0;  // the form's life hook, once loaded
  std::unique_ptr<TKitWindowHook> hook_;
};

class TFormStorage : public TFormPlacement {
  HL_REFLECTABLE
public:
  explicit TFormStorage(TComponent* owner);
  ~TFormStorage() override;

  // "Component.Property" lines; each line's object is its bound component once Loaded ran.
  TStrings* StoredProps() const { return storedProps_.get(); }
  void SetStoredProps(TStrings* value);

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

protected:
  void WritePlacement() override;
  void ReadPlacement() override;

private:
  void WatchBoundComponents();

  std::unique_ptr<TStringList> storedProps_;
};

// Lets another component keep its settings in a placement's store and section: it is told
// when the placement saves and restores, while the store is open.
class TIniLink : public TPersistent {
public:
  TIniLink() = default;
  ~TIniLink() override;
  TIniLink(const TIniLink&) = delete;
  TIniLink& operator=(const TIniLink&) = delete;

  TFormPlacement* Placement() const { return placement_; }
  void SetPlacement(TFormPlacement* placement);
  // The placement's open store, or nullptr.
  TCustomIniFile* StoreObject() const;
  // The placement's explicitly set section and a backslash; empty without one.
  std::string SectionPrefix() const;

  TNotifyEvent OnSaveSettings;
  TNotifyEvent OnLoadSettings;

  virtual void SaveSettings();
  virtual void LoadSettings();

private:
  TFormPlacement* placement_ = nullptr;
};
