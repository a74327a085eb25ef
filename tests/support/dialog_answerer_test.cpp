// The test helper that answers message boxes: a test that shows one must
// never wait for a click.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "support/dialog_answerer.h"

namespace {

TEST(DialogAnswerer, PressesTheChosenButtonAndRecordsTheBox) {
  zvtest::DialogAnswerer answer;
  answer.pressButton(IDYES).pressButton(IDNO).pressButton(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "First?", "Title one", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "Second?", "Title two", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Third", "Title three", MB_OKCANCEL), IDCANCEL);
  ASSERT_EQ(answer.seen().size(), 3u);
  EXPECT_EQ(answer.seen()[0].caption, "Title one");
  EXPECT_EQ(answer.seen()[0].text, "First?");
  EXPECT_EQ(answer.seen()[1].text, "Second?");
  EXPECT_EQ(answer.pending(), 0u);
}

TEST(DialogAnswerer, EnterPressesTheDefaultButton) {
  zvtest::DialogAnswerer answer;
  answer.pressKey(VK_RETURN).pressKey(VK_RETURN);
  EXPECT_EQ(MessageBoxA(nullptr, "Default is No", "t", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "Default is Yes", "t", MB_YESNO), IDYES);
}

TEST(DialogAnswerer, EscapeAndCloseCancel) {
  zvtest::DialogAnswerer answer;
  answer.pressKey(VK_ESCAPE).close();
  EXPECT_EQ(MessageBoxA(nullptr, "Esc", "t", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "Close box", "t", MB_OKCANCEL), IDCANCEL);
}

TEST(DialogAnswerer, AnUnexpectedBoxFailsTheTestInsteadOfHanging) {
  EXPECT_NONFATAL_FAILURE(
      {
        zvtest::DialogAnswerer answer;  // nothing queued
        EXPECT_EQ(MessageBoxA(nullptr, "Nobody expects me", "t", MB_OK), IDOK);
        ASSERT_EQ(answer.seen().size(), 1u);
        EXPECT_FALSE(answer.seen()[0].expected);
      },
      "unexpected dialog");
}

TEST(DialogAnswerer, AnswersNestInnermostFirst) {
  zvtest::DialogAnswerer outer;
  outer.pressButton(IDOK);
  {
    zvtest::DialogAnswerer inner;
    inner.pressButton(IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "inner", "t", MB_OKCANCEL), IDCANCEL);
  }
  EXPECT_EQ(MessageBoxA(nullptr, "outer", "t", MB_OKCANCEL), IDOK);
}

TEST(DialogAnswerer, CustomAnswerSeesTheDialogWindow) {
  zvtest::DialogAnswerer answer;
  std::string captionSeen;
  answer.then([&](HWND dlg) {
    captionSeen = zvtest::WindowText(dlg);
    PostMessageA(dlg, WM_COMMAND, IDRETRY, 0);
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Disk?", "Retry me", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(captionSeen, "Retry me");
}

}  // namespace
