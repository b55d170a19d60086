#pragma once
// One set of read and write calls that works alike on an INI-file store and on a registry
// store, the default store names, and the values kept once per screen resolution.
//
// A store is passed as a plain object and recognised by its class: any TCustomIniFile
// (TRegIniFile, TIniFile, TMemIniFile) reads and writes; any other object, or none, reads
// as the defaults and writes nothing. Errors of the store itself (a key that cannot be
// created, a file that cannot be written) reach the caller.

#include <string>

class TObject;

// The program's file name without its folder, with the extension replaced by ".INI".
std::string DefaultIniFileName(const std::string& programPath);
// "Software\" + the program's file name without folder and extension.
std::string DefaultRegistryKey(const std::string& programPath);

std::string IniReadText(TObject* store, const std::string& section, const std::string& name,
                        const std::string& defaultValue);
// An INI file's reader takes one pair of enclosing quotes off a value and trims blanks and
// control characters at its edges. So a value that is enclosed in quotes (double or single),
// or that begins or ends with such a character, is written to a TIniFile inside one more
// pair of double quotes and reads back as written. Other stores take values as they are.
// A line break cannot be kept in an INI file: its writer refuses it.
void IniWriteText(TObject* store, const std::string& section, const std::string& name,
                  const std::string& value);
int IniReadNumber(TObject* store, const std::string& section, const std::string& name,
                  int defaultValue);
void IniWriteNumber(TObject* store, const std::string& section, const std::string& name,
                    int value);

// "(WIDTHxHEIGHT)", the suffix of the values kept once per screen resolution.
std::string ScreenSizeSuffix(int width, int height);
// The value stored under name + suffix; when that is empty, the one under the plain name.
std::string ReadScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                            const std::string& suffix);
// Writes value under name + suffix, then under the plain name.
void WriteScreenKeyed(TObject* store, const std::string& section, const std::string& name,
                      const std::string& value, const std::string& suffix);

// Column widths of a grid (anything with ColCount(), ColWidths(i) and SetColWidths(i, w)),
// one number per column under "Item<i>".
template <class Grid>
void GridWidthsSave(Grid* grid, TObject* store, const std::string& section) {
  for (int i = 0; i < grid->ColCount(); ++i)
    IniWriteNumber(store, section, "Item" + std::to_string(i), grid->ColWidths(i));
}

// The widest column a stored width may give; wider or negative stored widths are ignored.
constexpr int MaxStoredColWidth = 32767;

// A column without a stored width, or with one outside 0..MaxStoredColWidth, keeps its width.
template <class Grid>
void GridWidthsLoad(Grid* grid, TObject* store, const std::string& section) {
  for (int i = 0; i < grid->ColCount(); ++i) {
    const int current = grid->ColWidths(i);
    const int width = IniReadNumber(store, section, "Item" + std::to_string(i), current);
    if (width != current && width >= 0 && width <= MaxStoredColWidth)
      grid->SetColWidths(i, width);
  }
}
