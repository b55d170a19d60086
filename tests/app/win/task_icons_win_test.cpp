// The task icons taken from real files by the icon holder's worker thread, and what the
// holder publishes on the window thread.

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "app/win/global_form.h"
#include "kit/str_holder.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"
#include "tests/wcl/win/app_fixture.h"

namespace {

std::string TempFolderPath() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return folder;
}

std::string ProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

// Writes a 16 x 16 icon file: a real file with one icon in it.
void WriteIconFile(const std::string& fileName) {
  BYTE andBits[16 * 16 / 8];
  BYTE xorBits[16 * 16 / 8];
  for (int i = 0; i < 32; ++i) {
    andBits[i] = 0x00;
    xorBits[i] = static_cast<BYTE>(i % 2 ? 0xF0 : 0x0F);
  }
  TIcon icon;
  icon.SetHandle(CreateIcon(GetModuleHandleA(nullptr), 16, 16, 1, 1, andBits, xorBits));
  TFileStream stream(fileName, fmCreate);
  icon.SaveToStream(stream);
}

std::string Line(const std::string& path) { return path + "\tTask\t1"; }

// The program files, slowly, counting how often each file was asked for.
class SlowSource : public TaskIconSource {
public:
  int IconCount(const std::string& path) override {
    {
      std::lock_guard<std::mutex> lock(mutex);
      ++counted[path];
    }
    Sleep(delayMs);
    return files.IconCount(path);
  }
  TaskIcon SmallIcon(const std::string& path) override { return files.SmallIcon(path); }
  int Counted(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex);
    return counted[path];
  }

  TWinTaskIconSource files;
  std::mutex mutex;
  std::map<std::string, int> counted;
  DWORD delayMs = 0;
};

// A visible window that shows task icons.
class Viewer : public TForm, public TTaskIconViewer {
public:
  explicit Viewer(TComponent* owner) : TForm(owner) {}
  void TaskIconsApplied() override { ++told; }
  int told = 0;
};

class TaskIconsWin : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    folder_ = TempFolderPath() + "hl_task_icons_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (int i = 0; i < 6; ++i) {
      icons_.push_back(folder_ + "tool" + std::to_string(i) + ".ico");
      WriteIconFile(icons_.back());
    }
    text_ = folder_ + "readme.txt";
    TFileStream(text_, fmCreate).Write("text", 4);
    global_ = Application->CreateForm<TformGlobal>();
  }
  void TearDown() override {
    AppTest::TearDown();
    for (const std::string& file : icons_) DeleteFileA(file.c_str());
    DeleteFileA(text_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  bool WaitForLoad() {
    return PumpUntil([this] { return !global_->Loading(); }, 20000);
  }

  // Every name of the published list has its image beside it.
  void ExpectPublishedTogether() {
    EXPECT_EQ(global_->ilIcons->Count(), global_->slIcons->Strings()->Count());
  }

  std::string folder_;
  std::vector<std::string> icons_;
  std::string text_;
  TformGlobal* global_ = nullptr;
};

}  // namespace

TEST_F(TaskIconsWin, ProgramFilesGiveTheirIconCountAndASmallIcon) {
  TWinTaskIconSource files;
  EXPECT_EQ(files.IconCount(icons_[0]), 1);
  TaskIcon icon = files.SmallIcon(icons_[0]);
  ASSERT_TRUE(icon);
  EXPECT_NE(TWinTaskIconSource::IconOf(icon)->Handle(), nullptr);
  // A program with icons: the system's text editor.
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string editor = std::string(system) + "\\notepad.exe";
  EXPECT_GT(files.IconCount(editor), 0);
  EXPECT_TRUE(files.SmallIcon(editor));
  // The test program carries no icon; a text file and a path that is gone have none.
  EXPECT_EQ(files.IconCount(ProgramPath()), 0);
  EXPECT_EQ(files.IconCount(text_), 0);
  EXPECT_EQ(files.IconCount(folder_ + "gone.exe"), 0);
  EXPECT_FALSE(files.SmallIcon(folder_ + "gone.exe"));
}

TEST_F(TaskIconsWin, ALoadPublishesNamesAndImagesTogetherAndTellsTheViewers) {
  auto* viewer = Application->CreateForm<Viewer>();
  viewer->SetBounds(10, 10, 100, 60);
  viewer->Show();
  auto* hidden = Application->CreateForm<Viewer>();
  TStrHolder tasks(nullptr);
  tasks.Strings()->Add(Line(icons_[2]));
  tasks.Strings()->Add(Line(ProgramPath()));
  tasks.Strings()->Add(Line(text_));
  tasks.Strings()->Add(Line(icons_[0]));
  tasks.Strings()->Add(Line(folder_ + "gone.exe"));
  tasks.Strings()->Add(Line(icons_[2]));
  global_->SetTaskList(&tasks);
  global_->StartIconLoader();
  // The list was copied: the window thread may change it at once.
  tasks.Strings()->Clear();
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(global_->slIcons->Strings()->Text(), icons_[0] + "\t\r\n" + icons_[2] + "\t\r\n");
  EXPECT_EQ(global_->ilIcons->Count(), 2);
  EXPECT_EQ(viewer->told, 1);
  EXPECT_EQ(hidden->told, 0);

  // Icons switched off: everything is forgotten, and a later load extracts them again.
  global_->ClearIcons();
  EXPECT_EQ(global_->slIcons->Strings()->Count(), 0);
  EXPECT_EQ(global_->ilIcons->Count(), 0);
  global_->StartIconLoader({Line(icons_[1])});
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(global_->slIcons->Strings()->Text(), icons_[1] + "\t\r\n");
  ExpectPublishedTogether();
}

TEST_F(TaskIconsWin, ANewLoadStopsTheRunningOneAndTheHolderStopsItsLoadBeforeGoingAway) {
  SlowSource source;
  source.delayMs = 150;
  global_->SetIconSource(&source);
  std::vector<std::string> lines;
  for (const std::string& icon : icons_) lines.push_back(Line(icon));
  global_->StartIconLoader(lines);
  ASSERT_TRUE(PumpUntil([&] { return source.Counted(icons_[1]) > 0; }));
  EXPECT_TRUE(global_->Loading());
  // Nothing is published while a load runs.
  EXPECT_EQ(global_->slIcons->Strings()->Count(), 0);
  source.delayMs = 0;
  global_->StartIconLoader(lines);
  ASSERT_TRUE(WaitForLoad());
  EXPECT_EQ(global_->slIcons->Strings()->Count(), 6);
  ExpectPublishedTogether();
  // What the stopped load had found was not extracted again.
  EXPECT_EQ(source.Counted(icons_[0]), 1);
  EXPECT_EQ(source.Counted(icons_[5]), 1);

  global_->ClearIcons();
  source.delayMs = 100;
  global_->StartIconLoader(lines);
  ASSERT_TRUE(PumpUntil([&] { return source.Counted(icons_[0]) > 1; }));
  delete global_;
  global_ = nullptr;
  // The worker was stopped before the lists it fills went away.
  EXPECT_EQ(source.Counted(icons_[5]), 1);
}
