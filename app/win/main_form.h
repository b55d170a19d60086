#pragma once
// TformHourlark: the tracker's small main window at the bottom right of the screen, living
// mostly in the notification area. A header strip switches between its two services, time
// tracking (the tracking engine) and the countdown/alarm, and moves the window when dragged.
// The window also keeps the task list, the day list, the user list and the countdown
// comments, and stores its settings in the registry.

#include <memory>
#include <string>

#include "app/countdown_logic.h"
#include "app/tracking_engine.h"
#include "app/win/hourlark_version.h"
#include "kit/str_holder.h"
#include "kit/win/cat_edit97.h"
#include "kit/win/form_storage.h"
#include "kit/win/speed_button.h"
#include "kit/win/tray_icon.h"
#include "platform/wcl/win/edit_controls.h"
#include "platform/wcl/win/form.h"
#include "platform/wcl/win/menus.h"
#include "platform/wcl/win/status_controls.h"
#include "platform/wcl/win/std_controls.h"
#include "platform/wcl/win/image_list.h"
#include "platform/wcl/win/timer.h"

class TformOptions;
class TformStatistic;
class TLingroveLang;
struct TrackerContext;

class TformHourlark : public TForm, private TrackingHost, private TrackingProbe {
  HL_REFLECTABLE
public:
  explicit TformHourlark(TComponent* owner);
  ~TformHourlark() override;

  // The options dialog whose settings the window and the engine read; until it is set the
  // defaults apply.
  void SetOptionsForm(TformOptions* options) { options_ = options; }
  // The context the windows share: the window puts its task list and data folder there,
  // and hands it to the statistics window.
  void SetContext(TrackerContext* context);
  TrackingEngine& Engine() { return *engine_; }
  const CountdownCycle& Countdown() const { return countdown_; }
  // The folder of the data files (the program's folder; tests point it elsewhere).
  const std::string& DataDir() const { return dataDir_; }
  void SetDataDir(const std::string& dir);
  // Message texts by number (25-31), the window's own captions as the base language.
  std::string LangText(int number) const;
  // The statistics window while it is open, else nullptr.
  TformStatistic* Statistic() const { return statistic_; }

  // ---- Components ----
  TPanel* pForm;
  TPanel* pHeader;
  TKitSpeedButton* btSelectService;
  TLabel* lServiceCaption;
  TKitSpeedButton* btMinimize;
  TKitSpeedButton* btClose;
  TPanel* pFormHourlark;
  TImage* imSelectUser;
  TCatEdit97* edUser;
  TKitSpeedButton* btStatistic;
  TKitSpeedButton* btOptions;
  TKitSpeedButton* btStart;
  TKitSpeedButton* btStop;
  TStatusBar* StatusBar1;
  TPanel* pFormCountDown;
  TBevel* BevelMode1;
  TBevel* BevelMode2;
  TCatEdit97* edTimeAlarmHour;
  TLabel* lTwoPoints;
  TCatEdit97* edTimeAlarmMinute;
  TKitSpeedButton* SpeedButton2;
  TCatEdit97* edTimeCountDown;
  TKitSpeedButton* SpeedButton1;
  TKitSpeedButton* btInputComment;
  TKitSpeedButton* btCountDownStart;
  TKitSpeedButton* btCountDownStop;
  TStatusBar* StatusBar2;
  TButton* Button1;
  TEdit* edLang;
  TLabel* edCountDownComment;

  TPopupMenu* popMainMenu;
  TMenuItem* mnRestore;
  TMenuItem* mnHide;
  TMenuItem* Hourlark1;
  TMenuItem* mnStart;
  TMenuItem* mnStop;
  TMenuItem* mnStatistic;
  TMenuItem* mnOptions;
  TMenuItem* CountDown1;
  TMenuItem* mnCountDownStart;
  TMenuItem* mnCountDownStop;
  TMenuItem* mnCountDownTime;
  TMenuItem* Help1;
  TMenuItem* HelpContents1;
  TMenuItem* mnQuickDemo;
  TMenuItem* mnLanguages;
  TMenuItem* mnLingroveInfo;
  TMenuItem* mnClose;
  TPopupMenu* popSelectService;
  TMenuItem* mnServiceHourlark;
  TMenuItem* mnServiceCountDown;

  // The icon in the notification area, and a hidden second one that only keeps the still
  // picture and the eight animation frames to copy from.
  TKitTrayIcon* KitTray;
  TKitTrayIcon* KitTrayIconList;
  TTimer* TimerHourlark;
  TTimer* TimerCountDown;
  TStrHolder* sl;
  TStrHolder* slUsers;
  TStrHolder* slTask;
  TStrHolder* slTaskDesc;
  TStrHolder* slCountDownComment;
  // The tray menu's pictures.
  std::unique_ptr<TImageList> ImageList1;
  TFormStorage* FormStorage;
  TLingroveLang* LingroveLang1;

  // ---- Handlers ----
  void FormCreate(TObject* sender);
  void FormActivate(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void CheckVersionAndShowDemo();
  void ApplyLanguageTexts();
  void LanguageItemClick(TObject* sender);
  void ShowService(int service);
  void UpdateControls();
  void UpdateTrayIcons();
  void UpdateCountdownMode();
  void TimerHourlarkTimer(TObject* sender);
  void TimerCountDownTimer(TObject* sender);
  void btStartClick(TObject* sender);
  void btStopClick(TObject* sender);
  void btCountDownStartClick(TObject* sender);
  void btCountDownStopClick(TObject* sender);
  void btInputCommentClick(TObject* sender);
  void btStatisticClick(TObject* sender);
  void btOptionsClick(TObject* sender);
  void btSelectServiceClick(TObject* sender);
  void imSelectUserClick(TObject* sender);
  void mnHideClick(TObject* sender);
  void mnRestoreClick(TObject* sender);
  void mnCloseClick(TObject* sender);
  void mnQuickDemoClick(TObject* sender);
  void mnLingroveInfoClick(TObject* sender);
  void popMainMenuPopup(TObject* sender);
  void edTimeChange(CountdownField field);
  void HeaderMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void HeaderMouseMove(TObject* sender, TShiftState shift, int x, int y);
  void HeaderMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  // The tray hint when the countdown does not own it: the user and the day's total while
  // tracking, else the program's caption.
  std::string RestingHint() const;
  // The countdown's comment.
  std::string Comment() const { return edCountDownComment->Caption(); }

private:
  // TrackingHost
  int SavePeriodMinutes() override;
  bool CountdownRunning() override { return countdown_.Running(); }
  void ShowDayTotal(const std::string& text) override;
  void ShowTrayHint(const std::string& hint) override;
  void TrackingChanged() override { UpdateControls(); }
  void TrackingStarted() override;
  void ScreenSaverStopsTracking() override;
  void DaySaved() override;
  void CheckReminders() override;
  // TrackingProbe, over the active-task probe
  std::string GetActiveTask() override;
  bool IsScreenSaverRunning() override;
  std::string ForegroundTitle() override;

  void BuildHeader();
  void BuildTrackingPanel();
  void BuildCountdownPanel();
  void BuildMenus();
  void BuildStorage();
  TKitSpeedButton* AddSpeedButton(TWinControl* parent, const char* name, const char* glyph, int left, int top,
                                  int width, int height);
  TCatEdit97* AddEdit(TWinControl* parent, const char* name, int left, int top, int width);
  void BuildTrayIcons();
  void BuildMenuImages();
  TPanel* AddServicePanel(const char* name, int helpContext);
  TStatusBar* AddStatusBar(TWinControl* parent, const char* name, int stateWidth);
  TMenuItem* AddItem(TMenuItem* parent, const char* name, const std::string& caption, TNotifyEvent click);
  CountdownFields Fields() const;
  bool AutoHide() const;
  bool AutoStartTimer() const;
  bool AnimatedIcon() const;
  void FillUserList();
  void FetchLangTexts();
  void FillLanguagesMenu();
  void FitTexts();

  TformOptions* options_ = nullptr;
  TrackerContext* context_ = nullptr;
  TformStatistic* statistic_ = nullptr;
  SystemTrackingClock clock_;
  std::unique_ptr<TrackingEngine> engine_;
  CountdownCycle countdown_;
  std::string dataDir_;
  std::string texts_[7];  // 25..31
  bool firstActivation_ = true;
  bool dragging_ = false;
  POINT grab_{};
  bool choosingMode_ = false;
};
