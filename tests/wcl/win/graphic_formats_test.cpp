#include "platform/wcl/win/graphic_formats.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/rtl/exceptions.h"

namespace {

std::unique_ptr<TGraphic> NewBitmap() { return std::make_unique<TBitmap>(); }

}  // namespace

// Extensions are found in any case, with or without the dot; a class's removal takes all of
// its formats and leaves the others; a later registration of an extension replaces the
// earlier one; a file of an unknown extension is refused before it is opened.
TEST(GraphicFormats, RegisterFindReplaceAndUnregister) {
  RegisterGraphicFileFormat("Tbmp", "Test bitmap", "TTestBitmap", NewBitmap);
  RegisterGraphicFileFormat("tbm2", "Second test bitmap", "TTestBitmap", NewBitmap);
  RegisterGraphicFileFormat("tkeep", "Kept", "TKeptBitmap", NewBitmap);
  RegisterGraphicClipboardFormat(0xC123, "TTestBitmap", NewBitmap);
  EXPECT_EQ(GraphicClassOfExtension("tbmp"), "TTestBitmap");
  EXPECT_EQ(GraphicClassOfExtension(".TBMP"), "TTestBitmap");
  EXPECT_EQ(GraphicDescriptionOfExtension("tbm2"), "Second test bitmap");
  EXPECT_EQ(GraphicClassOfClipboardFormat(0xC123), "TTestBitmap");
  EXPECT_EQ(GraphicClassOfExtension(""), "");
  EXPECT_EQ(GraphicClassOfExtension("nothing"), "");

  RegisterGraphicFileFormat("tbm2", "Replaced", "TKeptBitmap", NewBitmap);
  EXPECT_EQ(GraphicClassOfExtension("tbm2"), "TKeptBitmap");

  UnregisterGraphicClass("TTestBitmap");
  EXPECT_EQ(GraphicClassOfExtension("tbmp"), "");
  EXPECT_EQ(GraphicClassOfClipboardFormat(0xC123), "");
  EXPECT_EQ(GraphicClassOfExtension("tkeep"), "TKeptBitmap");
  EXPECT_EQ(GraphicClassOfExtension("tbm2"), "TKeptBitmap");
  UnregisterGraphicClass("TKeptBitmap");
  EXPECT_EQ(GraphicClassOfExtension("tkeep"), "");

  try {
    LoadGraphicFromFile("C:\\nowhere\\picture.tbmp");
    ADD_FAILURE() << "an unknown extension was loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.tbmp)");
  }
}
