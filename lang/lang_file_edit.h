#pragma once
// The writable language file: the reader plus operations that add, change and delete
// entries and fonts, take the locale block from the process format settings, and write the
// whole file back in the current layout (version "3.10").

#include <cstdint>
#include <string>

#include "lang/lang_file.h"

class TLingroveLangFileEdit : public TLingroveLangFile {
public:
  explicit TLingroveLangFileEdit(const std::string& fileName);
  // With load off the file is neither read nor needed: the edit starts empty and its Save
  // writes the file anew, whatever it held (also a damaged or foreign file).
  TLingroveLangFileEdit(const std::string& fileName, bool load);
  std::string ClassName() const override { return "TLingroveLangFileEdit"; }

  // The ident of the last (highest) entry; 0 for an empty table.
  uint16_t MaxIdent() const;
  // Index (0-based) of an equal font, appended when there is none. Entries store index + 1.
  int AddFont(const std::string& name, uint16_t size, uint8_t style);
  // A new entry (flags 0) placed so that the table stays in ascending ident order: before
  // the first entry whose ident is not below the new one. An ident already present is not
  // refused. Returns the new entry's position.
  int AddString(uint16_t ident, const std::string& text, uint16_t fontIndex);
  // AddString, then the pair (object, path) carries this ident (an existing pair too).
  int AddKeyedString(uint16_t ident, const std::string& objName, const std::string& propPath,
                     uint16_t fontIndex, const std::string& text);
  // Gives the entry of the ident the text and font index; raises Exception
  // "No such Ident number (<ident>)" when there is none.
  void SetString(uint16_t ident, const std::string& text, uint16_t fontIndex);
  // Removes the pair and its entry. Nothing happens when the pair is unknown. A pair whose
  // ident has no entry is removed as well, and ELangStrNotFound reports it.
  void DeleteString(const std::string& objName, const std::string& propPath);
  // Removes the first pair carrying entry i's ident, then entry i.
  void Delete(int i);
  // Deletes every entry whose pair belongs to the object (ignoring case; any object when
  // objName is empty) and whose path begins with the prefix. An empty prefix matches nothing.
  void DeleteObjectStrings(const std::string& objName, const std::string& pathPrefix);
  // Takes every process format setting into the locale block, which the file then carries.
  void CaptureLocale();

  // Writes the file: the whole image is built first, written to a temporary file beside it
  // and moved over the old one. Counts the layout cannot hold raise ELangFileError before
  // anything is written or closed; a failed write raises ELangFileError "Language file is
  // already opened by other application" and leaves the old file as it was. Texts longer
  // than a length byte can say are cut to 255 bytes. The file is not held open afterwards.
  virtual void Save();

protected:
  // The complete file image; stores each entry's pool offset in memory.
  std::string BuildImage();
  // Raises ELangFileError when a table is too long for its 16-bit count.
  void CheckCounts() const;
};
