#include "app/win/options_form.h"

#include <algorithm>

#include "app/win/global_form.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"

const char* const HourlarkRegistryKey = "Software\\Quennix\\Hourlark";

namespace {

const char* const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The settings kept in the registry, in the order they are written.
const char* const StoredOptions =
    "cbAutoStart.Checked\r\ncbAutoStartTimer.Checked\r\ncbPauseScreenSaver.Checked\r\n"
    "cbAutoHide.Checked\r\nedSaveTime.Value\r\ncbAnimatedIcon.Checked\r\ncbRemindDone.Checked\r\n"
    "cbRemindDoneAgain.Checked\r\ncbRemindEvery.Checked\r\nedRemindDone.Value\r\n"
    "edRemindDoneAgain.Value\r\nedRemindEvery.Value\r\nedRemindEverySound.Text\r\n"
    "edRemindEveryMessage.Text\r\nedRemindDoneSound.Text\r\nedRemindDoneMessage.Text\r\n"
    "edPlayScreenSaverActivate.Text\r\ncbSpy.Checked\r\ncbShowIcons.Checked\r\n";

}  // namespace

const ClassInfo* TOptionsSpinEdit::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TOptionsSpinEdit>("TOptionsSpinEdit", TEdit::StaticClassInfo())
                                  .Int("Value", &TOptionsSpinEdit::Value, &TOptionsSpinEdit::SetValue)
                                  .Build();
  return &ci;
}

void TOptionsSpinEdit::SetRange(int minValue, int maxValue) {
  minValue_ = minValue;
  maxValue_ = maxValue;
}

int TOptionsSpinEdit::Value() const {
  const int value = StrToIntDef(Trim(Text()), minValue_);
  return std::clamp(value, minValue_, maxValue_);
}

void TOptionsSpinEdit::SetValue(int value) { SetText(IntToStr(std::clamp(value, minValue_, maxValue_))); }

const ClassInfo* TformOptions::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TformOptions>("TformOptions", TForm::StaticClassInfo()).Build();
  return &ci;
}

TformOptions::TformOptions(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("formOptions");
  SetCaption("Options");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetHelpContext(22);
  SetClientWidth(440);
  SetClientHeight(330);

  cbAutoStart = AddCheck("cbAutoStart", "Start Hourlark automatically", 10, true);
  cbAutoStartTimer = AddCheck("cbAutoStartTimer", "Start counting time automatically ", 30, false);
  cbAutoHide = AddCheck("cbAutoHide", "Hide Hourlark when counting is started", 50, true);
  cbPauseScreenSaver = AddCheck("cbPauseScreenSaver", "Pause when screen saver runs", 70, true);
  AddLabel("Play on pausing", 10, 93);
  edPlayScreenSaverActivate = AddEdit("edPlayScreenSaverActivate", 120, 90, 300, "");
  AddLabel("Auto save statistic every", 10, 118);
  edSaveTime = AddSpin("edSaveTime", 170, 115, 1, 10000, 5);
  AddLabel("Min", 230, 118);
  cbShowIcons = AddCheck("cbShowIcons", "Show in statistics icons from applications", 140, true);
  cbAnimatedIcon = AddCheck("cbAnimatedIcon", "Animated icon in task bar", 160, true);
  cbSpy = AddCheck("cbSpy", "SPY mode", 180, true);
  cbSpy->SetVisible(false);

  cbRemindEvery = AddCheck("cbRemindEvery", "Remind me to break every", 185, true);
  edRemindEvery = AddSpin("edRemindEvery", 250, 183, 1, 600, 30);
  edRemindEveryMessage = AddEdit("edRemindEveryMessage", 30, 207, 190, "Take a break for 5 minutes");
  edRemindEverySound = AddEdit("edRemindEverySound", 230, 207, 190, "");
  cbRemindDone = AddCheck("cbRemindDone", "Remind me not to work more than", 235, true);
  edRemindDone = AddSpin("edRemindDone", 250, 233, 1, 24, 6);
  cbRemindDoneAgain = AddCheck("cbRemindDoneAgain", "If more, display warning every", 257, false);
  edRemindDoneAgain = AddSpin("edRemindDoneAgain", 250, 255, 1, 600, 10);
  edRemindDoneMessage =
      AddEdit("edRemindDoneMessage", 30, 279, 190, "You have worked enough. Take a rest for today");
  edRemindDoneSound = AddEdit("edRemindDoneSound", 230, 279, 190, "");

  btOK = new TButton(this);
  btOK->SetName("btOK");
  btOK->SetParent(this);
  btOK->SetBounds(190, 302, 75, 24);
  btOK->SetCaption("OK");
  btOK->SetDefault(true);
  btOK->SetModalResult(mrOk);
  btOK->OnClick = [this](TObject* sender) { btOKClick(sender); };
  btCancel = new TButton(this);
  btCancel->SetName("btCancel");
  btCancel->SetParent(this);
  btCancel->SetBounds(270, 302, 75, 24);
  btCancel->SetCaption("Cancel");
  btCancel->SetCancel(true);
  btCancel->SetModalResult(mrCancel);
  btApply = new TButton(this);
  btApply->SetName("btApply");
  btApply->SetParent(this);
  btApply->SetBounds(350, 302, 75, 24);
  btApply->SetCaption("Apply");
  btApply->OnClick = [this](TObject* sender) { btApplyClick(sender); };

  FormStorage = new TFormStorage(this);
  FormStorage->SetName("FormStorage");
  FormStorage->SetUseRegistry(true);
  FormStorage->SetIniFileName(HourlarkRegistryKey);
  FormStorage->SetIniSection("Options");
  FormStorage->SetOptions(0);
  FormStorage->SetActive(false);
  TStringList props;
  props.SetText(StoredOptions);
  FormStorage->SetStoredProps(&props);
  FormStorage->OnSavePlacement = [this](TObject* sender) { FormStorageSavePlacement(sender); };

  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnActivate = [this](TObject* sender) { FormActivate(sender); };
  BindChanges();
  LoadedAll(this);
  DoCreate();
}

TCheckBox* TformOptions::AddCheck(const char* name, const char* caption, int top, bool checked) {
  auto* box = new TCheckBox(this);
  box->SetName(name);
  box->SetParent(this);
  box->SetBounds(10, top, 235, 18);
  box->SetCaption(caption);
  box->SetChecked(checked);
  return box;
}

TOptionsSpinEdit* TformOptions::AddSpin(const char* name, int left, int top, int minValue, int maxValue,
                                        int value) {
  auto* edit = new TOptionsSpinEdit(this);
  edit->SetName(name);
  edit->SetParent(this);
  edit->SetBounds(left, top, 55, 21);
  edit->SetRange(minValue, maxValue);
  edit->SetValue(value);
  return edit;
}

TEdit* TformOptions::AddEdit(const char* name, int left, int top, int width, const std::string& text) {
  auto* edit = new TEdit(this);
  edit->SetName(name);
  edit->SetParent(this);
  edit->SetBounds(left, top, width, 21);
  edit->SetText(text);
  return edit;
}

TLabel* TformOptions::AddLabel(const char* caption, int left, int top) {
  auto* label = new TLabel(this);
  label->SetParent(this);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  return label;
}

void TformOptions::BindChanges() {
  const TNotifyEvent changed = [this](TObject* sender) { cbAutoHideClick(sender); };
  for (TCheckBox* box : {cbAutoStart, cbAutoStartTimer, cbAutoHide, cbPauseScreenSaver, cbShowIcons, cbAnimatedIcon,
                         cbSpy, cbRemindEvery, cbRemindDone, cbRemindDoneAgain})
    box->OnClick = changed;
  for (TEdit* edit : {static_cast<TEdit*>(edSaveTime), static_cast<TEdit*>(edRemindEvery),
                      static_cast<TEdit*>(edRemindDone), static_cast<TEdit*>(edRemindDoneAgain),
                      edPlayScreenSaverActivate, edRemindEveryMessage, edRemindEverySound, edRemindDoneMessage,
                      edRemindDoneSound})
    edit->OnChange = changed;
}

void TformOptions::cbAutoHideClick(TObject*) {
  btApply->SetEnabled(true);
  const bool every = cbRemindEvery->Checked();
  for (TEdit* edit : {static_cast<TEdit*>(edRemindEvery), edRemindEveryMessage, edRemindEverySound})
    edit->SetEnabled(every);
  const bool done = cbRemindDone->Checked();
  for (TEdit* edit : {static_cast<TEdit*>(edRemindDone), edRemindDoneMessage, edRemindDoneSound})
    edit->SetEnabled(done);
  cbRemindDoneAgain->SetEnabled(done);
  edRemindDoneAgain->SetEnabled(done && cbRemindDoneAgain->Checked());
}

void TformOptions::FormShow(TObject*) {
  if (cbShowIcons->Checked() && formGlobal != nullptr) formGlobal->StartIconLoader();
}

void TformOptions::FormActivate(TObject*) { btApply->SetEnabled(false); }

void TformOptions::btApplyClick(TObject*) {
  // A number typed out of range is stored, and shown, as the nearest allowed one.
  for (TOptionsSpinEdit* spin : {edSaveTime, edRemindEvery, edRemindDone, edRemindDoneAgain})
    spin->SetValue(spin->Value());
  if (OnApplied) OnApplied(this);
  FormStorage->SaveToStore();
  if (!cbShowIcons->Checked() && formGlobal != nullptr) formGlobal->ClearIcons();
  btApply->SetEnabled(false);
}

void TformOptions::btOKClick(TObject*) {
  if (btApply->Enabled()) btApply->Click();
}

void TformOptions::PlaySoundFile(const std::string& fileName) {
  std::string name = fileName;
  if (!name.empty() && name.front() == '"') name.erase(0, 1);
  if (!name.empty() && name.back() == '"') name.pop_back();
  if (name.empty() || !FileExists(name)) return;
  EdgePlaySound(name);
}

ReminderSettings TformOptions::Reminders() const {
  ReminderSettings settings;
  settings.RemindEvery = cbRemindEvery->Checked();
  settings.EveryMinutes = edRemindEvery->Value();
  settings.EverySound = edRemindEverySound->Text();
  settings.EveryMessage = edRemindEveryMessage->Text();
  settings.RemindDone = cbRemindDone->Checked();
  settings.DoneHours = edRemindDone->Value();
  settings.RemindDoneAgain = cbRemindDoneAgain->Checked();
  settings.DoneAgainMinutes = edRemindDoneAgain->Value();
  settings.DoneSound = edRemindDoneSound->Text();
  settings.DoneMessage = edRemindDoneMessage->Text();
  return settings;
}

void TformOptions::FormStorageSavePlacement(TObject*) {
  TRegistry registry;
  if (!registry.OpenKey(RunKey, true)) return;
  if (cbAutoStart->Checked())
    registry.WriteString("Hourlark", Application->ExeName());
  else
    registry.DeleteValue("Hourlark");
}
