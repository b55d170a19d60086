#pragma once
// The picture framework's list of graphic classes: which class reads files of an extension
// (with the description a file dialog shows for it) and which class reads and writes a
// clipboard format. A unit that brings a graphic class registers it at start-up and takes it
// out again at the end.

#include "platform/wcl/win/bitmap.h"

#include <functional>
#include <memory>
#include <string>

// Makes a new, empty graphic of one class.
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

// Files whose extension (without the dot, any case) is extension are read by className's
// graphics. A later registration of the same extension replaces the earlier one.
void RegisterGraphicFileFormat(const std::string& extension, const std::string& description,
                        const std::string& className, TGraphicFactory create);
// Clipboard data of format is read and written by className's graphics.
void RegisterGraphicClipboardFormat(UINT format, const std::string& className, TGraphicFactory create);
// Removes every file and clipboard format of the class.
void UnregisterGraphicClass(const std::string& className);

// The class registered for an extension (with or without the dot) or a clipboard format,
// and the description of an extension; empty when nothing is registered.
std::string GraphicClassOfExtension(const std::string& extension);
std::string GraphicDescriptionOfExtension(const std::string& extension);
std::string GraphicClassOfClipboardFormat(UINT format);

// A graphic of the class registered for fileName's extension, loaded from the file. Raises
// EInvalidGraphic "Unknown picture file extension (.ext)" when no class reads it.
std::unique_ptr<TGraphic> LoadGraphicFromFile(const std::string& fileName);
