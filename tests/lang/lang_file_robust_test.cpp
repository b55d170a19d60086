// Damaged language files: thousands of mutated and truncated versions of a valid file must
// each load or fail with the runtime's errors, never crash, hang or allocate wildly; a file
// that loads must answer every lookup safely and write back consistently.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lang/lang_file.h"
#include "lang/lang_file_edit.h"
#include "tests/lang/lang_file_test_util.h"

namespace {

// Reaches the writer's image without touching the disk.
class ImageFile : public TLingroveLangFileEdit {
public:
  explicit ImageFile(const std::string& path) : TLingroveLangFileEdit(path) {}
  std::string Image() { return BuildImage(); }
};

void WriteValidFile(const std::string& path) {
  TLingroveLangFileEdit file(path);
  file.SetFlag(lfNative, true);
  file.CaptureLocale();
  file.AddFont("Arial", 10, 1);
  file.AddFont("Tahoma", 8, 0);
  for (uint16_t i = 0; i < 40; ++i) {
    std::string text = "text " + std::to_string(i) + (i % 3 == 0 ? "\r\nsecond line" : "");
    file.AddKeyedString(static_cast<uint16_t>(i * 7), "form" + std::to_string(i % 4),
                        "comp" + std::to_string(i) + ".Lines.Text", i % 3, text);
  }
  file.Save();
}

// Touches everything a loaded file offers.
void Exercise(TLingroveLangFile& file) {
  for (int i = 0; i < file.GetCount(); ++i) {
    TLingroveLangStr* s = file.GetItem(i);
    ASSERT_NE(nullptr, s);
    (void)s->GetText();
    (void)s->IsMultiLine();
    std::string obj = s->GetObjName();
    std::string path = s->GetPropName();
    if (!path.empty()) (void)file.Find(obj, path);
    (void)file.FindIdent(s->GetIdent());
  }
  for (int i = 0; i < file.FontCount(); ++i) (void)file.FindFont(file.Fonts(i).Name, 1, 0);
  (void)file.FindIdent(0xFFFF);
}

}  // namespace

TEST_F(LangFileTest, DamagedFilesNeverBreakTheReader) {
  WriteValidFile(PathOf("valid.lng"));
  const std::string valid = ReadBytes("valid.lng");
  ASSERT_GT(valid.size(), 200u);

  ImageFile file(PathOf("absent.lng"));
  ImageFile again(PathOf("absent.lng"));
  std::mt19937 rng(20240517);
  auto pick = [&rng](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  int loaded = 0, refused = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string image = valid;
    switch (round % 5) {
      case 0:  // truncated anywhere
        image.resize(pick(valid.size()));
        break;
      case 1:  // a few random bytes
        for (int k = 0, n = 1 + static_cast<int>(pick(8)); k < n; ++k)
          image[pick(image.size())] = static_cast<char>(pick(256));
        break;
      case 2:  // a run of 0xFF, which turns any count or offset into its largest value
        for (size_t k = pick(image.size()), end = std::min(image.size(), k + 1 + pick(6)); k < end; ++k)
          image[k] = '\xFF';
        break;
      case 3:  // bytes cut out of the middle
        image.erase(pick(image.size()), 1 + pick(16));
        break;
      default:  // mutated and truncated
        image[6 + pick(image.size() - 6)] = static_cast<char>(pick(256));
        image.resize(6 + pick(image.size() - 6));
        break;
    }
    try {
      file.LoadFromImage(image);
      ++loaded;
      Exercise(file);
      // What loads writes back to an image that reads and writes again to the same bytes.
      const std::string written = file.Image();
      again.LoadFromImage(written);
      ASSERT_EQ(written, again.Image()) << "round " << round;
    } catch (const Exception&) {
      ++refused;
      EXPECT_TRUE(file.IsEmpty());
      EXPECT_EQ(0, file.GetCount());
    }
  }
  // Both outcomes occur, so the mutations reach past the header.
  EXPECT_GT(loaded, 100);
  EXPECT_GT(refused, 100);
}
