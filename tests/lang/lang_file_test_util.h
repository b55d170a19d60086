#pragma once
// Helpers shared by the language-file tests: a scratch folder and a builder for file images
// written byte by byte, so the tests state the layout independently of the writer.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/rtl/format_settings.h"

// A fresh folder per test, removed afterwards; the process format settings are pinned and
// put back.
class LangFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           (std::string("hl_lang_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    savedSettings_ = FormatSettings();
    FormatSettings() = DefaultFormatSettings();
  }
  void TearDown() override {
    FormatSettings() = savedSettings_;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  void WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream out(PathOf(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string ReadBytes(const std::string& name) const {
    std::ifstream in(PathOf(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path dir_;
  TFormatSettings savedSettings_;
};

// Little-endian byte image builder.
struct Bytes {
  std::string b;
  Bytes& Raw(const std::string& s) {
    b += s;
    return *this;
  }
  Bytes& U8(unsigned v) {
    b.push_back(static_cast<char>(v & 0xFF));
    return *this;
  }
  Bytes& U16(unsigned v) { return U8(v).U8(v >> 8); }
  Bytes& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& P(const std::string& s) { return U8(static_cast<unsigned>(s.size())).Raw(s); }
  Bytes& Zeros(size_t n) { return Raw(std::string(n, '\0')); }
};

// A locale block with a value in every field; the currency text is two bytes over its
// capacity of 10 so that readers must consume and cut it.
inline std::string SampleLocaleBlock() {
  Bytes l;
  l.P("EURxxxxxxxyz").U8(3).U8(8).Raw(".").Raw(",").U8(2).Raw("-");
  l.P("dd-mm-yyyy").P("dddd d mmmm yyyy").Raw("h").P("vorm").P("nachm").P("hh:nn").P("hh:nn:ss");
  for (int i = 1; i <= 12; ++i) l.P("m" + std::to_string(i));
  for (int i = 1; i <= 12; ++i) l.P("month" + std::to_string(i));
  for (int i = 1; i <= 7; ++i) l.P("d" + std::to_string(i));
  for (int i = 1; i <= 7; ++i) l.P("day" + std::to_string(i));
  for (int i = 1; i <= 7; ++i) l.P("era" + std::to_string(i));
  for (int i = 1; i <= 7; ++i) l.U32(static_cast<uint32_t>(1900 + i));
  l.U16(30).Raw(";");
  return l.b;
}
