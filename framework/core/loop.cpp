#include "framework/core/loop.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/keytable.h"
#include "framework/window/winobject.h"

namespace zv {
namespace {

bool g_running = false;
// Exceptions raised inside callbacks, oldest first, waiting to be rethrown
// at the next boundary. Past the limit they are counted, not kept.
constexpr std::size_t kMaxDeferred = 64;
std::deque<std::exception_ptr> g_deferred;
std::size_t g_droppedDeferred = 0;
std::uint64_t g_loopMessages = 0;

std::vector<std::function<void()>>& idleWork() {
  static auto* w = new std::vector<std::function<void()>>;
  return *w;
}

HWND MdiClientOf(const Value& form) {
  Object* o = form.AsObject();
  if (!o || !o->GetClass()->HasMessage(sym::oMdiClient)) return nullptr;
  return ObjectHwnd(SendUnchecked(form, sym::oMdiClient, Args()));
}

void Dispatch(MSG& msg) {
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

// The loop shared by RUNFORM (non-modal) and ShowModal (modal).
void FormLoop(const Value& form, bool modal) {
  const HWND hForm = ObjectHwnd(form);
  const HWND hMdiClient = MdiClientOf(form);
  const HWND hMain = MainFormWindow();  // read once, at entry
  APPRUNNING(true);
  bool restoreWait = false;
  // Windows whose painting the restore wait put off (see below).
  std::vector<HWND> unpainted;
  MSG msg{};
  while (APPRUNNING()) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      RunIdleWork();
      GetMessageA(&msg, nullptr, 0, 0);  // a WM_QUIT goes on like any other message
    }
    ++g_loopMessages;
    if (restoreWait) {
      // The modal form was hidden with its minimized owner: only the owner's
      // restore command is let through; everything else is dropped.
      if (hMain && msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_RESTORE) {
        EnableWindow(hMain, TRUE);
        DispatchMessageA(&msg);
        EnableWindow(hMain, FALSE);
        SetFocus(hForm);
        restoreWait = false;
        for (HWND h : unpainted)
          if (IsWindow(h)) InvalidateRect(h, nullptr, TRUE);
        unpainted.clear();
      } else if (msg.message == WM_PAINT && msg.hwnd) {
        // A dropped WM_PAINT comes back at once while its window stays
        // invalid, and the wait would spin: the window is validated now and
        // painted again when the wait ends.
        ValidateRect(msg.hwnd, nullptr);
        if (std::find(unpainted.begin(), unpainted.end(), msg.hwnd) == unpainted.end()) unpainted.push_back(msg.hwnd);
      }
    } else if (KeyHookTake(msg)) {
      // taken by a key hook
    } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
      Dispatch(msg);
    } else if (!hMdiClient || !TranslateMDISysAccel(hMdiClient, &msg)) {
      Dispatch(msg);
    }
    RethrowDeferred();
    if (QuitPending() || !IsWindow(hForm)) break;
    if (!modal) continue;
    if (IsWindowVisible(hForm) || IsIconic(hForm)) continue;
    if (!hMain) continue;
    if (!IsIconic(hMain)) break;  // hidden by code: the modal run ends
    restoreWait = true;           // hidden by the system with the minimized owner
  }
}

// Re-enables the forms a modal run disabled, also when an abort unwinds it.
class ReEnable {
 public:
  explicit ReEnable(std::vector<Value> forms) : forms_(std::move(forms)) {}
  ~ReEnable() {
    for (const Value& f : forms_) {
      try {
        f.Send(sym::Enable);
      } catch (...) {
        DeferException(std::current_exception());
      }
    }
  }
  ReEnable(const ReEnable&) = delete;
  ReEnable& operator=(const ReEnable&) = delete;

 private:
  std::vector<Value> forms_;
};

}  // namespace

bool APPRUNNING() { return g_running; }
bool APPRUNNING(bool lNew) {
  g_running = lNew;
  return g_running;
}

void RUNFORM(const Value& form) { FormLoop(form, false); }

Value ShowModalForm(const Value& form, const Value& nShow, const Value& lCenter) {
  const HWND hForm = ObjectHwnd(form);
  std::vector<Value> disabled;
  if (Application().IsObject()) {
    Value forms = SendUnchecked(Application(), sym::aForms, Args());
    const std::vector<Value> snapshot = forms.IsList() ? forms.AsList().items : std::vector<Value>();
    for (const Value& f : snapshot) {
      if (f.Send(sym::lEnabled).AsBool() && ObjectHwnd(f) != hForm) {
        disabled.push_back(f);
        f.Send(sym::Disable);
      }
    }
  }
  ReEnable reEnable(disabled);
  form.Send(sym::set::nModalResult, 0);
  form.Send(sym::set::lModal, true);
  if (lCenter.Deref().IsTrue() && hForm) {
    RECT desk{}, win{};
    GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(hForm, &win);
    const int x = (desk.left + desk.right + win.left - win.right) >> 1;
    const int y = (desk.top + desk.bottom + win.top - win.bottom) >> 1;
    SetWindowPos(hForm, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (nShow.Deref().IsNil()) form.Send(sym::Show);
  else form.Send(sym::Show, nShow.Deref());
  form.Send(sym::AlignControls);
  FormLoop(form, true);
  return form.Send(sym::nModalResult);
}

void PROCESSMESSAGES() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!KeyHookTake(msg)) Dispatch(msg);
    RethrowDeferred();
  }
}

void AddIdleWork(std::function<void()> work) { idleWork().push_back(std::move(work)); }

void RunIdleWork() {
  FreeReleasedLinks();
  for (auto& w : idleWork()) w();
  CollectIfNeeded();
}

void DeferException(std::exception_ptr e) {
  if (!e) return;
  if (g_deferred.size() >= kMaxDeferred) {
    ++g_droppedDeferred;
    return;
  }
  g_deferred.push_back(std::move(e));
}

bool ExceptionDeferred() { return !g_deferred.empty(); }

std::size_t DeferredExceptionCount() { return g_deferred.size(); }
std::size_t DroppedDeferredExceptions() { return g_droppedDeferred; }

void RethrowDeferred() {
  if (g_deferred.empty()) return;
  std::exception_ptr e = std::move(g_deferred.front());
  g_deferred.pop_front();
  std::rethrow_exception(e);
}

std::uint64_t LoopMessageCount() { return g_loopMessages; }

LRESULT SendMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = SendMessageA(hwnd, msg, wParam, lParam);
  RethrowDeferred();
  return r;
}

}  // namespace zv
