#include "app/win/message_form.h"

#include "app/reminders.h"
#include "app/win/form_parts.h"
#include "app/win/options_form.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/edges.h"

TFormMessage* FormMessage = nullptr;

namespace {

TLangFormRegistrar registrar("TFormMessage", [](TComponent* owner) { return new TFormMessage(owner); });

// The options dialog's reminder settings, its sound routine and the message window.
class WindowReminderHost : public ReminderHost {
public:
  WindowReminderHost(TformOptions& options, TFormMessage& window, const std::string& serviceName)
      : options_(options), window_(window), serviceName_(serviceName) {}
  bool SettingsPending() override { return options_.SettingsPending(); }
  ReminderSettings Settings() override { return options_.Reminders(); }
  void PlaySound(const std::string& fileName) override { options_.PlaySoundFile(fileName); }
  void ShowMessage(const std::string& text) override { window_.ShowMessageWindow(text, serviceName_); }

private:
  TformOptions& options_;
  TFormMessage& window_;
  const std::string& serviceName_;
};

}  // namespace

const ClassInfo* TFormMessage::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TFormMessage>("TFormMessage", TForm::StaticClassInfo()).Build();
  return &ci;
}

TFormMessage::TFormMessage(TComponent* owner) : TForm(owner) {
  BeginLoading();
  SetName("FormMessage");
  // The caption is made at each reminder (service name and time); it has no text of its own
  // that a language switch could put over it.
  SetBorderStyle(bsSizeToolWin);
  SetWidth(MessageWindowWidth);
  SetHeight(81);

  // The texts are the user's own reminder texts: the labels carry none of their own.
  lMessage = MakeControl<TLabel>(this, "lMessage", this, 1, 6, MessageLabelWidth, 13);
  lMessage->SetAutoSize(false);
  lMessage->SetAlignment(taCenter);
  lMessage->SetShowAccelChar(false);
  lMessTest = MakeControl<TLabel>(this, "lMessTest", this, 1, 6, 0, 13);
  lMessTest->SetVisible(false);
  lMessTest->SetShowAccelChar(false);
  lMessTest->SetAutoSize(true);
  btOK = MakeControl<TButton>(this, "btOK", this, 58, 26, 75, 23);
  btOK->SetCaption("OK");
  btOK->SetDefault(true);
  btOK->SetCancel(true);
  btOK->OnClick = [this](TObject* sender) { btOKClick(sender); };

  LingroveLang1 = new TLingroveLang(this);
  LingroveLang1->SetName("LingroveLang1");
  LoadedAll(this);
  // The frame and its caption do not grow as the screen's resolution does: the window holds
  // its button by its client area.
  const int needed = btOK->Top() + btOK->Height() + ScaleValue(4);
  if (ClientHeight() < needed) SetClientHeight(needed);
  DoCreate();
}

TFormMessage::~TFormMessage() {
  if (FormMessage == this) FormMessage = nullptr;
}

void TFormMessage::btOKClick(TObject*) { Close(); }

void TFormMessage::ShowMessageWindow(const std::string& text, const std::string& serviceName) {
  lMessage->SetCaption(text);
  lMessTest->SetCaption(text);
  SetCaption(serviceName + " " + TimeToStr(Now()));
  if (Visible()) Hide();
  const MessageWindowPlace place =
      PlaceMessageWindow(lMessTest->Width(), Height(), btOK->Width(), EdgeScreenSize().Width, MaximizedWindowHeight(),
                         PixelsPerInch());
  lMessage->SetWidth(place.LabelWidth);
  btOK->SetLeft(place.ButtonLeft);
  SetBounds(place.Left, place.Top, place.Width, Height());
  Show();
}

int MaximizedWindowHeight() {
  int height = GetSystemMetrics(SM_CYMAXIMIZED);
  RECT work{};
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) && height > work.bottom + 8) height = work.bottom + 8;
  return height;
}

void RunReminders(TformOptions& options, TFormMessage& window, TDateTime dayTotal, const std::string& serviceName) {
  WindowReminderHost host(options, window, serviceName);
  CheckReminders(host, dayTotal);
}
