#pragma once
// String, number and file-name helpers of the runtime. All text is 8-bit ANSI held in
// std::string; bytes are compared as unsigned values.
//
// Locale-aware comparison and case mapping go through the user's locale on Windows. On other
// hosts (where only the portable code is built and tested) they use a fixed Windows-1252
// case fold, so sorted lists behave the same way wherever the tests run. A sorted list must
// always search with the comparison it was sorted with.

#include <cstdint>
#include <string>

// ---- Numbers ---------------------------------------------------------------------------

std::string IntToStr(int64_t value);

// Accept an optional sign followed by decimal digits and nothing else; raise EConvertError
// ("'x' is not a valid integer value") for anything else or a value out of range.
int StrToInt(const std::string& s);
int StrToIntDef(const std::string& s, int defaultValue);
bool TryStrToInt(const std::string& s, int& value);
int64_t StrToInt64(const std::string& s);
int64_t StrToInt64Def(const std::string& s, int64_t defaultValue);
bool TryStrToInt64(const std::string& s, int64_t& value);

// General format with 15 significant digits ("0.1", "1234.5", "1E20", "1.5E-7").
std::string FloatToStr(double value, char decimalSeparator = '.');
// Accept [sign] digits [separator digits] [E [sign] digits] and nothing else.
double StrToFloat(const std::string& s, char decimalSeparator = '.');
bool TryStrToFloat(const std::string& s, double& value, char decimalSeparator = '.');

// ---- Text ------------------------------------------------------------------------------

// Remove leading and/or trailing bytes up to and including the blank (control characters).
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

// ASCII letters only; the bytes of double-byte characters are never folded.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
// ASCII case-insensitive comparison: < 0, 0 or > 0.
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);

// The user's locale.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
int AnsiCompareText(const std::string& a, const std::string& b);
int AnsiCompareStr(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);

using TReplaceFlags = unsigned;
constexpr TReplaceFlags rfReplaceAll = 1;
constexpr TReplaceFlags rfIgnoreCase = 2;
// Replaces the first (or every) occurrence of oldPattern; an empty pattern replaces nothing.
std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags = 0);

// 1-based position of the first occurrence of sub in s that starts a character; 0 when
// absent or sub is empty.
int Pos(const std::string& sub, const std::string& s);

// Encloses s in single quotes, doubling the quotes inside.
std::string QuotedStr(const std::string& s);

// ---- File names ------------------------------------------------------------------------
// '\' and '/' both end a folder name when reading a path, ':' ends a drive; '\' is written.
// Only whole characters count: a trail byte of the value of '\' belongs to its character.

std::string ExtractFilePath(const std::string& fileName);  // keeps the trailing delimiter
std::string ExtractFileDir(const std::string& fileName);   // drops it, except after a root
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);   // with the dot; empty when none
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingBackslash(const std::string& path);
std::string ExcludeTrailingBackslash(const std::string& path);

// ---- Files -----------------------------------------------------------------------------

bool FileExists(const std::string& fileName);        // an existing file that is no folder
bool DirectoryExists(const std::string& directory);
bool DeleteFile(const std::string& fileName);
// Fails when newName already exists, as on Windows.
bool RenameFile(const std::string& oldName, const std::string& newName);

// The calling thread's last operating-system error code and its text.
int GetLastOSError();
std::string SysErrorMessage(int errorCode);
