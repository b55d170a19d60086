#pragma once
// An application per test (message boxes recorded), a fresh language folder, and the
// program's language state put back afterwards.

#include <filesystem>
#include <string>

#include "platform/wcl/win/handles.h"  // Windows, as the library includes it

#include "lang/app_language.h"
#include "lang/lang_file_edit.h"
#include "tests/wcl/win/app_fixture.h"

class LangWinTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = (std::filesystem::temp_directory_path() / (std::string("hl_langwin_") + info->name())).string();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    LangFinalize();
    AppTest::TearDown();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string PathOf(const std::string& name) const { return dir_ + "\\" + name; }

  std::string dir_;
};
