// Soak test of the tracker's saving: starts the real Hourlark.exe again and again in one
// folder, has it track and save (Stop saves the task list and the day) at a random pace, and
// ends it by force at a random moment. After every end hl20task.txt and hl20work.txt must
// each be a whole file, the old one or the new one; the next start must read them (the
// programs and the day's time seen so far are still there after its first save); and the
// temporary files a save ended half-way left behind must be gone once it has started.
//
// Arguments: Hourlark.exe, qatask.dll, the number of rounds.
#include <algorithm>
#include <cstdlib>
#include <set>

#include "e2e_support.h"

using namespace e2e;

namespace {

// The lines of a whole task list (each line three fields, CR LF at the end), or false.
bool TaskLines(const std::string& text, std::set<std::string>& lines) {
  lines.clear();
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find("\r\n", at);
    const std::string line = text.substr(at, end - at);
    if (std::count(line.begin(), line.end(), '\t') != 2) return false;
    lines.insert(line);
    at = end + 2;
  }
  return true;
}

// The seconds of the day's total in a whole work file (-1 when it is not whole).
long WorkTotal(const std::string& text, const std::string& section) {
  const size_t head = text.find("[" + section + "]\r\ntotal=");
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0 || head == std::string::npos) return -1;
  int h = 0, m = 0, s = 0;
  if (std::sscanf(text.c_str() + head + section.size() + 10, "%d:%d:%d", &h, &m, &s) != 3) return -1;
  return h * 3600L + m * 60 + s;
}

// The temporary files of saves of the tracker's files in the folder.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "hl20*.~*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: hourlark_soak Hourlark.exe qatask.dll rounds\n");
    return 2;
  }
  const int rounds = std::atoi(argv[3]);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "hl_soak_" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string exe = folder + "Hourlark.exe";
  CopyFileA(WinPath(argv[1]).c_str(), exe.c_str(), FALSE);
  CopyFileA(WinPath(argv[2]).c_str(), (folder + "qatask.dll").c_str(), FALSE);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quennix\\Hourlark");
  const std::string user = "soakuser";
  const std::string taskPath = folder + "hl20task.txt", workPath = folder + "hl20work.txt";
  std::srand(GetTickCount());

  std::string foreign;
  std::set<std::string> before, after;
  long total = -1;
  int whole = 0, readBack = 0, started = 0, leftBehind = 0, cleaned = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::vector<std::string> stale = Leftovers(folder);
    leftBehind += static_cast<int>(stale.size());
    PROCESS_INFORMATION tracker = Launch(exe, "", folder);
    MainWindow main = FindMainWindow(tracker.dwProcessId);
    if (!main.Complete()) {
      std::printf("round %d: the window did not come up\n", round);
      Finish(tracker, true);
      continue;
    }
    ++started;
    // Start-up is over once the window shows: the leftovers of ended saves are gone.
    const std::vector<std::string> now = Leftovers(folder);
    bool clean = true;
    for (const std::string& name : stale) clean = clean && std::find(now.begin(), now.end(), name) == now.end();
    cleaned += clean ? static_cast<int>(stale.size()) : 0;
    if (!clean) std::printf("round %d: a temporary file of an ended save is still there\n", round);

    if (TextOf(main.edUser) != user) SetText(main.edUser, user);
    // The first save of this run: what the files held must still be there.
    Click(main.btStart);
    Click(main.btStop);
    const std::string section = TodaySection(user);
    const long firstTotal = WorkTotal(ReadFile(workPath), section);
    const bool tasksKept = TaskLines(ReadFile(taskPath), after) &&
                           std::includes(after.begin(), after.end(), before.begin(), before.end());
    if (round == 0 || (tasksKept && firstTotal >= total)) ++readBack;
    else std::printf("round %d: the files saved before were not read back (total %ld, was %ld)\n", round, firstTotal, total);

    // Saves at a random pace, then the end at a random moment among them.
    const DWORD deadline = GetTickCount() + 100 + std::rand() % 1500;
    while (GetTickCount() < deadline) {
      PostClick(main.btStart);
      if (std::rand() % 3 == 0) Sleep(std::rand() % 1100);  // a second ticks: time is counted
      PostClick(main.btStop);
      Sleep(std::rand() % 15);
    }
    const DWORD ended = tracker.dwProcessId;
    Finish(tracker, true);
    // Ends rarely fall inside a save's few bytes; every other round leaves a temporary file
    // as such an end would, under the ended tracker's process id.
    if (round == 0) {
      foreign = folder + "notes.txt.~" + std::to_string(ended) + "-1.tmp";
      std::ofstream(foreign, std::ios::binary) << "mine";
    }
    if (round % 2 == 0) {
      static const char* const names[] = {"hl20task.txt", "hl20work.txt", "hl20grp.txt"};
      const std::string name = folder + names[round / 2 % 3] + ".~" + std::to_string(ended) + "-7.tmp";
      std::ofstream(name, std::ios::binary) << "half";
    }

    const long newTotal = WorkTotal(ReadFile(workPath), section);
    const bool ok = TaskLines(ReadFile(taskPath), before) && newTotal >= 0;
    if (ok) {
      ++whole;
      total = newTotal;
    } else {
      std::printf("round %d left a broken file\n", round);
    }
  }
  std::printf("%d rounds: %d started, %d left whole files, %d read back, %d leftovers of ended saves, "
              "%d removed at the next start\n",
              rounds, started, whole, readBack, leftBehind, cleaned);
  Check(started == rounds, "the tracker started every round");
  Check(whole == rounds, "after every forced end both files are whole");
  Check(readBack == started, "every start read the files the last one saved");
  Check(leftBehind > 0 && cleaned == leftBehind, "every start removed the temporary files of ended saves");
  Check(!foreign.empty() && ReadFile(foreign) == "mine", "a temporary file of another file is left alone");
  return failures == 0 ? 0 : 1;
}
