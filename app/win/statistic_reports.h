#pragma once
// The printed statistics: one banded report layout per page of the statistics window.
// TrepStatistic prints the week table (a detail band per week row), TrepChart the bar chart
// as a picture, TrepDetail the detail list (a detail band per list row). All three share a
// title band (the title, the user and the period) and a footer (a line about the program,
// the time of printing and the page number), carry a translation component so their fixed
// texts follow the program's language, and take what they print from a TStatReportSource
// that the statistics window fills when Print is pressed.

#include <array>
#include <string>
#include <vector>

#include "platform/report/win/band_report.h"

class TLingroveLang;

// What the statistics window shows, as the layouts print it.
struct TStatReportSource {
  std::string userCaption;      // the "User" label
  std::string user;             // the chosen user
  std::string periodCaption;    // the "Period" label
  std::string dateFrom;         // the dates' texts
  std::string dateTo;
  std::string taskCaption;      // the "Task" label
  std::string task1;            // the chosen task's text
  std::string total1;           // its total, as the window shows it
  std::string compareCaption;   // the "Compare" label
  std::string task2;            // the compared task's text
  std::string total2;           // its total; empty without a comparison
  std::string detailTotal;      // the detail view's total

  // The week table: per row the eight cell texts (a day "label TAB time 1 TAB time 2", the
  // week column "total 1 TAB total 2"), and the titles of the eight columns.
  std::vector<std::array<std::string, 8>> weekCells;
  std::array<std::string, 8> weekHeaders;

  // The detail list in its order: each row's caption and time.
  struct DetailItem {
    std::string caption;
    std::string time;
  };
  std::vector<DetailItem> detailItems;
};

// The parts the three layouts share.
class TStatReportBase : public TBandReport {
  HL_REFLECTABLE
public:
  // What the layout prints; it must outlive the printing. Without one the layout prints its
  // fixed texts only.
  void SetSource(const TStatReportSource* source) { source_ = source; }
  const TStatReportSource* Source() const { return source_; }
  // Every label of the layout prints in this character set (the script of the language).
  void SetLabelCharset(uint8_t charset);

  TReportBand* bandTitle;
  TBandLabel* BandLabel1;
  TBandLabel* lUser;
  TBandLabel* lPeriod;
  TReportBand* Band3;
  TBandLabel* lAbout;
  TBandSysData* BandSysData1;
  TBandSysData* BandSysData2;
  TLingroveLang* LingroveLang1;

protected:
  // Makes the page, the title band and the footer; a layout then adds its own bands and
  // calls Finish.
  TStatReportBase(TComponent* owner, const std::string& name);
  void Finish();

  // A part of the layout, owned by it and named.
  template <class T>
  T* Make(const std::string& name) {
    T* part = new T(this);
    part->SetName(name);
    return part;
  }
  TReportBand* AddBand(const std::string& name, TBandType type, int height);
  TBandLabel* AddLabel(TReportBand* band, const std::string& name, const std::string& caption, int left, int top,
                       int width, TBandAlignment alignment = baLeft, bool bold = false);
  // The user and period lines of the title band.
  void PrintHeader();
  // The chosen and the compared task with their totals (week table and chart): the band is
  // 123 pixels high with a comparison, else 98 and the comparison's line is not printed.
  void AddTaskLines();
  void PrintTaskLines();

  TBandLabel* lT1Caption = nullptr;
  TBandLabel* lT1Task = nullptr;
  TBandLabel* lT1Total = nullptr;
  TBandLabel* lT2Caption = nullptr;
  TBandLabel* lT2Task = nullptr;
  TBandLabel* lT2Total = nullptr;

  const TStatReportSource* source_ = nullptr;
  // The rows printed so far.
  int rowCounter_ = 0;
};

// The week table: one detail band per week row, eight columns of a day label (grey for a day
// without time of the chosen task), the chosen task's time and the compared task's time; the
// last column holds the week's totals.
class TrepStatistic : public TStatReportBase {
  HL_REFLECTABLE
public:
  explicit TrepStatistic(TComponent* owner);

  void repStatisticBeforePrint(TObject* sender, bool& printReport);
  void Report1NeedData(TObject* sender, bool& moreData);
  void lDay1Print(TObject* sender, std::string& value);

  TReportBand* Band1;
  TReportBand* bandDetail;
  std::array<TBandLabel*, 8> lWeek{};
  std::array<TBandLabel*, 8> lDay{};
  std::array<TBandLabel*, 8> lTime{};
  std::array<TBandLabel*, 8> lTimeAdd{};
};

// The bar chart as a picture under the title band.
class TrepChart : public TStatReportBase {
  HL_REFLECTABLE
public:
  explicit TrepChart(TComponent* owner);

  void repChartBeforePrint(TObject* sender, bool& printReport);

  TReportBand* bandImage;
  // (Named BandImage1: component names ignore case, and the band is bandImage.)
  TBandImage* BandImage1;
};

// The detail list: one detail band per row, the task's name and its time.
class TrepDetail : public TStatReportBase {
  HL_REFLECTABLE
public:
  explicit TrepDetail(TComponent* owner);

  void repChartBeforePrint(TObject* sender, bool& printReport);
  void repChartNeedData(TObject* sender, bool& moreData);

  TBandLabel* lNameHeader;
  TBandLabel* lTimeHeader;
  TBandLabel* lTotal;
  TReportBand* bandTable;
  TBandLabel* lName;
  TBandLabel* lTime;
};
