#pragma once
// A plain model of the options dialog's task page against hl20task.txt, and random
// sequences of what a user does there. In the model every task line is a record that keeps
// its identity for as long as the dialog is open, and every grid row points at its record:
// Apply writes a changed row onto its own record when the row's path is still the record's
// path in some letter case, and nothing else. The file then holds the records' texts,
// sorted. A driver performs the same steps on the real thing (the task-grid functions on
// the host, the dialog itself under Wine) and compares it with the model after each step.

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace task_grid_model {

struct Fields {
  std::string group, path, description;
  bool operator==(const Fields& o) const {
    return group == o.group && path == o.path && description == o.description;
  }
  // As the tests print a grid row.
  std::string Text() const { return group + "|" + path + "|" + description; }
};

inline std::string Fold(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

inline Fields Split(const std::string& line) {
  Fields f;
  const size_t a = line.find('\t');
  if (a == std::string::npos) return {"", "", line};
  f.path = line.substr(0, a);
  const size_t b = line.find('\t', a + 1);
  f.description = line.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
  if (b != std::string::npos) f.group = line.substr(b + 1);
  return f;
}

inline std::string Join(const Fields& f) { return f.path + "\t" + f.description + "\t" + f.group; }

// The filter's items in the order the dialog lists them: their group numbers.
inline const std::vector<int>& FilterGroups() {
  static const std::vector<int> groups{1, 2, 3, 4, 5, 0, 6};
  return groups;
}

enum class Op { Show, EditDescription, EditPath, PickGroup, Setting, Apply, Ok, Cancel, Filter, EditorOk, EditorCancel, Sort };

inline const char* OpName(Op op) {
  static const char* const names[] = {"show",   "description", "path",   "group",  "setting",       "apply",
                                      "ok",     "cancel",      "filter", "editor ok", "editor cancel", "sort"};
  return names[static_cast<int>(op)];
}

// One user action. row: the model row acted on; text: the cell's new text; number: the
// group picked, the filter item clicked or the column sorted by.
struct Step {
  Op op = Op::Show;
  int row = -1;
  std::string text;
  int number = 0;
  std::string Describe(const std::vector<Fields>& shown) const {
    std::string s = OpName(op);
    if (row >= 0) s += " on [" + shown[static_cast<size_t>(row)].Text() + "]";
    if (op == Op::EditDescription || op == Op::EditPath) s += " := \"" + text + "\"";
    if (op == Op::PickGroup || op == Op::Filter || op == Op::Sort) s += " " + std::to_string(number);
    return s;
  }
};

class Model {
public:
  explicit Model(std::vector<std::string> lines) : records_(std::move(lines)), written_(records_) {}

  bool Open() const { return open_; }
  bool Pending() const { return pending_; }
  // What the grid shows, one entry per row, in no particular order.
  std::vector<Fields> Shown() const {
    std::vector<Fields> shown;
    for (const Row& row : rows_) shown.push_back(row.shown);
    return shown;
  }
  // The lines hl20task.txt must hold, in byte order (the file sorts them its own way).
  std::vector<std::string> File() const {
    std::vector<std::string> lines = written_;
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  // Whether the file was written by the dialog at all yet.
  bool Written() const { return everWritten_; }
  bool Hidden(int group) const { return hidden_.count(group) != 0; }

  void Do(const Step& step) {
    switch (step.op) {
      case Op::Show:
        open_ = true;
        hidden_.clear();
        Refill();
        pending_ = false;
        break;
      case Op::EditDescription:
        Edit(step.row).description = step.text;
        break;
      case Op::EditPath:
        Edit(step.row).path = step.text;
        break;
      case Op::PickGroup:
        Edit(step.row).group = std::to_string(step.number);
        break;
      case Op::Setting:
        pending_ = true;
        break;
      case Op::Apply:
        Apply();
        break;
      case Op::Ok:
        if (pending_) Apply();
        open_ = false;
        break;
      case Op::Cancel:
        open_ = false;
        break;
      case Op::Filter: {
        const int group = FilterGroups()[static_cast<size_t>(step.number)];
        if (!hidden_.erase(group)) hidden_.insert(group);
        Apply();  // whether anything is pending or not
        Refill();
        break;
      }
      case Op::EditorOk:
      case Op::EditorCancel:
        if (pending_) Apply();
        if (step.op == Op::EditorOk) hidden_.clear();
        Refill();
        break;
      case Op::Sort:
        break;
    }
  }

  // A random step the dialog allows now. A row is chosen only when the grid shows no other
  // row alike that would write differently (a driver finds a row by what it shows).
  Step RandomStep(std::mt19937& random) const {
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    Step step;
    if (!open_) return step;
    static const Op ops[] = {Op::EditDescription, Op::EditDescription, Op::EditDescription, Op::EditPath,
                             Op::EditPath,        Op::PickGroup,       Op::PickGroup,       Op::Setting,
                             Op::Apply,           Op::Apply,           Op::Ok,              Op::Cancel,
                             Op::Filter,          Op::Filter,          Op::EditorOk,        Op::EditorCancel,
                             Op::Sort};
    step.op = ops[pick(static_cast<int>(sizeof ops / sizeof ops[0]))];
    if (step.op == Op::EditDescription || step.op == Op::EditPath || step.op == Op::PickGroup) {
      step.row = pick(static_cast<int>(rows_.size()));
      if (!Distinct(step.row)) return Step{Op::Apply, -1, "", 0};
    }
    static const char* const descriptions[] = {"DupA", "DupB", "zed", "", "Mail", "yy", "Same"};
    switch (step.op) {
      case Op::EditDescription:
        step.text = descriptions[pick(7)];
        if (pick(2) == 0) step.text += rows_[static_cast<size_t>(step.row)].shown.description;
        break;
      case Op::EditPath: {
        // Mostly the path in another letter case, else some other path (a task's or none).
        const std::string& path = rows_[static_cast<size_t>(step.row)].shown.path;
        if (pick(3) != 0 && !path.empty()) {
          for (char c : path) step.text += static_cast<char>(pick(2) ? std::toupper(c) : std::tolower(c));
        } else {
          step.text = Paths()[static_cast<size_t>(pick(static_cast<int>(Paths().size())))];
        }
        break;
      }
      case Op::PickGroup:
        step.number = FilterGroups()[static_cast<size_t>(pick(7))];
        break;
      case Op::Filter:
        step.number = pick(7);
        break;
      case Op::Sort:
        step.number = pick(3);
        break;
      default:
        break;
    }
    return step;
  }

  // Paths of the task lines the sequences start with: shared, case variants, empty.
  static const std::vector<std::string>& Paths() {
    static const std::vector<std::string> paths{"c:\\dup.exe", "C:\\Dup.exe", "c:\\DUP.EXE", "c:\\one.exe",
                                                "c:\\two.exe", ""};
    return paths;
  }

  // A task file of a few lines over those paths (some twins, some hidden, some without a
  // group) in the order the file keeps them (the driver sorts).
  static std::vector<std::string> RandomLines(std::mt19937& random, int most) {
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    static const char* const descriptions[] = {"DupA", "DupB", "DupC", "Mail", "Same", ""};
    static const char* const groups[] = {"1", "1", "2", "3", "0", "6", "", "07"};
    std::vector<std::string> lines;
    const int count = pick(most + 1);
    for (int i = 0; i < count; ++i) {
      if (i > 0 && pick(6) == 0) {
        lines.push_back(lines[static_cast<size_t>(pick(i))]);  // a twin
        continue;
      }
      lines.push_back(Join({groups[pick(8)], Paths()[static_cast<size_t>(pick(static_cast<int>(Paths().size())))],
                            descriptions[pick(6)]}));
    }
    return lines;
  }

private:
  struct Row {
    int record;  // -1: the empty row of a grid that lists no task
    Fields shown;
  };

  Fields& Edit(int row) {
    pending_ = true;
    return rows_[static_cast<size_t>(row)].shown;
  }

  // No other row shows the same texts while it would write another line's text.
  bool Distinct(int row) const {
    const Row& chosen = rows_[static_cast<size_t>(row)];
    for (const Row& other : rows_)
      if (other.shown == chosen.shown && RecordText(other.record) != RecordText(chosen.record)) return false;
    return true;
  }
  std::string RecordText(int record) const {
    return record < 0 ? std::string("(none)") : records_[static_cast<size_t>(record)];
  }

  void Refill() {
    rows_.clear();
    for (size_t i = 0; i < records_.size(); ++i) {
      const Fields f = Split(records_[i]);
      bool hidden = f.group.empty();
      for (int group : hidden_) hidden = hidden || f.group == std::to_string(group);
      if (!hidden) rows_.push_back({static_cast<int>(i), f});
    }
    if (rows_.empty()) rows_.push_back({-1, {}});
  }

  void Apply() {
    for (const Row& row : rows_) {
      if (row.record < 0) continue;
      std::string& line = records_[static_cast<size_t>(row.record)];
      if (Fold(Split(line).path) == Fold(row.shown.path)) line = Join(row.shown);
    }
    written_ = records_;
    everWritten_ = true;
    pending_ = false;
  }

  std::vector<std::string> records_;
  std::vector<std::string> written_;
  std::vector<Row> rows_;
  std::set<int> hidden_;
  bool open_ = false;
  bool pending_ = false;
  bool everWritten_ = false;
};

}  // namespace task_grid_model
