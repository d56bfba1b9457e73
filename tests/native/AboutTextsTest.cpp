// The About window's texts, made from a version record.
#include <gtest/gtest.h>

#include "rules/AboutTexts.h"
#include "rules/Decimal.h"

namespace polvane {
namespace {

TEST(AboutTexts, ShowProductMakerAndMajorMinorRevision) {
  const AboutTexts texts = MakeAboutTexts({1, 0, 0, 4, "Krestel", "Polvane"});
  EXPECT_EQ(texts.caption, "About Polvane");
  EXPECT_EQ(texts.title, "Krestel Polvane");
  EXPECT_EQ(texts.version, "Version 1.0.4");
  EXPECT_EQ(texts.description,
            "Polvane lets you alter hidden settings for MSN/Windows Messenger, suitable for "
            "network/system administrators");
}

TEST(AboutTexts, VersionSkipsTheBuildAndWritesPlainDecimals) {
  EXPECT_EQ(MakeAboutTexts({2, 10, 7, 0, "", ""}).version, "Version 2.10.0");
  EXPECT_EQ(MakeAboutTexts({65535, 65535, 65535, 65535, "", ""}).version,
            "Version 65535.65535.65535");
  EXPECT_EQ(MakeAboutTexts({0, 0, 9, 1, "", ""}).version, "Version 0.0.1");
}

TEST(NumberText, DecimalAndPaddedUpperCaseHexadecimal) {
  EXPECT_EQ(Decimal(0), "0");
  EXPECT_EQ(Decimal(-2147483648LL), "-2147483648");
  EXPECT_EQ(Decimal(4294967295LL), "4294967295");
  EXPECT_EQ(Hexadecimal(0x409, 4) + Hexadecimal(0x4B0, 4), "040904B0");
  EXPECT_EQ(Hexadecimal(0xFFFFFFFF, 4), "FFFFFFFF");
  EXPECT_EQ(Hexadecimal(0, 2), "00");
}

}  // namespace
}  // namespace polvane
