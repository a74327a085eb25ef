#include "dialog_answerer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>

namespace zvtest {

std::string WindowText(HWND hwnd) {
  char buf[4096];
  int n = GetWindowTextA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

namespace {

std::string ClassOf(HWND hwnd) {
  char buf[256];
  int n = GetClassNameA(hwnd, buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

// The text of a message box is the static control with identifier 0xFFFF;
// fall back to the longest static text of the dialog.
std::string MessageText(HWND dlg) {
  if (HWND text = GetDlgItem(dlg, 0xFFFF)) return WindowText(text);
  std::string best;
  for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (_stricmp(ClassOf(child).c_str(), "Static") == 0) {
      std::string t = WindowText(child);
      if (t.size() > best.size()) best = t;
    }
  }
  return best;
}

}  // namespace

// One CBT hook per thread serves the answerers of that thread, innermost first.
struct AnswererHook {
  static thread_local std::vector<DialogAnswerer*> stack;
  static thread_local HHOOK hook;
  // Dialogs activated and waiting for their answer, with the answerer and answer.
  struct Job {
    HWND hwnd;
    DialogAnswerer* owner;
    std::function<void(HWND)> action;
  };
  static thread_local std::deque<Job> jobs;
  // Windows already answered: a dialog that is activated again (its focus
  // moves while it closes) must not take the next answer.
  static thread_local std::vector<HWND> answered;

  static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) OnActivate(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(hook, code, wParam, lParam);
  }

  static void OnActivate(HWND hwnd) {
    if (stack.empty() || (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) return;
    std::erase_if(answered, [](HWND h) { return !IsWindow(h); });
    if (std::find(answered.begin(), answered.end(), hwnd) != answered.end()) return;
    const std::string cls = ClassOf(hwnd);
    const bool isDialog = cls == "#32770";
    DialogAnswerer* owner = stack.back();
    DialogAnswerer::Seen seen{hwnd, cls, WindowText(hwnd), isDialog ? MessageText(hwnd) : "", true};
    std::function<void(HWND)> action;
    if (!owner->answers_.empty() && (isDialog || owner->answers_.front().anyWindow)) {
      action = std::move(owner->answers_.front().action);
      owner->answers_.erase(owner->answers_.begin());
    } else if (isDialog) {
      // Nobody expected this dialog: dismiss it so the test cannot hang.
      seen.expected = false;
      action = [](HWND h) { PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0); };
      ADD_FAILURE() << "unexpected dialog \"" << seen.caption << "\": " << seen.text;
    } else {
      return;  // an ordinary window of the test
    }
    owner->seen_.push_back(seen);
    answered.push_back(hwnd);
    jobs.push_back({hwnd, owner, std::move(action)});
    // The answer is given from a thread timer: it runs inside the dialog's
    // own modal loop, once the dialog is fully set up.
    SetTimer(nullptr, 0, 20, &AnswererHook::OnTimer);
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (jobs.empty()) return;
    Job job = std::move(jobs.front());
    jobs.pop_front();
    if (IsWindow(job.hwnd)) job.action(job.hwnd);
  }
};

thread_local std::vector<DialogAnswerer*> AnswererHook::stack;
thread_local HHOOK AnswererHook::hook = nullptr;
thread_local std::deque<AnswererHook::Job> AnswererHook::jobs;
thread_local std::vector<HWND> AnswererHook::answered;

DialogAnswerer::DialogAnswerer() {
  if (AnswererHook::stack.empty())
    AnswererHook::hook = SetWindowsHookExA(WH_CBT, &AnswererHook::Proc, nullptr, GetCurrentThreadId());
  AnswererHook::stack.push_back(this);
}

DialogAnswerer::~DialogAnswerer() {
  std::erase(AnswererHook::stack, this);
  std::erase_if(AnswererHook::jobs, [this](const AnswererHook::Job& j) { return j.owner == this; });
  if (AnswererHook::stack.empty() && AnswererHook::hook) {
    UnhookWindowsHookEx(AnswererHook::hook);
    AnswererHook::hook = nullptr;
  }
}

DialogAnswerer& DialogAnswerer::pressButton(int id) {
  return then([id](HWND dlg) {
    HWND button = GetDlgItem(dlg, id);
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  });
}

DialogAnswerer& DialogAnswerer::pressKey(UINT vk) {
  return then([vk](HWND dlg) {
    HWND target = GetFocus();
    if (!target || (target != dlg && !IsChild(dlg, target))) target = dlg;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
  });
}

DialogAnswerer& DialogAnswerer::close() {
  return then([](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); });
}

DialogAnswerer& DialogAnswerer::then(std::function<void(HWND)> action, bool anyWindow) {
  answers_.push_back({std::move(action), anyWindow});
  return *this;
}

bool DialogAnswerer::waitAllUsed(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!answers_.empty() || !AnswererHook::jobs.empty()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

}  // namespace zvtest
