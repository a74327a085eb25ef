#include <gtest/gtest.h>

#include "framework/graphics/font_text.h"

namespace {

TEST(FontText, TheDefaultFontSavesInItsKnownForm) {
  zv::FontDescription f;
  f.height = -11;
  EXPECT_EQ(zv::FontToText(f), "MS Sans Serif,8,0,-11,0,400,0,.F.,.F.,.F.,.F.,1");
}

TEST(FontText, OnlyTwelveFieldsAreRead) {
  const zv::FontDescription base;
  EXPECT_FALSE(zv::FontFromText("", base));
  EXPECT_FALSE(zv::FontFromText("Arial,8,0,-11,0,400,0,.F.,.F.,.F.,.F.", base));       // 11
  EXPECT_FALSE(zv::FontFromText("Arial,8,0,-11,0,400,0,.F.,.F.,.F.,.F.,1,", base));    // 13
  const auto f = zv::FontFromText("Arial,12,3,-16,5,700,900,.T.,.t.,.T. ,.T.,238", base);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "Arial");
  EXPECT_EQ(f->size, 12);
  EXPECT_EQ(f->width, 3);
  EXPECT_EQ(f->height, -16);
  EXPECT_EQ(f->style, 5);
  EXPECT_EQ(f->weight, 700);
  EXPECT_EQ(f->orientation, 900);
  EXPECT_TRUE(f->bold);
  EXPECT_FALSE(f->italic);     // only the exact ".T." is true
  EXPECT_FALSE(f->underline);  // a trailing blank is not it either
  EXPECT_TRUE(f->strikeOut);
  EXPECT_EQ(f->charSet, 238);
}

TEST(FontText, WhateverTheTextHoldsTheValuesAreSound) {
  zv::FontDescription base;
  base.name = "Kept";
  const auto f = zv::FontFromText(",x,99999999999999999999999,-9e9,-3,1200, 12.9x,,,,,-4", base);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->name, "Kept");       // an empty name keeps the old one
  EXPECT_EQ(f->size, 0);            // no number: 0
  EXPECT_EQ(f->width, 16384);       // huge: clamped
  EXPECT_EQ(f->height, -9);         // read as far as it is a number
  EXPECT_EQ(f->style, 0);
  EXPECT_EQ(f->weight, 1000);
  EXPECT_EQ(f->orientation, 12);    // blanks skipped, fraction truncated
  EXPECT_EQ(f->charSet, 0);
  const std::string withNul("Face\0Rest,8,0,0,0,400,0,.F.,.F.,.F.,.F.,1", 41);
  EXPECT_EQ(zv::FontFromText(withNul, base)->name, "Face");
  const auto longName = zv::FontFromText(std::string(200, 'N') + ",8,0,0,0,400,0,.F.,.F.,.F.,.F.,1", base);
  EXPECT_EQ(longName->name, std::string(zv::kMaxFaceName, 'N'));
}

}  // namespace
