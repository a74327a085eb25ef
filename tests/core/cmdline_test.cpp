// Splitting command lines.
#include <gtest/gtest.h>

#include "framework/core/cmdline.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, BlanksSeparateArguments) {
  EXPECT_EQ(zv::SplitCommandLine("a b  c"), (Args{"a", "b", "c"}));
  EXPECT_EQ(zv::SplitCommandLine("  a\tb \t c  "), (Args{"a", "b", "c"}));
  EXPECT_TRUE(zv::SplitCommandLine("").empty());
  EXPECT_TRUE(zv::SplitCommandLine(" \t ").empty());
}

TEST(CommandLine, QuotedArguments) {
  EXPECT_EQ(zv::SplitCommandLine("\"a b\" c"), (Args{"a b", "c"}));
  EXPECT_EQ(zv::SplitCommandLine("\"\" x"), (Args{"", "x"}));       // an empty argument
  EXPECT_EQ(zv::SplitCommandLine("x \"\""), (Args{"x", ""}));
  // A quote inside a quoted argument ends it only before a blank or the end.
  EXPECT_EQ(zv::SplitCommandLine("\"say \"hi\"there\" next"), (Args{"say \"hi\"there", "next"}));
  EXPECT_EQ(zv::SplitCommandLine("\"say \"hi\" now\""), (Args{"say \"hi", "now\""}));
  // A quote in the middle of a plain argument is an ordinary character.
  EXPECT_EQ(zv::SplitCommandLine("a\"b c"), (Args{"a\"b", "c"}));
}

TEST(CommandLine, UnbalancedQuoteRunsToTheEnd) {
  EXPECT_EQ(zv::SplitCommandLine("a \"b c"), (Args{"a", "b c"}));
  EXPECT_EQ(zv::SplitCommandLine("\""), (Args{""}));
  EXPECT_EQ(zv::SplitCommandLine("\"x\"y z"), (Args{"x\"y z"}));
}

TEST(CommandLine, VeryLongLines) {
  std::string line;
  for (int i = 0; i < 20000; ++i) line += "arg" + std::to_string(i) + (i % 3 ? " " : "\t");
  Args args = zv::SplitCommandLine(line);
  ASSERT_EQ(args.size(), 20000u);
  EXPECT_EQ(args.back(), "arg19999");
  std::string huge(1 << 20, 'x');
  EXPECT_EQ(zv::SplitCommandLine("\"" + huge).front().size(), huge.size());
}

TEST(CommandLine, ProgramPathIsSkipped) {
  EXPECT_EQ(zv::SkipProgramPath("C:\\dir\\app.exe a b"), " a b");
  EXPECT_EQ(zv::SkipProgramPath("\"C:\\my dir\\app.exe\" a"), " a");
  EXPECT_EQ(zv::SkipProgramPath("\"C:\\unclosed a"), "");
  EXPECT_EQ(zv::SkipProgramPath("app.exe"), "");
  EXPECT_TRUE(zv::SplitCommandLine(zv::SkipProgramPath("app.exe")).empty());
}

}  // namespace
