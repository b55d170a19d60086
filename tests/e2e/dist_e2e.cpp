// End to end from the folder a user receives, run in a Wine prefix made for the run (so
// nothing is stored yet): the tracker's first start starts the quick demo beside it exactly
// once and stores "Version"; the second start does not. A language file dropped beside the
// program is offered in the Languages menu next to the base language, and choosing it
// and then the base language again switches the tracker's texts there and back. The menu
// is worked with the keyboard through the system's input path.
//
// Arguments: the installed folder, the folder for the screenshots. With a third argument, the
// screen's resolution of a second prefix: the tracker is only started there, to see that it
// scales its window by that resolution against the first run's (its manifest declares it
// aware of the resolution, so the system neither reports 96 nor stretches it).
#include "e2e_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "lang/lang_file_edit.h"

using namespace e2e;

namespace {

const char* const kDemoCaption = "Hourlark by Quennix 2.0 Quick Demo";
const char* const kDroppedLanguage = "Testing";
const char* const kDroppedToday = "Heute (Test)";

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The full paths of the running processes whose program is named `exe`.
std::vector<std::string> RunningPrograms(const std::string& exe) {
  std::vector<std::string> paths;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return paths;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (Lower(entry.szExeFile) != Lower(exe)) continue;
    std::string path = entry.szExeFile;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID)) {
      char full[MAX_PATH] = {};
      DWORD size = MAX_PATH;
      if (QueryFullProcessImageNameA(process, 0, full, &size)) path = full;
      CloseHandle(process);
    }
    paths.push_back(path);
  }
  CloseHandle(snapshot);
  return paths;
}

std::string StoredVersion() {
  char value[64] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark", "Version", RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS)
    return std::string();
  return value;
}

HWND VisibleDemoWindow() {
  HWND window = FindWindowA(nullptr, kDemoCaption);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// Watches the demo for `ms` milliseconds: the most copies seen running at once.
size_t MostDemosRunning(DWORD ms) {
  size_t most = 0;
  const DWORD start = GetTickCount();
  do {
    most = std::max(most, RunningPrograms("hl2demo.exe").size());
    Sleep(100);
  } while (GetTickCount() - start < ms);
  return most;
}

// The installed program carries its icon (MAINICON), which its windows show. Wine answers
// WM_GETICON and the class icon of another process's window with none, so the window side is
// checked inside a test program (the form tests).
bool CarriesProgramIcon(const std::string& exe) {
  HMODULE program = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const bool found = program != nullptr && FindResourceA(program, "MAINICON", MAKEINTRESOURCEA(14)) != nullptr;
  if (program != nullptr) FreeLibrary(program);
  return found;
}

int WindowWidth(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.right - r.left;
}

// The second prefix's run: the tracker's window at `dpi` against its width in the first run.
int ScaledRun(const std::string& exe, const std::string& shots, int dpi, const char* temp) {
  HDC screen = GetDC(nullptr);
  const int seen = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  Check(seen == dpi, "the prefix's screen has " + std::to_string(dpi) + " pixels per inch (" + std::to_string(seen) + ")");
  const int width96 = std::atoi(ReadFile(shots + "dist_main_width.txt").c_str());
  SetValue("Software\\Quennix\\Hourlark", "Version", "2.02");  // no demo
  PROCESS_INFORMATION tracker = Launch(exe, "", temp);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  Check(main.form != nullptr, "the tracker's window shows at " + std::to_string(dpi));
  if (main.form != nullptr) {
    const int width = WindowWidth(main.form);
    const int expected = width96 * dpi / 96;
    Check(width96 > 0 && std::abs(width - expected) * 25 <= expected,
          "the tracker's window is " + std::to_string(width) + " wide, about " + std::to_string(expected) +
              " (" + std::to_string(width96) + " at 96)");
    Sleep(500);  // painted
    Screenshot(shots + "dist_dpi" + std::to_string(dpi) + ".bmp");
    PostMessageA(main.form, WM_CLOSE, 0, 0);
  }
  Check(WaitForSingleObject(tracker.hProcess, 30000) == WAIT_OBJECT_0, "closing the tracker ends it");
  Finish(tracker, true);
  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}

HWND FindLangEdit(const MainWindow& main) {
  // The edit that keeps the chosen language's name lies outside the visible area.
  for (HWND child : main.children)
    if (ClassOf(child) == "HlEDIT" && WidthOf(child) == 20) return child;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: dist_e2e installed-folder shots-folder\n");
    return 2;
  }
  const std::string folder = WinPath(argv[1]) + "\\";
  const std::string shots = WinPath(argv[2]) + "\\";
  const std::string exe = folder + "Hourlark.exe";
  // Started from elsewhere, as from a shortcut: the tracker must find the demo by its own path.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  if (argc > 3) return ScaledRun(exe, shots, std::atoi(argv[3]), temp);

  std::string nativeToday;
  try {
    TLingroveLangFile native(folder + "native.lng");
    if (TLingroveLangStr* today = native.FindIdent(31)) nativeToday = today->GetText();
  } catch (const std::exception& e) {
    std::printf("native.lng: %s\n", e.what());
  }
  Check(!nativeToday.empty(), "native.lng beside the program holds the day-total label");
  Check(StoredVersion().empty(), "the fresh prefix holds no version yet");
  Check(RunningPrograms("hl2demo.exe").empty(), "no demo runs before the tracker starts");

  // ---- First start: the demo comes up once ----
  PROCESS_INFORMATION tracker = Launch(exe, "", temp);
  MainWindow main = FindMainWindow(tracker.dwProcessId);
  Check(main.form != nullptr, "the tracker's window shows");
  if (main.form != nullptr) {
    Check(CarriesProgramIcon(exe), "the installed tracker carries its icon");
    std::ofstream(shots + "dist_main_width.txt") << WindowWidth(main.form);
  }
  HWND demo = nullptr;
  size_t most = 0;
  Check(PollUntil([&] {
          most = std::max(most, RunningPrograms("hl2demo.exe").size());
          return (demo = VisibleDemoWindow()) != nullptr;
        }, 30000),
        "the first start shows the quick demo's window");
  most = std::max(most, MostDemosRunning(3000));
  Check(most == 1, "the first start starts hl2demo.exe exactly once (" + std::to_string(most) + ")");
  const std::vector<std::string> demos = RunningPrograms("hl2demo.exe");
  Check(demos.size() == 1 && Lower(demos[0]) == Lower(folder + "hl2demo.exe"),
        "the demo that runs is the one beside the tracker (" + (demos.empty() ? "none" : demos[0]) + ")");
  Check(StoredVersion() == "2.02", "the first start stores Version 2.02");
  Sleep(1000);  // painted
  Screenshot(shots + "dist_first_start.bmp");
  if (demo) PostMessageA(demo, WM_CLOSE, 0, 0);
  Check(PollUntil([] { return RunningPrograms("hl2demo.exe").empty(); }, 15000), "closing the demo ends it");
  if (main.form) PostMessageA(main.form, WM_CLOSE, 0, 0);
  Check(WaitForSingleObject(tracker.hProcess, 30000) == WAIT_OBJECT_0, "closing the tracker ends it");
  Finish(tracker, true);

  // A language of the user's own, dropped beside the program before the next start.
  try {
    TLingroveLangFileEdit dropped(folder + kDroppedLanguage + ".lng");
    dropped.AddString(25, "Zeiterfassung (Test)", 0);
    dropped.AddString(31, kDroppedToday, 0);
    dropped.Save();
  } catch (const std::exception& e) {
    std::printf("cannot write the language file: %s\n", e.what());
  }

  // ---- Second start: no demo ----
  tracker = Launch(exe, "", temp);
  main = FindMainWindow(tracker.dwProcessId);
  Check(main.Complete(), "the second start shows the tracker's window");
  Check(MostDemosRunning(4000) == 0 && VisibleDemoWindow() == nullptr, "the second start does not start the demo");
  Screenshot(shots + "dist_second_start.bmp");
  const HWND langEdit = main.Complete() ? FindLangEdit(main) : nullptr;
  Check(langEdit != nullptr, "the tracker's language name edit is found");

  // ---- Languages: both entries, there and back ----
  if (langEdit != nullptr) {
    std::vector<std::string> names;
    std::vector<std::string> todays;
    for (int position = 1; position <= 2; ++position) {
      const std::string before = TextOf(langEdit);
      const bool chosen = ChooseLanguageEntry(tracker.dwProcessId, position,
                                              position == 1 ? shots + "dist_languages_menu.bmp" : "");
      PollUntil([&] { return TextOf(langEdit) != before; }, 5000);
      names.push_back(TextOf(langEdit));
      todays.push_back(StatusText(main.statusBar1, 0));
      if (names.back() == kDroppedLanguage) {
        Sleep(500);  // painted
        Screenshot(shots + "dist_dropped_language.bmp");
      }
      Check(chosen, "language entry " + std::to_string(position) + " chosen: " + names.back() + ", \"" +
                        todays.back() + "\"");
    }
    const std::set<std::string> listed(names.begin(), names.end());
    Check(listed == std::set<std::string>{"native", kDroppedLanguage},
          "the Languages menu lists the base language and the dropped file");
    const int nativeAt = names[0] == "native" ? 1 : 2;
    const int droppedAt = 3 - nativeAt;
    Check(todays[droppedAt - 1] == kDroppedToday, "the dropped language's text shows");
    Check(todays[nativeAt - 1] == nativeToday, "the base language's text shows");
    // The last choice was the dropped language when it stands second; go back to the base.
    if (nativeAt == 1) {
      ChooseLanguageEntry(tracker.dwProcessId, nativeAt, "");
      PollUntil([&] { return TextOf(langEdit) == "native"; }, 5000);
    }
    Check(TextOf(langEdit) == "native" && StatusText(main.statusBar1, 0) == nativeToday,
          "switching back to the base language brings its texts back");
  }
  if (main.form) PostMessageA(main.form, WM_CLOSE, 0, 0);
  Check(WaitForSingleObject(tracker.hProcess, 30000) == WAIT_OBJECT_0, "closing the tracker ends it");
  Finish(tracker, true);

  std::printf("%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
