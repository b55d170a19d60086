#include "platform/wcl/win/graphic_formats.h"

#include <algorithm>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TFormatEntry {
  std::string Extension;  // lower case, no dot; empty for a clipboard format
  UINT Clipboard = 0;
  std::string Description;
  std::string ClassName;
  TGraphicFactory Create;
};

// Made on first use, so units may register from their own start-up code in any order.
std::vector<TFormatEntry>& Formats() {
  static std::vector<TFormatEntry> formats;
  return formats;
}

std::string Bare(const std::string& extension) {
  return LowerCase(!extension.empty() && extension[0] == '.' ? extension.substr(1) : extension);
}

const TFormatEntry* FindExtension(const std::string& extension) {
  const std::string bare = Bare(extension);
  if (bare.empty()) return nullptr;
  for (const TFormatEntry& entry : Formats())
    if (entry.Extension == bare) return &entry;
  return nullptr;
}

}  // namespace

void RegisterGraphicFileFormat(const std::string& extension, const std::string& description,
                        const std::string& className, TGraphicFactory create) {
  const std::string bare = Bare(extension);
  std::vector<TFormatEntry>& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&](const TFormatEntry& entry) { return entry.Extension == bare; }),
                formats.end());
  formats.push_back(TFormatEntry{bare, 0, description, className, std::move(create)});
}

void RegisterGraphicClipboardFormat(UINT format, const std::string& className, TGraphicFactory create) {
  std::vector<TFormatEntry>& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&](const TFormatEntry& entry) {
                                 return entry.Extension.empty() && entry.Clipboard == format;
                               }),
                formats.end());
  formats.push_back(TFormatEntry{std::string(), format, std::string(), className, std::move(create)});
}

void UnregisterGraphicClass(const std::string& className) {
  std::vector<TFormatEntry>& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&](const TFormatEntry& entry) { return entry.ClassName == className; }),
                formats.end());
}

std::string GraphicClassOfExtension(const std::string& extension) {
  const TFormatEntry* entry = FindExtension(extension);
  return entry != nullptr ? entry->ClassName : std::string();
}

std::string GraphicDescriptionOfExtension(const std::string& extension) {
  const TFormatEntry* entry = FindExtension(extension);
  return entry != nullptr ? entry->Description : std::string();
}

std::string GraphicClassOfClipboardFormat(UINT format) {
  for (const TFormatEntry& entry : Formats())
    if (entry.Extension.empty() && entry.Clipboard == format) return entry.ClassName;
  return std::string();
}

std::unique_ptr<TGraphic> LoadGraphicFromFile(const std::string& fileName) {
  const std::string extension = ExtractFileExt(fileName);
  const TFormatEntry* entry = FindExtension(extension);
  if (entry == nullptr) throw EInvalidGraphic("Unknown picture file extension (" + extension + ")");
  std::unique_ptr<TGraphic> graphic = entry->Create();
  graphic->LoadFromFile(fileName);
  return graphic;
}
