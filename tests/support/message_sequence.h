// Records the messages that windows receive and compares them with an
// expected sequence, in the way of Wine's own conformance tests: while a
// MessageRecorder lives, every message sent or posted to a watched window on
// this thread is logged as {message, flags, wParam, window}.
//
//   zvtest::MessageRecorder rec;
//   rec.Watch(form);                          // the window and its children
//   DestroyWindow(form);
//   EXPECT_TRUE(rec.Matches({{WM_DESTROY, kSent, 0, form},
//                            {WM_DESTROY, kSent, 0, child},
//                            {WM_NCDESTROY, kSent, 0, child},
//                            {WM_NCDESTROY, kSent, 0, form}}));
//
// Only messages whose numbers appear in the expected sequence are compared,
// so the system's own traffic (WM_GETICON ...) does not break a test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zvtest {

enum SequenceFlags : unsigned {
  kSent = 1,        // arrived through SendMessage (the window procedure was called directly)
  kPosted = 2,      // taken from the queue
  kWParam = 4,      // the entry's wParam must match
  kOptional = 8,    // may be missing from the recording
};

struct SequenceEntry {
  UINT message = 0;
  unsigned flags = kSent;
  WPARAM wParam = 0;
  HWND window = nullptr;  // 0: any watched window
};

class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  // Watches a window; with `children`, every window below it too (also the
  // ones created later).
  void Watch(HWND window, bool children = true);
  void Clear() { log_.clear(); }
  const std::vector<SequenceEntry>& Log() const { return log_; }

  // The recording (filtered to the expected message numbers) against the
  // expected sequence; a failure lists both.
  ::testing::AssertionResult Matches(const std::vector<SequenceEntry>& expected) const;

 private:
  static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OnPosted(int code, WPARAM wParam, LPARAM lParam);
  bool Watched(HWND hwnd);
  void Record(HWND hwnd, UINT msg, WPARAM wParam, unsigned how);

  HHOOK sent_ = nullptr;
  HHOOK posted_ = nullptr;
  std::vector<std::pair<HWND, bool>> watched_;
  std::vector<HWND> seen_;  // children once recorded stay watched while they are destroyed
  std::vector<SequenceEntry> log_;
  MessageRecorder* previous_ = nullptr;
};

// A readable form of a sequence (message names where the window layer knows them).
std::string DescribeSequence(const std::vector<SequenceEntry>& seq);

}  // namespace zvtest
