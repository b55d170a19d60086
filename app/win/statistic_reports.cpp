#include "app/win/statistic_reports.h"

#include "app/statistic_charts.h"
#include "app/win/hourlark_version.h"
#include "lang/win/lang_collector.h"
#include "lang/win/lingrove_lang.h"
#include "platform/rtl/properties.h"

namespace {

// The paper's width inside the margins (190 mm) in design pixels.
constexpr int PrintWidth = 718;
// The title band with and without the compared task's line.
constexpr int TitleHeight = 98;
constexpr int TitleHeightCompared = 123;
// The rows of the title band.
constexpr int TaskLineTop = 78;
constexpr int CompareLineTop = 101;
// The week table's columns.
constexpr int WeekColumnWidth = 89;

// Makes the layouts for the base language file, as the collector makes every form.
TLangFormRegistrar statisticRegistrar("TrepStatistic", [](TComponent* owner) { return new TrepStatistic(owner); });
TLangFormRegistrar chartRegistrar("TrepChart", [](TComponent* owner) { return new TrepChart(owner); });
TLangFormRegistrar detailRegistrar("TrepDetail", [](TComponent* owner) { return new TrepDetail(owner); });

}  // namespace

const ClassInfo* TStatReportBase::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TStatReportBase>("TStatReportBase", TBandReport::StaticClassInfo()).Build();
  return &ci;
}

const ClassInfo* TrepStatistic::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TrepStatistic>("TrepStatistic", TStatReportBase::StaticClassInfo()).Build();
  return &ci;
}

const ClassInfo* TrepChart::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TrepChart>("TrepChart", TStatReportBase::StaticClassInfo()).Build();
  return &ci;
}

const ClassInfo* TrepDetail::StaticClassInfo() {
  static const ClassInfo ci = ClassBuilder<TrepDetail>("TrepDetail", TStatReportBase::StaticClassInfo()).Build();
  return &ci;
}

// ---- Shared parts ---------------------------------------------------------------------------

TStatReportBase::TStatReportBase(TComponent* owner, const std::string& name) : TBandReport(owner) {
  BeginLoading();
  SetName(name);
  SetReportTitle("Time spent statistics");
  SetPageSize(210, 297);
  SetOrientation(poPortrait);
  SetMargins(10, 10, 10, 10);
  SetZoom(100);
  SetCopies(1);
  SetFirstPageHeader(true);
  SetLastPageFooter(true);

  bandTitle = AddBand("bandTitle", rbPageHeader, TitleHeight);
  BandLabel1 = AddLabel(bandTitle, "BandLabel1", "Time spent statistics", 0, 4, PrintWidth, baCenter, true);
  BandLabel1->SetHeight(26);
  BandLabel1->Font()->SetSize(14);
  lUser = AddLabel(bandTitle, "lUser", "", 0, 40, PrintWidth, baLeft, true);
  lPeriod = AddLabel(bandTitle, "lPeriod", "", 0, 58, PrintWidth, baLeft, true);

  Band3 = AddBand("Band3", rbPageFooter, 24);
  BandSysData1 = Make<TBandSysData>("BandSysData1");
  BandSysData1->SetBand(Band3);
  BandSysData1->SetBounds(0, 5, 240, 17);
  BandSysData1->Font()->SetSize(8);
  BandSysData2 = Make<TBandSysData>("BandSysData2");
  BandSysData2->SetData(sdPageNumber);
  BandSysData2->SetBand(Band3);
  BandSysData2->SetBounds(240, 5, 238, 17);
  BandSysData2->SetAlignment(baCenter);
  BandSysData2->Font()->SetSize(7);
  lAbout = AddLabel(Band3, "lAbout", "", 478, 5, 240, baRight);
  lAbout->Font()->SetSize(8);

  LingroveLang1 = Make<TLingroveLang>("LingroveLang1");
}

void TStatReportBase::Finish() { LoadedAll(this); }

TReportBand* TStatReportBase::AddBand(const std::string& name, TBandType type, int height) {
  auto* band = Make<TReportBand>(name);
  band->SetBandType(type);
  band->SetHeight(height);
  band->SetReport(this);
  return band;
}

TBandLabel* TStatReportBase::AddLabel(TReportBand* band, const std::string& name, const std::string& caption,
                                      int left, int top, int width, TBandAlignment alignment, bool bold) {
  auto* label = Make<TBandLabel>(name);
  label->SetCaption(caption);
  label->SetBounds(left, top, width, 17);
  label->SetAlignment(alignment);
  if (bold) label->Font()->SetStyle(1);
  label->SetBand(band);
  return label;
}

void TStatReportBase::SetLabelCharset(uint8_t charset) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* label = dynamic_cast<TBandLabel*>(Components(i))) label->Font()->SetCharset(charset);
}

void TStatReportBase::PrintHeader() {
  rowCounter_ = 0;
  lAbout->SetCaption(HourlarkCaption);
  if (source_ == nullptr) return;
  lUser->SetCaption(source_->userCaption + ": " + source_->user);
  lPeriod->SetCaption(source_->periodCaption + ": " + source_->dateFrom + " - " + source_->dateTo);
}

void TStatReportBase::AddTaskLines() {
  const int lefts[] = {0, 90, 370};
  const int widths[] = {90, 280, 348};
  const TBandAlignment alignments[] = {baLeft, baLeft, baRight};
  TBandLabel** labels[2][3] = {{&lT1Caption, &lT1Task, &lT1Total}, {&lT2Caption, &lT2Task, &lT2Total}};
  const char* names[2][3] = {{"lT1Caption", "lT1Task", "lT1Total"}, {"lT2Caption", "lT2Task", "lT2Total"}};
  for (int line = 0; line < 2; ++line)
    for (int i = 0; i < 3; ++i) {
      TBandLabel* label = AddLabel(bandTitle, names[line][i], "", lefts[i], line == 0 ? TaskLineTop : CompareLineTop,
                                   widths[i], alignments[i], true);
      *labels[line][i] = label;
    }
  // The compared task's line lies below a band of 98 pixels: it prints only when the band
  // has grown to hold it.
  for (TBandLabel* label : {lT2Caption, lT2Task, lT2Total})
    label->OnPrint = [this, label](TObject*, std::string& value) {
      if (label->Top() + label->Height() > bandTitle->Height()) value.clear();
    };
}

void TStatReportBase::PrintTaskLines() {
  if (source_ == nullptr) return;
  lT1Caption->SetCaption(source_->taskCaption + ":");
  lT1Task->SetCaption(source_->task1);
  lT1Total->SetCaption(source_->total1);
  lT2Caption->SetCaption(source_->compareCaption + ":");
  lT2Task->SetCaption(source_->task2);
  lT2Total->SetCaption(source_->total2);
  bandTitle->SetHeight(source_->total2.empty() ? TitleHeight : TitleHeightCompared);
}

// ---- Week table -------------------------------------------------------------------------------

TrepStatistic::TrepStatistic(TComponent* owner) : TStatReportBase(owner, "repStatistic") {
  SetPrintIfEmpty(false);
  SetBin(pbFirst);
  AddTaskLines();
  Band1 = AddBand("Band1", rbColumnHeader, 22);
  bandDetail = AddBand("bandDetail", rbDetail, 52);
  for (int c = 0; c < 8; ++c) {
    const std::string n = std::to_string(c + 1);
    const int left = c * WeekColumnWidth;
    lWeek[c] = AddLabel(Band1, "lWeek" + n, "", left, 3, WeekColumnWidth, baCenter, true);
    lDay[c] = AddLabel(bandDetail, "lDay" + n, "", left, 2, WeekColumnWidth - 4, baRight);
    lDay[c]->Font()->SetSize(7);
    lTime[c] = AddLabel(bandDetail, "lTime" + n, "", left, 17, WeekColumnWidth, baCenter);
    lTimeAdd[c] = AddLabel(bandDetail, "lTimeAdd" + n, "", left, 33, WeekColumnWidth, baCenter);
    if (c < 7) lDay[c]->OnPrint = [this](TObject* sender, std::string& value) { lDay1Print(sender, value); };
  }
  BeforePrint = [this](TObject* sender, bool& print) { repStatisticBeforePrint(sender, print); };
  OnNeedData = [this](TObject* sender, bool& more) { Report1NeedData(sender, more); };
  Finish();
}

void TrepStatistic::repStatisticBeforePrint(TObject*, bool& printReport) {
  printReport = true;
  PrintHeader();
  PrintTaskLines();
}

void TrepStatistic::Report1NeedData(TObject*, bool& moreData) {
  const int rows = source_ == nullptr ? 0 : static_cast<int>(source_->weekCells.size());
  if (rowCounter_ < rows) {
    for (int c = 0; c < 8; ++c) {
      const std::string n = std::to_string(c + 1);
      auto* day = dynamic_cast<TBandLabel*>(FindComponent("lDay" + n));
      auto* time = dynamic_cast<TBandLabel*>(FindComponent("lTime" + n));
      auto* timeAdd = dynamic_cast<TBandLabel*>(FindComponent("lTimeAdd" + n));
      auto* week = dynamic_cast<TBandLabel*>(FindComponent("lWeek" + n));
      if (day == nullptr || time == nullptr || timeAdd == nullptr || week == nullptr) continue;
      // Day columns: the label, time 1, time 2; the week column: total 1, total 2, nothing.
      std::string first, second, third;
      SplitCellText(source_->weekCells[static_cast<size_t>(rowCounter_)][static_cast<size_t>(c)], first, second, third);
      day->SetCaption(first);
      time->SetCaption(second);
      timeAdd->SetCaption(third);
      week->SetCaption(source_->weekHeaders[static_cast<size_t>(c)]);
    }
  }
  ++rowCounter_;
  moreData = rowCounter_ <= rows;
}

void TrepStatistic::lDay1Print(TObject* sender, std::string&) {
  auto* day = dynamic_cast<TBandLabel*>(sender);
  if (day == nullptr || day->Name().size() < 5) return;
  auto* time = dynamic_cast<TBandLabel*>(FindComponent("lTime" + day->Name().substr(4, 1)));
  if (time == nullptr) return;
  // A day without time of the chosen task prints its date in grey.
  day->Font()->SetColor(time->Caption().empty() ? clGray : clBlack);
}

// ---- Chart --------------------------------------------------------------------------------------

TrepChart::TrepChart(TComponent* owner) : TStatReportBase(owner, "repChart") {
  SetPrintIfEmpty(true);
  SetBin(pbAuto);
  AddTaskLines();
  bandImage = AddBand("bandImage", rbDetail, 20);
  BandImage1 = Make<TBandImage>("BandImage1");
  BandImage1->SetBand(bandImage);
  BandImage1->SetBounds(0, 10, 0, 0);
  BandImage1->SetAutoSize(true);
  BandImage1->SetCenter(true);
  BeforePrint = [this](TObject* sender, bool& print) { repChartBeforePrint(sender, print); };
  Finish();
}

void TrepChart::repChartBeforePrint(TObject*, bool& printReport) {
  printReport = true;
  PrintHeader();
  PrintTaskLines();
}

// ---- Detail list ----------------------------------------------------------------------------------

TrepDetail::TrepDetail(TComponent* owner) : TStatReportBase(owner, "repDetail") {
  SetPrintIfEmpty(true);
  SetBin(pbAuto);
  bandTitle->SetHeight(TitleHeightCompared);
  lTotal = AddLabel(bandTitle, "lTotal", "", 0, TaskLineTop, PrintWidth, baLeft, true);
  lNameHeader = AddLabel(bandTitle, "lNameHeader", "Application Name", 0, CompareLineTop, 500, baLeft, true);
  lTimeHeader = AddLabel(bandTitle, "lTimeHeader", "Worked Time", 500, CompareLineTop, 218, baCenter, true);
  bandTable = AddBand("bandTable", rbDetail, 20);
  lName = AddLabel(bandTable, "lName", "", 0, 2, 500);
  lTime = AddLabel(bandTable, "lTime", "", 500, 2, 218, baCenter);
  BeforePrint = [this](TObject* sender, bool& print) { repChartBeforePrint(sender, print); };
  OnNeedData = [this](TObject* sender, bool& more) { repChartNeedData(sender, more); };
  Finish();
}

void TrepDetail::repChartBeforePrint(TObject*, bool& printReport) {
  printReport = true;
  PrintHeader();
  if (source_ != nullptr) lTotal->SetCaption(source_->detailTotal);
}

void TrepDetail::repChartNeedData(TObject*, bool& moreData) {
  const int count = source_ == nullptr ? 0 : static_cast<int>(source_->detailItems.size());
  if (rowCounter_ < count) {
    const TStatReportSource::DetailItem& item = source_->detailItems[static_cast<size_t>(rowCounter_)];
    lName->SetCaption(item.caption);
    lTime->SetCaption(item.time);
  } else {
    lName->SetCaption("");
    lTime->SetCaption("");
  }
  ++rowCounter_;
  moreData = count >= rowCounter_;
}
