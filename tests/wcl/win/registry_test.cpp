#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/string_list.h"
#include "platform/wcl/win/registry.h"

namespace {

const std::string kTestRoot = "Software\\HourlarkTests";

// A key of its own under HKEY_CURRENT_USER, removed with everything below it at the end.
class RegistryTest : public ::testing::Test {
protected:
  RegistryTest() : path_(kTestRoot + "\\" + std::to_string(GetCurrentProcessId())) {}
  ~RegistryTest() override {
    TRegistry registry;
    registry.DeleteKey("\\" + path_);
    registry.DeleteKey("\\" + kTestRoot);
  }
  bool RawKeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  DWORD RawType(const std::string& path, const std::string& name) {
    DWORD type = REG_NONE;
    RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
    return type;
  }
  void RawSet(const std::string& path, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }

  std::string path_;
};

}  // namespace

TEST_F(RegistryTest, ValuesRoundTripAsText) {
  TRegistry registry;
  EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
  EXPECT_FALSE(registry.OpenKey(path_, false));  // not there yet, and not created
  ASSERT_TRUE(registry.OpenKey(path_, true));
  EXPECT_EQ(registry.CurrentPath(), path_);

  registry.WriteString("Version", "2.02");
  registry.WriteString("Accents", "\xC4\xE9\xFC");
  registry.WriteInteger("Count", -42);
  EXPECT_EQ(registry.ReadString("Version"), "2.02");
  EXPECT_EQ(registry.ReadString("Accents"), "\xC4\xE9\xFC");
  EXPECT_EQ(registry.ReadInteger("Count"), -42);
  EXPECT_EQ(RawType(path_, "Count"), static_cast<DWORD>(REG_SZ));
  EXPECT_TRUE(registry.ValueExists("Version"));
  EXPECT_EQ(registry.ReadString("Missing"), "");
  EXPECT_THROW(registry.ReadInteger("Missing"), ERegistryException);
  EXPECT_THROW(registry.ReadInteger("Version"), ERegistryException);

  DWORD number = 7;
  RawSet(path_, "Dword", REG_DWORD, &number, sizeof number);
  const BYTE blob[3] = {1, 2, 3};
  RawSet(path_, "Blob", REG_BINARY, blob, sizeof blob);
  EXPECT_EQ(registry.ReadInteger("Dword"), 7);
  EXPECT_THROW(registry.ReadString("Dword"), ERegistryException);
  EXPECT_THROW(registry.ReadString("Blob"), ERegistryException);

  TStringList names;
  registry.GetValueNames(&names);
  EXPECT_EQ(names.Count(), 5);
  EXPECT_GE(names.IndexOf("Accents"), 0);
  EXPECT_TRUE(registry.DeleteValue("Blob"));
  EXPECT_FALSE(registry.ValueExists("Blob"));
  EXPECT_FALSE(registry.DeleteValue("Blob"));

  registry.CloseKey();
  EXPECT_EQ(registry.CurrentKey(), nullptr);
  EXPECT_THROW(registry.WriteString("Version", "x"), ERegistryException);
}

TEST_F(RegistryTest, KeysOpenRelativelyAndDeleteWithAllBelow) {
  TRegistry registry;
  ASSERT_TRUE(registry.OpenKey(path_, true));
  ASSERT_TRUE(registry.OpenKey("Options", true));  // relative to the open key
  EXPECT_EQ(registry.CurrentPath(), path_ + "\\Options");
  registry.WriteString("A", "1");
  ASSERT_TRUE(registry.OpenKey("\\" + path_ + "\\Tree\\Deep\\Deeper", true));
  registry.WriteString("B", "2");
  ASSERT_TRUE(registry.OpenKey("\\" + path_, false));
  EXPECT_FALSE(registry.OpenKey("Nowhere", false));
  EXPECT_EQ(registry.CurrentPath(), path_);  // a failed open keeps the open key

  TStringList keys;
  registry.GetKeyNames(&keys);
  EXPECT_EQ(keys.Count(), 2);
  EXPECT_TRUE(registry.KeyExists("Tree\\Deep"));
  EXPECT_TRUE(registry.DeleteKey("Tree"));
  EXPECT_FALSE(RawKeyExists(path_ + "\\Tree"));
  EXPECT_TRUE(RawKeyExists(path_ + "\\Options"));
  EXPECT_FALSE(registry.DeleteKey("Tree"));

  // An empty path would mean the open key or the whole root: refused.
  EXPECT_FALSE(registry.DeleteKey(""));
  EXPECT_FALSE(registry.DeleteKey("\\"));
  EXPECT_TRUE(RawKeyExists(path_ + "\\Options"));
}

TEST_F(RegistryTest, RegIniFileMapsSectionsToSubkeys) {
  {
    TRegIniFile ini(path_);
    EXPECT_TRUE(RawKeyExists(path_));  // made at once
    ini.WriteString("Options", "User", "anna");
    ini.WriteInteger("Options", "Period", 15);
    ini.WriteBool("Options", "Auto", true);
    ini.WriteString("TformStatistic\\Grid", "Width", "120");
    ini.WriteString("Options", "Bad", "twelve");
  }
  TRegIniFile ini(path_);
  EXPECT_EQ(ini.ReadString("Options", "User", "?"), "anna");
  EXPECT_EQ(ini.ReadInteger("Options", "Period", 0), 15);
  EXPECT_TRUE(ini.ReadBool("Options", "Auto", false));
  EXPECT_EQ(ini.ReadInteger("Options", "Bad", -1), -1);
  EXPECT_EQ(ini.ReadString("Options", "Missing", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("NoSection", "User", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("TformStatistic\\Grid", "Width", ""), "120");
  EXPECT_EQ(RawType(path_ + "\\Options", "Period"), static_cast<DWORD>(REG_SZ));
  DWORD number = 9;
  RawSet(path_ + "\\Options", "Stored", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(ini.ReadInteger("Options", "Stored", 0), 9);

  TStringList names;
  ini.ReadSections(&names);
  EXPECT_EQ(names.Count(), 2);
  ini.ReadSection("Options", &names);
  EXPECT_EQ(names.Count(), 5);
  EXPECT_TRUE(ini.SectionExists("TformStatistic"));
  EXPECT_TRUE(ini.ValueExists("Options", "User"));
  ini.DeleteKey("Options", "User");
  EXPECT_FALSE(ini.ValueExists("Options", "User"));

  ini.EraseSection("TformStatistic");
  EXPECT_FALSE(RawKeyExists(path_ + "\\TformStatistic"));
  ini.EraseSection("");
  EXPECT_TRUE(RawKeyExists(path_ + "\\Options"));
}

namespace {

class IniFileTest : public ::testing::Test {
protected:
  IniFileTest() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    char name[MAX_PATH];
    GetTempFileNameA(folder, "hli", 0, name);
    fileName_ = name;
  }
  ~IniFileTest() override {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
    DeleteFileA(fileName_.c_str());
  }
  std::string fileName_;
};

}  // namespace

TEST_F(IniFileTest, ValuesSectionsAndRefusals) {
  TIniFile ini(fileName_);
  ini.WriteString("Main", "Name", "value with = sign");
  ini.WriteInteger("Main", "Count", 12);
  std::string longValue(5000, 'x');
  ini.WriteString("Long", "Text", longValue);
  ini.UpdateFile();

  TIniFile again(fileName_);
  EXPECT_EQ(again.ReadString("Main", "Name", ""), "value with = sign");
  EXPECT_EQ(again.ReadInteger("Main", "Count", 0), 12);
  EXPECT_EQ(again.ReadString("Long", "Text", ""), longValue);
  EXPECT_EQ(again.ReadString("Main", "Missing", "dflt"), "dflt");

  TStringList names;
  again.ReadSections(&names);
  EXPECT_EQ(names.Count(), 2);
  again.ReadSection("Main", &names);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names.Strings(0), "Name");
  EXPECT_TRUE(again.ValueExists("Main", "Count"));

  // What the file could not give back is refused, and the file keeps its keys.
  EXPECT_THROW(again.WriteString("Main", "Name", "one\r\n[Injected]\r\nx=1"), EIniFileException);
  EXPECT_THROW(again.WriteString("Main", "a=b", "1"), EIniFileException);
  EXPECT_THROW(again.WriteString("Main", ";note", "1"), EIniFileException);
  again.ReadSections(&names);
  EXPECT_EQ(names.Count(), 2);
  EXPECT_EQ(again.ReadString("Main", "Name", ""), "value with = sign");

  again.DeleteKey("Main", "Count");
  EXPECT_EQ(again.ReadString("Main", "Count", "gone"), "gone");
  again.EraseSection("Long");
  again.ReadSections(&names);
  EXPECT_EQ(names.Count(), 1);
}
