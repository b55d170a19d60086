// Random sequences of what a user does on the options dialog's task page, performed on the
// task-grid functions as the dialog calls them, each step compared with the plain model of
// tests/app/task_grid_model.h.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/task_groups.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "tests/app/task_grid_model.h"

namespace {

using task_grid_model::Fields;
using task_grid_model::Model;
using task_grid_model::Op;
using task_grid_model::Step;

constexpr unsigned kSeed = 20261209;
constexpr int kSequences = 3000;
constexpr int kSteps = 40;

Fields ShownBy(const TaskGridRow& row) { return {row.group, row.path, row.description}; }

std::vector<std::string> Texts(std::vector<Fields> rows) {
  std::vector<std::string> texts;
  for (const Fields& row : rows) texts.push_back(row.Text());
  std::sort(texts.begin(), texts.end());
  return texts;
}

// What the options dialog does with its grid, the task list and hl20task.txt, step by step:
// the grid is a vector of rows, the file the list's text as it was last saved.
class HostDialog {
public:
  explicit HostDialog(const std::vector<std::string>& lines) {
    list_.SetSorted(true);
    list_.SetDuplicates(dupAccept);
    for (const std::string& line : lines) list_.Add(line);
    file_ = list_.Text();
  }

  void Do(const Step& step, const Fields& target) {
    switch (step.op) {
      case Op::Show:
        hidden_.clear();
        Refill(2);
        pending_ = false;
        break;
      case Op::EditDescription:
        Row(target).description = step.text;
        break;
      case Op::EditPath:
        Row(target).path = step.text;
        break;
      case Op::PickGroup:
        Row(target).group = std::to_string(step.number);
        break;
      case Op::Setting:
        pending_ = true;
        break;
      case Op::Apply:
        Apply();
        break;
      case Op::Ok:
        if (pending_) Apply();
        break;
      case Op::Cancel:
        break;
      case Op::Filter: {
        const int group = task_grid_model::FilterGroups()[static_cast<size_t>(step.number)];
        if (!hidden_.erase(group)) hidden_.insert(group);
        Apply();
        Refill(sortCol_);
        break;
      }
      case Op::EditorOk:
      case Op::EditorCancel:
        if (pending_) Apply();
        if (step.op == Op::EditorOk) {
          hidden_.clear();
          Refill(sortCol_);
        }
        // The dialog is active again: with nothing pending it is refilled.
        Refill(2);
        break;
      case Op::Sort:
        SortBy(step.number);
        break;
    }
  }

  std::vector<Fields> Shown() const {
    std::vector<Fields> shown;
    for (const TaskGridRow& row : rows_) shown.push_back(ShownBy(row));
    return shown;
  }
  const std::string& File() const { return file_; }

private:
  TaskGridRow& Row(const Fields& target) {
    pending_ = true;
    for (TaskGridRow& row : rows_)
      if (ShownBy(row) == target) return row;
    ADD_FAILURE() << "no grid row shows " << target.Text();
    return rows_.front();
  }
  void Apply() {
    StoreTaskGridRows(list_, rows_);
    file_ = list_.Text();
    pending_ = false;
  }
  void Refill(int sortCol) {
    rows_ = TaskGridRows(list_, std::vector<int>(hidden_.begin(), hidden_.end()));
    if (rows_.empty()) rows_.push_back({});
    SortBy(sortCol);
  }
  void SortBy(int col) {
    sortCol_ = col;
    auto key = [col](const TaskGridRow& row) { return col == 0 ? row.group : col == 1 ? row.path : row.description; };
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](const TaskGridRow& a, const TaskGridRow& b) { return AnsiCompareText(key(a), key(b)) < 0; });
  }

  TStringList list_;
  std::string file_;
  std::vector<TaskGridRow> rows_;
  std::set<int> hidden_;
  int sortCol_ = 2;
  bool pending_ = false;
};

// The file's lines; they must stand in the list's order.
std::vector<std::string> FileLines(const std::string& file, std::string& disorder) {
  TStringList lines;
  lines.SetText(file);
  std::vector<std::string> result;
  for (int i = 0; i < lines.Count(); ++i) {
    result.push_back(lines.Strings(i));
    if (i > 0 && AnsiCompareText(lines.Strings(i - 1), lines.Strings(i)) > 0) disorder = lines.Strings(i);
  }
  std::sort(result.begin(), result.end());
  return result;
}

}  // namespace

TEST(TaskGridModel, RandomEditsAppliesAndFilterClicksKeepEveryLineAsTheModelHasIt) {
  std::mt19937 random(kSeed);
  int steps = 0;
  for (int sequence = 0; sequence < kSequences; ++sequence) {
    const std::vector<std::string> lines = Model::RandomLines(random, 8);
    Model model(lines);
    HostDialog dialog(lines);
    std::string trail, lastFile, disorder;
    std::vector<std::string> file;
    for (int n = 0; n < kSteps; ++n, ++steps) {
      const Step step = model.RandomStep(random);
      const std::vector<Fields> shown = model.Shown();
      trail += "\n  " + step.Describe(shown);
      dialog.Do(step, step.row >= 0 ? shown[static_cast<size_t>(step.row)] : Fields{});
      model.Do(step);
      if (dialog.File() != lastFile) {
        lastFile = dialog.File();
        file = FileLines(lastFile, disorder);
      }
      const bool same = file == model.File() && disorder.empty() &&
                        (!model.Open() || Texts(dialog.Shown()) == Texts(model.Shown()));
      if (!same) {
        ADD_FAILURE() << "seed " << kSeed << ", sequence " << sequence << ", step " << n << trail;
        EXPECT_EQ(file, model.File());
        EXPECT_EQ(disorder, "");
        EXPECT_EQ(Texts(dialog.Shown()), Texts(model.Shown()));
        return;
      }
    }
  }
  std::printf("task grid model: seed %u, %d sequences, %d steps\n", kSeed, kSequences, steps);
}
