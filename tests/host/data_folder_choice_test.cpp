#include "host/data_folder_choice.h"

#include <gtest/gtest.h>

namespace {

const std::u16string kCyrillic = u"C:\\users\\\u0410\u043d\u044f\\AppData\\Roaming";
const FolderSpelling kCyrillicIn1252{kCyrillic, "C:\\users\\???\\AppData\\Roaming", u"C:\\users\\???\\AppData\\Roaming"};
const FolderSpelling kShort{u"C:\\users\\9B1C~1\\AppData\\Roaming", "C:\\users\\9B1C~1\\AppData\\Roaming",
                            u"C:\\users\\9B1C~1\\AppData\\Roaming"};

}  // namespace

TEST(DataFolderChoice, TheNameTheCodePageSpellsElseTheShortNameElseARefusal) {
  struct {
    const char* name;
    FolderSpelling full;
    std::optional<FolderSpelling> shortName;
    const char* folder;
    bool refused;
  } const cases[] = {
      {"plain", {u"C:\\users\\ann\\AppData", "C:\\users\\ann\\AppData", u"C:\\users\\ann\\AppData"}, kShort,
       "C:\\users\\ann\\AppData", false},
      // An accented letter the code page has is kept as it is, not shortened.
      {"in the code page", {u"C:\\users\\Jos\u00e9", "C:\\users\\Jos\xe9", u"C:\\users\\Jos\u00e9"}, std::nullopt,
       "C:\\users\\Jos\xe9", false},
      {"question marks", kCyrillicIn1252, kShort, "C:\\users\\9B1C~1\\AppData\\Roaming", false},
      // Best fit turns a letter into a near one: a folder that does not exist.
      {"best fit", {u"C:\\users\\\u0100da", "C:\\users\\Ada", u"C:\\users\\Ada"}, kShort,
       "C:\\users\\9B1C~1\\AppData\\Roaming", false},
      // Without short names the "short" name is the long one.
      {"short name is the long one", kCyrillicIn1252, kCyrillicIn1252, "", true},
      {"no short name", kCyrillicIn1252, std::nullopt, "", true},
      {"nothing named", {}, std::nullopt, "", false},
  };
  for (const auto& c : cases) {
    const DataFolderChoice choice = ChooseDataFolder(c.full, c.shortName);
    EXPECT_EQ(choice.folder, c.folder) << c.name;
    EXPECT_EQ(!choice.refusal.empty(), c.refused) << c.name;
    if (c.refused) EXPECT_NE(choice.refusal.find(c.full.wide), std::u16string::npos) << c.name;
  }
}
