#pragma once
// A registry key and a folder of the test's own, both removed at the end, the screen size
// pinned to 1024 x 768, and helpers to look at what was stored without the stores.

#include "platform/rtl/win/windows_api.h"

#include <filesystem>
#include <string>

#include "platform/rtl/string_list.h"
#include "platform/rtl/sysutils.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/registry.h"
#include "tests/wcl/win/app_fixture.h"

class StoreTest : public AppTest {
protected:
  static constexpr const char* kRoot = "Software\\HourlarkKitTests";

  void SetUp() override {
    AppTest::SetUp();
    previousSize_ = SetScreenSizeEdge(&Screen1024);
    key = std::string(kRoot) + "\\" + std::to_string(GetCurrentProcessId());
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder = std::string(temp) + "hlkit" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override {
    TRegistry registry;
    registry.DeleteKey("\\" + key);
    registry.DeleteKey(std::string("\\") + kRoot);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    SetScreenSizeEdge(previousSize_);
    AppTest::TearDown();
  }

  // The text of a registry value under the test key, "<none>" when absent.
  std::string RegValue(const std::string& section, const std::string& name) {
    TRegIniFile store(key);
    return store.ReadString(section, name, "<none>");
  }
  void RegSet(const std::string& section, const std::string& name, const std::string& value) {
    TRegIniFile store(key);
    store.WriteString(section, name, value);
  }
  // A value of another type than text.
  void RegSetRaw(const std::string& section, const std::string& name, DWORD type,
                 const std::string& bytes) {
    HKEY raw = nullptr;
    const std::string path = key + "\\" + section;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &raw, nullptr),
              ERROR_SUCCESS);
    UniqueKey owned(raw);
    RegSetValueExA(owned.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
  }
  // A line of an INI file as the file holds it.
  std::string FileLine(const std::string& file, const std::string& section, const std::string& name) {
    // The file's own text, quotes and all.
    TStringList lines;
    if (FileExists(file)) lines.LoadFromFile(file);
    const std::string text = "\n" + lines.Text();
    const size_t sectionAt = text.find("[" + section + "]");
    if (sectionAt == std::string::npos) return "<none>";
    const size_t at = text.find("\n" + name + "=", sectionAt);
    if (at == std::string::npos) return "<none>";
    const size_t start = at + name.size() + 2;
    return text.substr(start, text.find_first_of("\r\n", start) - start);
  }

  std::string key;
  std::string folder;

private:
  static TScreenSize Screen1024() { return TScreenSize{1024, 768}; }
  TScreenSizeEdge previousSize_ = nullptr;
};
