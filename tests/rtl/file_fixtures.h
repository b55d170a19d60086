#pragma once
// Test support: a private folder under the system's temporary folder, removed with its
// content when the test ends; raw file access that does not go through the runtime; and a
// file replacement that fails for as long as it is in scope.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/file_replace.h"

class TempFolder {
public:
  TempFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("hl_rtl_" + std::to_string(random()) + "_" + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Path() const { return path_.string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // The names of the files in the folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    return names;
  }

private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& fileName, const std::string& bytes) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class FailingReplace {
public:
  FailingReplace()
      : previous_(SetFileReplaceFunc([](const std::string&, const std::string&) {
          return std::string("simulated failure");
        })) {}
  ~FailingReplace() { SetFileReplaceFunc(previous_); }
  FailingReplace(const FailingReplace&) = delete;
  FailingReplace& operator=(const FailingReplace&) = delete;

private:
  TFileReplaceFunc previous_;
};
