#include "support/message_sequence.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "framework/window/winobject.h"

namespace zvtest {
namespace {

MessageRecorder*& current() {
  static MessageRecorder* r = nullptr;
  return r;
}

}  // namespace

MessageRecorder::MessageRecorder() : previous_(current()) {
  current() = this;
  sent_ = SetWindowsHookExA(WH_CALLWNDPROC, &MessageRecorder::OnSent, nullptr, GetCurrentThreadId());
  posted_ = SetWindowsHookExA(WH_GETMESSAGE, &MessageRecorder::OnPosted, nullptr, GetCurrentThreadId());
}

MessageRecorder::~MessageRecorder() {
  if (sent_) UnhookWindowsHookEx(sent_);
  if (posted_) UnhookWindowsHookEx(posted_);
  current() = previous_;
}

void MessageRecorder::Watch(HWND window, bool children) { watched_.emplace_back(window, children); }

bool MessageRecorder::Watched(HWND hwnd) {
  if (std::find(seen_.begin(), seen_.end(), hwnd) != seen_.end()) return true;
  for (const auto& [w, children] : watched_) {
    if (hwnd == w || (children && w && IsChild(w, hwnd))) {
      seen_.push_back(hwnd);
      return true;
    }
  }
  return false;
}

void MessageRecorder::Record(HWND hwnd, UINT msg, WPARAM wParam, unsigned how) {
  if (hwnd && Watched(hwnd)) log_.push_back({msg, how, wParam, hwnd});
}

LRESULT CALLBACK MessageRecorder::OnSent(int code, WPARAM wParam, LPARAM lParam) {
  MessageRecorder* r = current();
  if (code == HC_ACTION && r) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    r->Record(m->hwnd, m->message, m->wParam, kSent);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageRecorder::OnPosted(int code, WPARAM wParam, LPARAM lParam) {
  MessageRecorder* r = current();
  if (code == HC_ACTION && r && wParam == PM_REMOVE) {
    const auto* m = reinterpret_cast<const MSG*>(lParam);
    r->Record(m->hwnd, m->message, m->wParam, kPosted);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string DescribeSequence(const std::vector<SequenceEntry>& seq) {
  std::string out;
  for (const SequenceEntry& e : seq) {
    char line[160];
    const zv::Symbol handler = zv::HandlerSymbol(e.message);
    std::snprintf(line, sizeof line, "  %s (0x%04x)%s%s wParam=%llu window=%p\n",
                  handler.valid() ? handler.name().c_str() : "?", e.message, (e.flags & kPosted) ? " posted" : " sent",
                  (e.flags & kOptional) ? " optional" : "", static_cast<unsigned long long>(e.wParam),
                  static_cast<void*>(e.window));
    out += line;
  }
  return out;
}

::testing::AssertionResult MessageRecorder::Matches(const std::vector<SequenceEntry>& expected) const {
  std::set<UINT> numbers;
  for (const SequenceEntry& e : expected) numbers.insert(e.message);
  std::vector<SequenceEntry> got;
  for (const SequenceEntry& e : log_)
    if (numbers.count(e.message)) got.push_back(e);
  std::size_t g = 0;
  bool ok = true;
  for (const SequenceEntry& want : expected) {
    const bool match = g < got.size() && got[g].message == want.message &&
                       (got[g].flags & (kSent | kPosted)) == (want.flags & (kSent | kPosted)) &&
                       (!(want.flags & kWParam) || got[g].wParam == want.wParam) &&
                       (!want.window || got[g].window == want.window);
    if (match) {
      ++g;
    } else if (!(want.flags & kOptional)) {
      ok = false;
      break;
    }
  }
  if (ok && g == got.size()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected:\n" << DescribeSequence(expected) << "recorded:\n"
                                       << DescribeSequence(got);
}

}  // namespace zvtest
