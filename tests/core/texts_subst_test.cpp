// Placeholder substitution of localised texts.
#include <gtest/gtest.h>

#include "framework/core/texts.h"

#include <string>
#include <vector>

namespace {

std::string Sub(std::string_view text, std::vector<std::string_view> args) {
  return zv::SubstituteArgs(text, args);
}

TEST(TextSubstitution, FillsNumberedPlaceholdersInAnyOrder) {
  EXPECT_EQ(Sub("Page %1 of %2", {"3", "10"}), "Page 3 of 10");
  EXPECT_EQ(Sub("%2 before %1, %1 again", {"a", "b"}), "b before a, a again");
}

TEST(TextSubstitution, ReadsOneDigitOnly) {
  // "%12" is argument 1 followed by the digit 2, even with twelve arguments.
  std::vector<std::string_view> twelve(12, "x");
  twelve[0] = "first";
  EXPECT_EQ(Sub("[%12]", twelve), "[first2]");
}

TEST(TextSubstitution, KeepsEveryOtherPercentSign) {
  EXPECT_EQ(Sub("%3 of %1", {"one", "two"}), "%3 of one");        // beyond the arguments
  EXPECT_EQ(Sub("100% sure %s %0 %%1", {"v"}), "100% sure %s %0 %v");
  EXPECT_EQ(Sub("ends with %", {"v"}), "ends with %");             // nothing after it
  EXPECT_EQ(Sub("%", {"v"}), "%");
}

TEST(TextSubstitution, EmptyAndLongValues) {
  EXPECT_EQ(Sub("", {"a"}), "");
  EXPECT_EQ(Sub("<%1>", {""}), "<>");
  std::string big(100000, 'z');
  std::string out = Sub("%1%1", {big});
  EXPECT_EQ(out.size(), 200000u);
  EXPECT_EQ(out.find_first_not_of('z'), std::string::npos);
}

TEST(TextSubstitution, ArgumentsAreNotRescanned) {
  // An argument that itself contains a placeholder is copied as it is.
  EXPECT_EQ(Sub("%1 and %2", {"%2", "B"}), "%2 and B");
}

}  // namespace
