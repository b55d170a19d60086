#pragma once
// Registry and INI-file stores. TRegistry reads and writes values of one open key;
// TRegIniFile and TIniFile give the INI interface (sections of named text values) over a
// registry key and over an INI file through the system's profile functions.

#include "platform/wcl/win/handles.h"

#include <string>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini_file.h"

class TStrings;

HL_DECLARE_EXCEPTION(ERegistryException, Exception);

// Key paths are relative to the open key, or to the root key when they start with "\" or
// no key is open. Values are written as text (REG_SZ), integers in decimal.
class TRegistry : public TObject {
public:
  TRegistry() = default;
  std::string ClassName() const override { return "TRegistry"; }

  // HKEY_CURRENT_USER unless set; setting it closes the open key.
  HKEY RootKey() const { return root_; }
  void SetRootKey(HKEY root);
  HKEY CurrentKey() const { return current_.get(); }
  // The open key's path from the root, without a leading "\".
  const std::string& CurrentPath() const { return currentPath_; }

  // Opens key (creating it when canCreate) as the current key; false when that fails.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  bool KeyExists(const std::string& key);
  bool ValueExists(const std::string& name);

  // A missing value reads as "". A value that is not text (REG_SZ or REG_EXPAND_SZ, read
  // without expanding) raises ERegistryException.
  std::string ReadString(const std::string& name);
  // Raises ERegistryException when the value cannot be written.
  void WriteString(const std::string& name, const std::string& value);
  // Decimal text, or a REG_DWORD; raises ERegistryException for a missing value or one that
  // is no integer.
  int ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int value);

  // Deletes key with all its subkeys; an empty path (the root or the open key itself) is
  // refused. False when the key could not be deleted.
  bool DeleteKey(const std::string& key);
  bool DeleteValue(const std::string& name);
  // Each clears strings first.
  void GetKeyNames(TStrings* strings);
  void GetValueNames(TStrings* strings);

private:
  // The key the path is relative to, and the path from the root that it gives.
  HKEY BaseFor(const std::string& key, std::string& relative, std::string& fullPath) const;

  HKEY root_ = HKEY_CURRENT_USER;
  UniqueKey current_;
  std::string currentPath_;
};

// An INI store in the registry: the key at path under HKEY_CURRENT_USER (created at once),
// sections are its subkeys (a "\" in a section nests deeper), names are text values.
class TRegIniFile : public TCustomIniFile {
public:
  explicit TRegIniFile(const std::string& path);
  std::string ClassName() const override { return "TRegIniFile"; }

  // A REG_DWORD value reads as its decimal text; other non-text values give the default.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  // Raises ERegistryException when the value cannot be written.
  void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  void ReadSection(const std::string& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  // Deletes the section's subkey with everything below it; an empty section is refused.
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  void UpdateFile() override;
  bool SectionExists(const std::string& section) override;
  bool ValueExists(const std::string& section, const std::string& ident) override;

private:
  // The section's key: read access, or full access (created when missing) for writing.
  UniqueKey OpenSection(const std::string& section, bool forWriting);

  UniqueKey key_;
};

// An INI file through the profile functions. A bare file name is looked up by the system
// (in the Windows directory); give a full path to keep the file elsewhere.
class TIniFile : public TCustomIniFile {
public:
  explicit TIniFile(const std::string& fileName) : TCustomIniFile(fileName) {}
  std::string ClassName() const override { return "TIniFile"; }

  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue) override;
  // Raises EIniFileException when the file cannot be written, and for what could not be
  // read back: a line break anywhere, or a name with "=" or starting with ";" or "[".
  void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
  void ReadSection(const std::string& section, TStrings* strings) override;
  void ReadSections(TStrings* strings) override;
  void EraseSection(const std::string& section) override;
  void DeleteKey(const std::string& section, const std::string& ident) override;
  // Writes the system's cached profile data to the file.
  void UpdateFile() override;

private:
  // The double-NUL-terminated list the profile functions give for a null name.
  std::string ReadList(const char* section);
  void Write(const char* section, const char* ident, const char* value);
};
