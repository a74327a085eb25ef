// Answers the message boxes and modal dialogs that the code under test shows,
// so that a test never waits for a person.
//
//   zvtest::DialogAnswerer answer;
//   answer.pressButton(IDYES);              // the next dialog gets Yes
//   answer.pressKey(VK_RETURN);             // the one after gets Enter
//   EXPECT_TRUE(MsgNoYes("Quit?"));
//   EXPECT_EQ(answer.seen()[0].text, "Quit?");
//
// Answers are used in order, one per dialog that becomes active on this
// thread. A message box ("#32770") that arrives when no answer is queued is
// recorded as unexpected and dismissed with its default button; the test then
// fails. Other top-level windows (the framework's modal forms) are answered
// only by `then` answers queued with `anyWindow`.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zvtest {

class DialogAnswerer {
 public:
  struct Seen {
    HWND hwnd = nullptr;
    std::string windowClass;
    std::string caption;
    std::string text;   // the message of a message box, "" otherwise
    bool expected = true;
  };

  DialogAnswerer();
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Clicks the button with this identifier (IDOK, IDYES, IDNO ...).
  DialogAnswerer& pressButton(int id);
  // Sends a key press to the control that has the focus in the dialog.
  DialogAnswerer& pressKey(UINT vk);
  // Sends WM_CLOSE (the close box) to the dialog.
  DialogAnswerer& close();
  // Runs a function with the dialog's window; with anyWindow it also takes
  // top-level windows that are not standard dialogs.
  DialogAnswerer& then(std::function<void(HWND)> action, bool anyWindow = false);

  const std::vector<Seen>& seen() const { return seen_; }
  std::size_t pending() const { return answers_.size(); }
  // Waits (pumping messages) until every queued answer has been used or the
  // time is up; returns whether all were used.
  bool waitAllUsed(DWORD timeoutMs = 5000);

 private:
  struct Answer {
    std::function<void(HWND)> action;
    bool anyWindow = false;
  };
  friend struct AnswererHook;
  std::vector<Answer> answers_;
  std::vector<Seen> seen_;
};

// Text of a window (ANSI).
std::string WindowText(HWND hwnd);

}  // namespace zvtest
