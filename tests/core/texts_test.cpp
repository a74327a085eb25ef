// Localised texts looked up in the executable's string tables.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/texts.h"

namespace {

// Restores the process-wide language after each test.
class Texts : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = zv::CurrentLanguage(); }
  void TearDown() override { zv::CurrentLanguage(saved_); }
  std::uint16_t saved_ = 0;
};

TEST_F(Texts, EnglishTextsAreThoseOfTheTable) {
  zv::CurrentLanguage(zv::kLangEnglish);
  EXPECT_EQ(zv::LT(32769), "WARNING!");
  EXPECT_EQ(zv::LT(32768),
            "This application has been designed to run\ron Windows 98 / 2000 or a newer version.\r\r"
            "It is possible that it doesn't work fine,\ror simply, doesn't work at all.");
  EXPECT_EQ(zv::LT(32788), "Build ");
  EXPECT_EQ(zv::LT(32913), "Send by Email");
  EXPECT_EQ(zv::LT(32856, {"3", "10"}), "Page 3 of 10");
  EXPECT_EQ(zv::LT(32797), "%1 inside ERRORSYS, line: %2");  // no arguments: untouched
}

TEST_F(Texts, EveryIdentifierExistsInEnglishAndSpanish) {
  for (unsigned id = 32768; id <= 32913; ++id) {
    if (id == 32786) continue;
    zv::CurrentLanguage(zv::kLangEnglish);
    std::string en = zv::LT(id);
    zv::CurrentLanguage(zv::kLangSpanish);
    std::string es = zv::LT(id);
    EXPECT_FALSE(en.empty()) << id;
    EXPECT_FALSE(es.empty()) << id;
  }
  zv::CurrentLanguage(zv::kLangEnglish);
  EXPECT_EQ(zv::LT(32786), "");
}

TEST_F(Texts, OtherLanguagesAreTranslatedAndFallBackToEnglish) {
  const std::uint16_t others[] = {zv::kLangCatalan, zv::kLangGerman, zv::kLangFrench, zv::kLangItalian,
                                  zv::kLangPortuguese, zv::kLangBasque, zv::kLangGalician,
                                  zv::kLangSpanish};
  zv::CurrentLanguage(zv::kLangEnglish);
  const std::string enPage = zv::LT(32856);
  const std::string enPdf = zv::LT(32912);
  for (std::uint16_t lang : others) {
    zv::CurrentLanguage(lang);
    // A text every table has, translated (not English).
    EXPECT_NE(zv::LT(32856), enPage) << "language " << lang;
    EXPECT_NE(zv::LT(32856).find("%1"), std::string::npos) << "language " << lang;
    if (lang != zv::kLangSpanish) {
      EXPECT_EQ(zv::LT(32912), enPdf) << "language " << lang;
    }
  }
  zv::CurrentLanguage(zv::kLangFrench);
  EXPECT_EQ(zv::LT(32912), "Generate PDF file");
  zv::CurrentLanguage(zv::kLangSpanish);
  EXPECT_NE(zv::LT(32912), "Generate PDF file");
}

TEST_F(Texts, TextsComeBackInTheAnsiCodePage) {
  // The Spanish question mark and tilde are single bytes of code page 1252.
  zv::CurrentLanguage(zv::kLangSpanish);
  std::string all;
  for (unsigned id = 32768; id <= 32913; ++id) all += zv::LT(id);
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_NE(all.find_first_of("\xE1\xE9\xED\xF3\xFA\xF1"), std::string::npos);  // á é í ó ú ñ
  EXPECT_EQ(all.find("\xC3"), std::string::npos);  // no UTF-8 lead bytes left over
}

TEST_F(Texts, UnknownIdentifiersAndLanguagesGiveEmptyOrEnglish) {
  zv::CurrentLanguage(zv::kLangEnglish);
  EXPECT_EQ(zv::LT(40000), "");
  EXPECT_EQ(zv::LT(40000, {"a", "b"}), "");
  EXPECT_EQ(zv::LT(0), "");
  EXPECT_EQ(zv::LT(0xFFFFFFFFu), "");
  // Identifiers are 16-bit: a larger one never reads the block of its low bits.
  EXPECT_NE(zv::LT(0x8058), "");
  EXPECT_EQ(zv::LT(0x108058), "");
  zv::CurrentLanguage(0x19);  // Russian: no table at all
  EXPECT_EQ(zv::LT(32769), "WARNING!");
  EXPECT_EQ(zv::LT(32856, {"1", "2"}), "Page 1 of 2");
}

TEST_F(Texts, LanguageStartsFromTheThreadLocaleAndCanBeReplaced) {
  zv::CurrentLanguage(0);  // back to "not chosen"
  EXPECT_EQ(zv::CurrentLanguage(), zv::SystemLanguage());
  EXPECT_EQ(zv::SystemLanguage(), PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())));
  EXPECT_EQ(zv::CurrentLanguage(zv::kLangGerman), zv::SystemLanguage());
  EXPECT_EQ(zv::CurrentLanguage(), zv::kLangGerman);
  EXPECT_EQ(zv::CurrentLanguage(zv::kLangEnglish), zv::kLangGerman);
  // A full language id is taken by its primary language: French of France
  // reads the French table, not the English fallback.
  zv::CurrentLanguage(zv::kLangFrench);
  const std::string french = zv::LT(32769);
  zv::CurrentLanguage(zv::kLangEnglish);
  ASSERT_NE(french, zv::LT(32769));
  zv::CurrentLanguage(0x040C);
  EXPECT_EQ(zv::CurrentLanguage(), zv::kLangFrench);
  EXPECT_EQ(zv::LT(32769), french);
  zv::CurrentLanguage(zv::kLangEnglish);
}

TEST_F(Texts, StrippedVariantRemovesMnemonicMarkers) {
  zv::CurrentLanguage(zv::kLangEnglish);
  EXPECT_EQ(zv::LT(32800), "&Quit");
  EXPECT_EQ(zv::LTStripped(32800), "Quit");
  EXPECT_EQ(zv::LTStripped(32825), "Alignment");
  EXPECT_EQ(zv::LTStripped(32856, {"2", "9"}), "Page 2 of 9");
}

}  // namespace
