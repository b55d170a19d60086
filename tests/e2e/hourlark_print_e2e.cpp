// The tracker's printed reports, end to end on a real printer: a work file of five weeks and
// sixty programs, the statistics window opened from the main window, and each of its three
// pages printed from the print preview's Print button through the print dialog, all with
// the mouse and the keyboard as a user gives them. The printer is a PDF printer of a print
// server private to the test (tests/e2e/hourlark_print_e2e.sh starts it and checks the PDFs
// afterwards); each job's PDF is moved into the output folder under the name the checks
// expect. A second printer of that server refuses every job: printing to it must give the
// user a message and leave the preview open.
//
// Arguments: Hourlark.exe, qatask.dll, the output folder, the folder the PDF printer writes to.

#include "platform/rtl/win/windows_api.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "e2e_support.h"

using namespace e2e;

namespace {

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// No visible form of the process but these (hint windows and the like do not count).
bool OnlyWindows(DWORD process, const std::vector<HWND>& allowed) {
  std::vector<HWND> windows;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == process && IsWindowVisible(window) && ClassOf(window) == "HlForm" &&
        std::find(allowed.begin(), allowed.end(), window) == allowed.end())
      return false;
  }
  return true;
}

// ---- Files --------------------------------------------------------------------------------

std::set<std::string> PdfNames(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "*.pdf").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.insert(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

// Waits for the PDF printer's next file (one not in before) to be written whole and moves it
// to target. False when none came.
bool TakeNewPdf(const std::string& pdfFolder, const std::set<std::string>& before, const std::string& target) {
  std::string name;
  const bool came = PollUntil([&] {
    for (const std::string& n : PdfNames(pdfFolder))
      if (!before.count(n)) {
        name = n;
        return true;
      }
    return false;
  }, 90000);
  if (!came) return false;
  // The printer writes the file under its final name: wait until its size settles.
  LONGLONG last = -1;
  for (int i = 0; i < 100; ++i) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    GetFileAttributesExA((pdfFolder + name).c_str(), GetFileExInfoStandard, &info);
    const LONGLONG size = (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > 0 && size == last) break;
    last = size;
    Sleep(300);
  }
  return MoveFileExA((pdfFolder + name).c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING) !=
         FALSE;
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Sixty programs, and five weeks of days up to today in which each program ran for a time of
// its own (the larger its number, the shorter), so the detail list runs over several pages.
void WriteData(const std::string& folder, const std::string& user) {
  std::string tasks, work;
  for (int i = 1; i <= 60; ++i)
    tasks += "C:\\Apps\\program" + Two(i) + ".exe\tProgram number " + Two(i) + "\t" + std::to_string(1 + i % 5) + "\r\n";
  SYSTEMTIME today{};
  GetLocalTime(&today);
  FILETIME now{};
  SystemTimeToFileTime(&today, &now);
  ULARGE_INTEGER day{};
  day.LowPart = now.dwLowDateTime;
  day.HighPart = now.dwHighDateTime;
  for (int back = 34; back >= 0; --back) {
    ULARGE_INTEGER at = day;
    at.QuadPart -= static_cast<ULONGLONG>(back) * 24 * 60 * 60 * 10000000ULL;
    FILETIME ft{at.LowPart, at.HighPart};
    SYSTEMTIME d{};
    FileTimeToSystemTime(&ft, &d);
    work += "[" + user + "\t" + std::to_string(d.wYear) + "_" + std::to_string(d.wMonth) + "_" +
            std::to_string(d.wDay) + "]\r\n";
    int total = 0;
    std::string lines;
    for (int i = 1; i <= 60; ++i) {
      const int seconds = (61 - i) * 20 + (back % 7) * 30;
      total += seconds;
      lines += "C:\\Apps\\program" + Two(i) + ".exe=" + Two(seconds / 3600) + ":" + Two(seconds / 60 % 60) + ":" +
               Two(seconds % 60) + "\r\n";
    }
    work += "total=" + Two(total / 3600) + ":" + Two(total / 60 % 60) + ":" + Two(total % 60) + "\r\n" + lines;
  }
  WriteText(folder + "hl20task.txt", tasks);
  WriteText(folder + "hl20work.txt", work);
}

// ---- The print dialog -----------------------------------------------------------------------

// The common print dialog's controls.
constexpr int kPrinterCombo = 0x473, kPagesRadio = 0x422, kFromEdit = 0x480, kToEdit = 0x481, kCopiesEdit = 0x482,
              kCollateBox = 0x411;

struct PrintChoice {
  int copies = 1;
  int from = 0, to = 0;  // 0: all pages
  bool brokenPrinter = false;
  bool collate = true;  // the Collate box, for more than one copy
};

// Presses the preview's Print button and answers the print dialog as a user would.
bool PrintFromPreview(DWORD process, HWND preview, const PrintChoice& choice, const std::string& shot) {
  HWND print = ChildWithText(preview, "Print...");
  if (!print) return false;
  ClickOn(print);
  HWND dialog = TopLevel(process, "#32770", "Print");
  if (!dialog) return false;
  Sleep(500);
  if (choice.brokenPrinter) {
    ClickOn(GetDlgItem(dialog, kPrinterCombo));
    Type("B");
    Key(VK_RETURN);
    Sleep(300);
  }
  if (choice.copies != 1) {
    Retype(GetDlgItem(dialog, kCopiesEdit), std::to_string(choice.copies));
    HWND collate = GetDlgItem(dialog, kCollateBox);
    PollUntil([&] { return IsWindowEnabled(collate) != FALSE; }, 3000);
    if ((IsDlgButtonChecked(dialog, kCollateBox) == BST_CHECKED) != choice.collate) ClickOn(collate);
  }
  if (choice.from > 0) {
    ClickOn(GetDlgItem(dialog, kPagesRadio));
    Retype(GetDlgItem(dialog, kFromEdit), std::to_string(choice.from));
    Retype(GetDlgItem(dialog, kToEdit), std::to_string(choice.to));
  }
  Sleep(300);
  if (!shot.empty()) Screenshot(shot);
  ClickOn(GetDlgItem(dialog, IDOK));
  return PollUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::printf("usage: hourlark_print_e2e Hourlark.exe qatask.dll output-folder pdf-folder\n");
    return 2;
  }
  const std::string out = WinPath(argv[3]) + "\\";
  const std::string pdfs = WinPath(argv[4]) + "\\";
  CreateDirectoryA(pdfs.c_str(), nullptr);
  const std::string folder = FreshTrackerFolder("hl_print_", argv[1], argv[2]);
  const std::string exe = folder + "Hourlark.exe";

  const std::string user = "ann";
  WriteData(folder, user);
  const std::string key = "Software\\Quennix\\Hourlark";
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  SetValue(key, "Version", "2.02");
  SetValue(key + "\\Options", "edUser_Text", user);
  // The statistics window opens on the last month's week table.
  for (const char* item : {"mnDay", "mnWeek", "mnTwoWeeks"}) SetValue(key + "\\Ststistic", std::string(item) + "_Checked", "False");
  SetValue(key + "\\Ststistic", "mnMonth_Checked", "True");
  SetValue(key + "\\Ststistic", "Notebook1_PageIndex", "0");

  PROCESS_INFORMATION tracker = Launch(exe, "", folder);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  Check(main.form != nullptr && main.Complete(), "the main window is found");
  if (!main.Complete()) {
    Finish(tracker, true);
    return 1;
  }
  SetForegroundWindow(main.form);
  Sleep(500);
  // The statistics button left of the user name.
  ClickIn(GetParent(main.edUser), 10, 32);
  HWND statistic = nullptr;
  PollUntil([&] {
    statistic = TopLevel(tracker.dwProcessId, "HlForm", "", 200);
    return statistic != nullptr && statistic != main.form && ChildWithText(statistic, "Print") != nullptr;
  }, 30000);
  Check(statistic != nullptr && statistic != main.form, "the statistics window opens");
  if (!statistic || statistic == main.form) {
    Finish(tracker, true);
    return 1;
  }
  Sleep(1500);

  // The period as the window shows it, for the checks of the printed texts.
  std::vector<std::string> dates;
  for (HWND child = GetWindow(ChildWindowFromPoint(statistic, POINT{5, 5}), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const std::string text = TextOf(child);
    const size_t digits = std::count_if(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (text.size() >= 8 && text.size() <= 10 && digits + 2 == text.size() &&
        text.find_first_not_of("0123456789./-") == std::string::npos)
      dates.push_back(text);
  }
  if (dates.size() == 2) {
    RECT a{}, b{};
    GetWindowRect(ChildWithText(statistic, dates[0]), &a);
    GetWindowRect(ChildWithText(statistic, dates[1]), &b);
    if (a.left > b.left) std::swap(dates[0], dates[1]);
  }
  Check(dates.size() == 2, "the period's two dates are shown");
  WriteText(out + "expected.txt", "User: " + user + "\nPeriod: " + (dates.size() == 2 ? dates[0] + " - " + dates[1] : "") + "\n");
  Screenshot(out + "print_statistics.bmp");

  // The header panel with the three page buttons.
  HWND header = ChildWindowFromPoint(statistic, POINT{5, 5});
  struct Job {
    int page;
    const char* name;
    PrintChoice choice;
  };
  const Job jobs[] = {{0, "table", {}},
                      {0, "table-2-copies", {2, 0, 0, false}},
                      {1, "chart", {}},
                      {2, "detail", {}},
                      {2, "detail-page-2", {1, 2, 2, false}},
                      {2, "detail-uncollated", {2, 1, 2, false, false}}};
  int shownPage = -1;
  HWND preview = nullptr;
  for (const Job& job : jobs) {
    if (job.page != shownPage) {
      if (preview) {
        ClickOn(ChildWithText(preview, "Close"));
        PollUntil([&] { return !IsWindow(preview) || !IsWindowVisible(preview); }, 10000);
      }
      ClickIn(header, 3 + 25 * job.page + 12, 14);
      Sleep(1000);
      // The detail view is gathered behind a wait window while the window takes no input.
      Check(PollUntil([&] { return OnlyWindows(tracker.dwProcessId, {main.form, statistic}) && IsWindowEnabled(statistic); },
                      180000),
            std::string("the page of the ") + job.name + " is ready");
      ClickOn(ChildWithText(statistic, "Print"));
      preview = TopLevel(tracker.dwProcessId, "HlForm", "Print preview");
      Check(preview != nullptr, std::string("the preview of the ") + job.name + " comes up");
      if (!preview) break;
      Sleep(1500);
      Screenshot(out + "print_preview_" + job.name + ".bmp");
      shownPage = job.page;
    }
    const std::set<std::string> before = PdfNames(pdfs);
    const bool answered = PrintFromPreview(tracker.dwProcessId, preview, job.choice,
                                           job.choice.copies != 1 || job.choice.from ? out + "print_dialog_" + job.name + ".bmp" : "");
    Check(answered, std::string("the print dialog of the ") + job.name + " is answered");
    Check(TakeNewPdf(pdfs, before, out + job.name + ".pdf"), std::string("the ") + job.name + " comes out of the printer");
    Check(IsWindowVisible(preview) != FALSE, "the preview stays open after printing");
  }

  // A printer that refuses the job: a message, and the preview is still there.
  if (preview) {
    PrintChoice broken;
    broken.brokenPrinter = true;
    PrintFromPreview(tracker.dwProcessId, preview, broken, out + "print_dialog_refusing.bmp");
    HWND message = nullptr;
    PollUntil([&] {
      message = TopLevel(tracker.dwProcessId, "#32770", "", 200);
      return message != nullptr && TextOf(message).rfind("Print", 0) != 0;
    }, 60000);
    Check(message != nullptr, "a refused job gives the user a message");
    if (message) {
      const std::string text = MessageText(message);
      std::printf("message: %s: %s\n", TextOf(message).c_str(), text.c_str());
      Check(text.find("Printing failed") != std::string::npos, "the message says that printing failed");
      Screenshot(out + "print_refused.bmp");
      ClickOn(ChildWithText(message, "OK"));
      PollUntil([&] { return !IsWindow(message); }, 10000);
    }
    Check(IsWindow(preview) && IsWindowVisible(preview), "the preview is kept after the refused job");
    ClickOn(ChildWithText(preview, "Close"));
    PollUntil([&] { return !IsWindow(preview); }, 10000);
  }

  ClickOn(ChildWithText(statistic, "Close"));
  PollUntil([&] { return !IsWindow(statistic) || !IsWindowVisible(statistic); }, 10000);
  CloseAndFinish(tracker, main.form, 15000);
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
