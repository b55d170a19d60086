#pragma once
// The Japanese double-byte code page 932 played for the portable code, whatever the system's
// code page is: lead bytes 0x81-0x9F and 0xE0-0xFC. Tests of this group run on the host and
// once more under a Wine started with that code page, where the system's own table must be
// the same (HL_EXPECT_CODE_PAGE_932 set).

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/rtl/ansi_chars.h"

// Characters whose trail byte has the value of a character that matters on its own.
#define CP932_HYO "\x95\x5C"  // trail byte '\'
#define CP932_PO "\x83\x7C"   // trail byte '|'
#define CP932_ZE "\x83\x5B"   // trail byte '['
#define CP932_A "\x83\x41"    // trail byte 'A'
#define CP932_DI "\x83\x61"   // trail byte 'a': folding it as a letter would make it CP932_A

inline TAnsiLeadBytes CodePage932LeadBytes() { return AnsiLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}}); }

inline bool RunsUnderCodePage932() { return std::getenv("HL_EXPECT_CODE_PAGE_932") != nullptr; }

// Plays code page 932 for its lifetime.
class CodePage932Scope {
public:
  CodePage932Scope() : saved_(AnsiLeadBytes()) { SetAnsiLeadBytes(CodePage932LeadBytes()); }
  ~CodePage932Scope() { SetAnsiLeadBytes(saved_); }
  CodePage932Scope(const CodePage932Scope&) = delete;
  CodePage932Scope& operator=(const CodePage932Scope&) = delete;

private:
  TAnsiLeadBytes saved_;
};

class CodePage932Test : public ::testing::Test {
  CodePage932Scope codePage_;
};
