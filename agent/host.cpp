#include "host.h"

#include <algorithm>

#include "character.h"
#include "module.h"

namespace agent {
namespace {

constexpr wchar_t kHostClass[] = L"ZorvanAgentHost";
constexpr wchar_t kCharacterClass[] = L"ZorvanAgentCharacter";
constexpr wchar_t kBalloonClass[] = L"ZorvanAgentBalloon";
constexpr UINT_PTR kTimerId = 1;

bool g_classes = false;

LRESULT CALLBACK LayeredWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // the character never takes the focus from the program
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // clicks go to what lies beneath
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace

const wchar_t* HostClassName() { return kHostClass; }
const wchar_t* CharacterClassName() { return kCharacterClass; }
const wchar_t* BalloonClassName() { return kBalloonClass; }

bool EnsureWindowClasses() {
  if (g_classes) return true;
  HINSTANCE inst = ModuleInstance();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = inst;
  wc.lpfnWndProc = &Host::WndProc;
  wc.lpszClassName = kHostClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  wc.lpfnWndProc = LayeredWndProc;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kCharacterClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  wc.lpszClassName = kBalloonClass;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  g_classes = true;
  return true;
}

void UnregisterWindowClasses() {
  if (!g_classes) return;
  HINSTANCE inst = ModuleInstance();
  UnregisterClassW(kHostClass, inst);
  UnregisterClassW(kCharacterClass, inst);
  UnregisterClassW(kBalloonClass, inst);
  g_classes = false;
}

bool IsServerWindow(HWND hwnd) {
  wchar_t name[64] = {};
  if (!GetClassNameW(hwnd, name, 64)) return false;
  return lstrcmpW(name, kCharacterClass) == 0 || lstrcmpW(name, kBalloonClass) == 0;
}

Host* Host::Create() {
  if (!EnsureWindowClasses()) return nullptr;
  Host* h = new Host();
  h->hwnd_ = CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), h);
  if (!h->hwnd_) {
    delete h;
    return nullptr;
  }
  return h;
}

Host::~Host() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void Host::Attach(Character* c) { characters_.push_back(c); }

void Host::Detach(Character* c) {
  characters_.erase(std::remove(characters_.begin(), characters_.end(), c), characters_.end());
}

void Host::Wake() {
  if (timerOn_ || !hwnd_) return;
  timerOn_ = SetTimer(hwnd_, kTimerId, kTickMs, nullptr) != 0;
}

void Host::OnTimer() {
  if (ticking_) return;  // a nested message loop inside a tick: wait for the next
  ticking_ = true;
  AddRef();
  ULONGLONG now = GetTickCount64();
  // The list may change while characters play (one may be released); each
  // is held while it ticks.
  std::vector<Character*> list = characters_;
  for (Character* c : list) c->AddRef();
  bool busy = false;
  for (Character* c : list) {
    if (std::find(characters_.begin(), characters_.end(), c) != characters_.end()) busy |= c->Tick(now);
  }
  for (Character* c : list) c->Release();
  if (!busy && timerOn_) {
    KillTimer(hwnd_, kTimerId);
    timerOn_ = false;
  }
  ticking_ = false;
  Release();
}

LRESULT CALLBACK Host::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  } else if (msg == WM_TIMER && wp == kTimerId) {
    if (auto* host = reinterpret_cast<Host*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) host->OnTimer();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace agent
