// Under _WIN32 the locale's case folding and comparison (CharUpperBuffA, CompareStringA) and
// the file functions (attributes, delete, rename, error texts) call Windows itself (through
// platform/rtl/win/windows_api.h); elsewhere byte tables and POSIX calls stand in. The branch
// cannot move into the Win32 layer: each of these functions is part of the portable runtime
// the cores call, and the cores' Windows builds (their tests under Wine among them) link
// without the Win32 side, which is built on top of them.

#include "platform/rtl/sysutils.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/rtl/ansi_chars.h"
#include "platform/rtl/exceptions.h"

#ifdef _WIN32
#include "platform/rtl/win/windows_api.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using ByteTable = std::array<unsigned char, 256>;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Parses [sign] digits into an int64 within [low, high]; false on any other text.
bool ParseInteger(const std::string& s, int64_t low, int64_t high, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  // Accumulate towards the negative side: its range is one larger.
  int64_t result = 0;
  const int64_t minimum = std::numeric_limits<int64_t>::min();
  for (; i < s.size(); ++i) {
    if (!IsDigit(s[i])) return false;
    int digit = s[i] - '0';
    if (result < (minimum + digit) / 10) return false;
    result = result * 10 - digit;
  }
  if (!negative) {
    if (result == minimum) return false;
    result = -result;
  }
  if (result < low || result > high) return false;
  value = result;
  return true;
}

template <typename T>
bool TryParse(const std::string& s, T& value) {
  int64_t v;
  if (!ParseInteger(s, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v))
    return false;
  value = static_cast<T>(v);
  return true;
}

template <typename T>
T ParseOrRaise(const std::string& s) {
  T value;
  if (!TryParse(s, value)) throw EConvertError("'" + s + "' is not a valid integer value");
  return value;
}

template <typename T>
T ParseOrDefault(const std::string& s, T defaultValue) {
  T value;
  return TryParse(s, value) ? value : defaultValue;
}

#ifndef _WIN32
// The fixed Windows-1252 fold used where no Windows locale is at hand.
const ByteTable& HostUpperTable() {
  static const ByteTable table = [] {
    ByteTable t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
      if (c != 0xF7) t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
    return t;
  }();
  return table;
}

const ByteTable& HostLowerTable() {
  static const ByteTable table = [] {
    ByteTable t{};
    for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
    const ByteTable& upper = HostUpperTable();
    for (int c = 0; c < 256; ++c)
      if (upper[c] != c) t[upper[c]] = static_cast<unsigned char>(c);
    return t;
  }();
  return table;
}
#endif

// Maps every single-byte character through the table; double-byte characters stay as they
// are, their trail bytes included.
std::string MapBytes(const std::string& s, const ByteTable& table) {
  std::string result(s);
  if (!AnsiHasLeadBytes()) {
    for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return result;
  }
  for (size_t i = 0; i < result.size();) {
    const size_t length = AnsiCharLength(result, i);
    if (length == 1) result[i] = static_cast<char>(table[static_cast<unsigned char>(result[i])]);
    i += length;
  }
  return result;
}

// ASCII letters only: the case pairs of the other bytes depend on the code page.
ByteTable AsciiCaseTable(bool upper) {
  ByteTable t{};
  for (int c = 0; c < 256; ++c) t[c] = static_cast<unsigned char>(c);
  const int first = upper ? 'a' : 'A';
  for (int c = first; c < first + 26; ++c) t[c] = static_cast<unsigned char>(upper ? c - 32 : c + 32);
  return t;
}

const ByteTable& AsciiUpperTable() {
  static const ByteTable table = AsciiCaseTable(true);
  return table;
}

const ByteTable& AsciiLowerTable() {
  static const ByteTable table = AsciiCaseTable(false);
  return table;
}

int CompareBytes(const std::string& a, const std::string& b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
  if (c != 0) return c;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

#ifdef _WIN32
bool SingleByteCodePage() {
  static const bool single = [] {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
  }();
  return single;
}

// One byte at a time is exact for single-byte code pages and much faster on large inputs.
ByteTable LocaleTable(bool upper) {
  ByteTable t{};
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    if (c != 0) {
      if (upper)
        CharUpperBuffA(&ch, 1);
      else
        CharLowerBuffA(&ch, 1);
    }
    t[c] = static_cast<unsigned char>(ch);
  }
  return t;
}

std::string LocaleMap(const std::string& s, bool upper) {
  if (SingleByteCodePage()) {
    static const ByteTable upperTable = LocaleTable(true);
    static const ByteTable lowerTable = LocaleTable(false);
    return MapBytes(s, upper ? upperTable : lowerTable);
  }
  std::string result(s);
  if (!result.empty()) {
    if (upper)
      CharUpperBuffA(&result[0], static_cast<DWORD>(result.size()));
    else
      CharLowerBuffA(&result[0], static_cast<DWORD>(result.size()));
  }
  return result;
}

int LocaleCompare(const std::string& a, const std::string& b, DWORD flags) {
  int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()),
                         b.data(), static_cast<int>(b.size()));
  if (r == 0) return CompareBytes(a, b);  // only on invalid arguments
  return r - CSTR_EQUAL;
}
#endif

// Delimiters are single-byte characters: the trail byte of a double-byte character in a
// name may have the value of '\'.
const char* const NameDelimiters = "\\/:";

bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

bool IsNameDelimiterAt(const std::string& fileName, size_t i) {
  const char c = fileName[i];
  return (IsPathDelimiter(c) || c == ':') && !IsAnsiTrailByte(fileName, i);
}

bool EndsWithPathDelimiter(const std::string& path) {
  return AnsiEndsWith(path, '\\') || AnsiEndsWith(path, '/');
}

// Index just past the last folder or drive delimiter (0 when there is none).
size_t NameStart(const std::string& fileName) {
  const size_t delimiter = AnsiFindLastOf(fileName, NameDelimiters);
  return delimiter == std::string::npos ? 0 : delimiter + 1;
}

// Index of the extension's dot, or npos.
size_t ExtensionStart(const std::string& fileName) {
  size_t dot = AnsiFindLastOf(fileName, ".");
  if (dot == std::string::npos || dot < NameStart(fileName)) return std::string::npos;
  return dot;
}

}  // namespace

// ---- Numbers ---------------------------------------------------------------------------

std::string IntToStr(int64_t value) { return std::to_string(value); }

bool TryStrToInt(const std::string& s, int& value) { return TryParse(s, value); }
int StrToInt(const std::string& s) { return ParseOrRaise<int>(s); }
int StrToIntDef(const std::string& s, int defaultValue) { return ParseOrDefault(s, defaultValue); }
bool TryStrToInt64(const std::string& s, int64_t& value) { return TryParse(s, value); }
int64_t StrToInt64(const std::string& s) { return ParseOrRaise<int64_t>(s); }
int64_t StrToInt64Def(const std::string& s, int64_t defaultValue) {
  return ParseOrDefault(s, defaultValue);
}

std::string FloatToStr(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";  // never "-0"
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text(buffer);
  std::string mantissa = text, exponent;
  size_t e = text.find_first_of("eE");
  if (e != std::string::npos) {
    mantissa = text.substr(0, e);
    // "e+020" / "e-07" -> "E20" / "E-7"
    std::string digits = text.substr(e + 1);
    bool negative = !digits.empty() && digits[0] == '-';
    size_t first = digits.find_first_not_of("+-0");
    exponent = std::string("E") + (negative ? "-" : "") +
               (first == std::string::npos ? "0" : digits.substr(first));
  }
  for (char& c : mantissa)
    if (c == '.') c = decimalSeparator;
  return mantissa + exponent;
}

bool TryStrToFloat(const std::string& s, double& value, char decimalSeparator) {
  // Check the shape first and build the plain form from_chars reads.
  std::string plain;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') plain += '-';
    ++i;
  }
  size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i, ++digits) plain += s[i];
  if (i < s.size() && s[i] == decimalSeparator) {
    plain += '.';
    for (++i; i < s.size() && IsDigit(s[i]); ++i, ++digits) plain += s[i];
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    size_t expDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++expDigits) plain += s[i];
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  double result;
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (ec != std::errc() || end != plain.data() + plain.size()) return false;
  value = result;
  return true;
}

double StrToFloat(const std::string& s, char decimalSeparator) {
  double value;
  if (!TryStrToFloat(s, value, decimalSeparator))
    throw EConvertError("'" + s + "' is not a valid floating point value");
  return value;
}

// ---- Text ------------------------------------------------------------------------------

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string TrimLeft(const std::string& s) {
  size_t first = 0;
  while (first < s.size() && IsBlank(s[first])) ++first;
  return s.substr(first);
}

std::string TrimRight(const std::string& s) {
  size_t last = s.size();
  while (last > 0 && IsBlank(s[last - 1])) --last;
  return s.substr(0, last);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(const std::string& s) { return MapBytes(s, AsciiUpperTable()); }

std::string LowerCase(const std::string& s) { return MapBytes(s, AsciiLowerTable()); }

int CompareText(const std::string& a, const std::string& b) {
  return CompareBytes(UpperCase(a), UpperCase(b));
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

#ifdef _WIN32
std::string AnsiUpperCase(const std::string& s) { return LocaleMap(s, true); }
std::string AnsiLowerCase(const std::string& s) { return LocaleMap(s, false); }
int AnsiCompareText(const std::string& a, const std::string& b) {
  return LocaleCompare(a, b, NORM_IGNORECASE);
}
int AnsiCompareStr(const std::string& a, const std::string& b) { return LocaleCompare(a, b, 0); }
#else
// With a double-byte code page played, only ASCII letters have case pairs known here.
std::string AnsiUpperCase(const std::string& s) {
  return MapBytes(s, AnsiHasLeadBytes() ? AsciiUpperTable() : HostUpperTable());
}
std::string AnsiLowerCase(const std::string& s) {
  return MapBytes(s, AnsiHasLeadBytes() ? AsciiLowerTable() : HostLowerTable());
}
int AnsiCompareText(const std::string& a, const std::string& b) {
  return CompareBytes(AnsiUpperCase(a), AnsiUpperCase(b));
}
int AnsiCompareStr(const std::string& a, const std::string& b) { return CompareBytes(a, b); }
#endif

bool AnsiSameText(const std::string& a, const std::string& b) {
  return AnsiCompareText(a, b) == 0;
}

std::string StringReplace(const std::string& s, const std::string& oldPattern,
                          const std::string& newPattern, TReplaceFlags flags) {
  if (oldPattern.empty()) return s;
  // Case mapping keeps every byte in place, so positions found in the folded copies are
  // positions in the original text.
  const bool ignoreCase = (flags & rfIgnoreCase) != 0;
  const std::string haystack = ignoreCase ? AnsiUpperCase(s) : s;
  const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : oldPattern;
  std::string result;
  size_t from = 0;
  while (true) {
    size_t at = AnsiFindText(haystack, needle, from);
    if (at == std::string::npos) break;
    result.append(s, from, at - from);
    result += newPattern;
    from = at + needle.size();
    if ((flags & rfReplaceAll) == 0) break;
  }
  result.append(s, from, std::string::npos);
  return result;
}

int Pos(const std::string& sub, const std::string& s) {
  if (sub.empty()) return 0;
  size_t at = AnsiFindText(s, sub);
  return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string QuotedStr(const std::string& s) {
  std::string result = "'";
  for (char c : s) {
    result += c;
    if (c == '\'') result += c;
  }
  return result + "'";
}

// ---- File names ------------------------------------------------------------------------

std::string ExtractFilePath(const std::string& fileName) {
  return fileName.substr(0, NameStart(fileName));
}

std::string ExtractFileDir(const std::string& fileName) {
  size_t end = NameStart(fileName);
  // Drop the delimiter unless it stands for a root ("\", "C:\").
  if (end > 1 && IsPathDelimiter(fileName[end - 1]) && !IsNameDelimiterAt(fileName, end - 2))
    --end;
  return fileName.substr(0, end);
}

std::string ExtractFileName(const std::string& fileName) {
  return fileName.substr(NameStart(fileName));
}

std::string ExtractFileExt(const std::string& fileName) {
  size_t dot = ExtensionStart(fileName);
  return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  size_t dot = ExtensionStart(fileName);
  return fileName.substr(0, dot) + extension;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  return EndsWithPathDelimiter(path) ? path : path + '\\';
}

std::string ExcludeTrailingBackslash(const std::string& path) {
  return EndsWithPathDelimiter(path) ? path.substr(0, path.size() - 1) : path;
}

// ---- Files -----------------------------------------------------------------------------

#ifdef _WIN32
bool FileExists(const std::string& fileName) {
  DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& directory) {
  DWORD attributes = GetFileAttributesA(directory.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool DeleteFile(const std::string& fileName) { return DeleteFileA(fileName.c_str()) != 0; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return MoveFileA(oldName.c_str(), newName.c_str()) != 0;
}

int GetLastOSError() { return static_cast<int>(GetLastError()); }

std::string SysErrorMessage(int errorCode) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(errorCode), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text;
  if (buffer != nullptr) {
    text.assign(buffer, length);
    LocalFree(buffer);
  }
  text = TrimRight(text);
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty()) text = "System error " + IntToStr(errorCode);
  return text;
}
#else
bool FileExists(const std::string& fileName) {
  struct stat info;
  return stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& directory) {
  struct stat info;
  return stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& fileName) {
  struct stat info;
  if (lstat(fileName.c_str(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
  struct stat info;
  if (lstat(newName.c_str(), &info) == 0) {
    errno = EEXIST;
    return false;
  }
  return std::rename(oldName.c_str(), newName.c_str()) == 0;
}

int GetLastOSError() { return errno; }

std::string SysErrorMessage(int errorCode) { return std::strerror(errorCode); }
#endif
