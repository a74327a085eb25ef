#include "stage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host.h"
#include "module.h"

namespace agent {
namespace {

constexpr ULONGLONG kLookMs = 250;     // how often backdrop mode looks at the other windows
constexpr ULONGLONG kRepaintMs = 200;  // how long the windows stay hidden for a new copy

bool ChooseBackdrop() {
  std::wstring mode = EnvironmentValue(L"AGENT_COMPOSE");
  if (mode == L"alpha") return false;
  if (mode == L"backdrop") return true;
  return RunningOnWine();
}

struct EnumState {
  std::vector<std::pair<HWND, RECT>>* out;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  auto* st = reinterpret_cast<EnumState*>(lp);
  if (!IsWindowVisible(hwnd) || IsIconic(hwnd) || IsServerWindow(hwnd)) return TRUE;
  RECT r;
  if (GetWindowRect(hwnd, &r) && r.right > r.left && r.bottom > r.top) st->out->push_back({hwnd, r});
  return TRUE;
}

}  // namespace

Stage::~Stage() { Destroy(); }

bool Stage::Create(const std::wstring& title) {
  if (!EnsureWindowClasses()) return false;
  backdrop_ = ChooseBackdrop();
  const DWORD ex = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  windows_[0].hwnd = CreateWindowExW(ex, CharacterClassName(), title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     ModuleInstance(), nullptr);
  windows_[1].hwnd = CreateWindowExW(ex, BalloonClassName(), title.c_str(), WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     ModuleInstance(), nullptr);
  if (!windows_[0].hwnd || !windows_[1].hwnd) {
    Destroy();
    return false;
  }
  return true;
}

void Stage::Destroy() {
  for (Window& w : windows_) {
    if (w.hwnd) DestroyWindow(w.hwnd);
    w.hwnd = nullptr;
    w.shown = false;
    w.backdrop.clear();
  }
}

std::vector<Stage::Seen> Stage::Surroundings() const {
  std::vector<std::pair<HWND, RECT>> all;
  EnumState st{&all};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&st));
  // Only the windows that lie under ours matter, in their stacking order.
  RECT area{};
  for (const Window& w : windows_)
    if (w.shown) UnionRect(&area, &area, &w.rect);
  std::vector<Seen> out;
  for (const auto& [hwnd, r] : all) {
    RECT i;
    if (IntersectRect(&i, &r, &area)) out.push_back({hwnd, r});
  }
  return out;
}

std::vector<std::uint32_t> Stage::Capture(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  DibSurface tmp;
  if (tmp.Ensure(w, h)) {
    HDC screen = GetDC(nullptr);
    BitBlt(tmp.dc(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    std::memcpy(out.data(), tmp.bits(), out.size() * sizeof(std::uint32_t));
  }
  // Where one of our windows is on the screen now, the screen shows it, not
  // what lies beneath: take those parts from its own copy.
  for (const Window& o : windows_) {
    if (!o.shown || o.backdrop.empty()) continue;
    RECT i;
    if (!IntersectRect(&i, &r, &o.rect)) continue;
    const int ow = o.rect.right - o.rect.left;
    for (int y = i.top; y < i.bottom; ++y) {
      const std::uint32_t* src = o.backdrop.data() + static_cast<std::size_t>(y - o.rect.top) * ow + (i.left - o.rect.left);
      std::uint32_t* dst = out.data() + static_cast<std::size_t>(y - r.top) * w + (i.left - r.left);
      std::memcpy(dst, src, static_cast<std::size_t>(i.right - i.left) * sizeof(std::uint32_t));
    }
  }
  return out;
}

void Stage::Show(Window& w, const Layer& layer) {
  const Image& img = *layer.image;
  RECT target{layer.x, layer.y, layer.x + img.width, layer.y + img.height};
  bool moved = !w.shown || !EqualRect(&target, &w.rect);
  if (!moved && layer.version == w.version && layer.image == w.image && std::fabs(layer.opacity - w.opacity) < 1e-3)
    return;
  if (!w.surface.Ensure(img.width, img.height)) return;

  const double o = std::clamp(layer.opacity, 0.0, 1.0);
  std::uint32_t* dst = w.surface.bits();
  const std::size_t n = img.pixels.size();
  if (backdrop_ && w.backdrop.size() == n) {
    ComposeOver(img, w.backdrop.data(), o, dst);
  } else {
    std::memcpy(dst, img.pixels.data(), n * sizeof(std::uint32_t));
  }
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(backdrop_ ? 255 : std::lround(o * 255)), AC_SRC_ALPHA};
  POINT pos{layer.x, layer.y};
  SIZE size{img.width, img.height};
  POINT zero{0, 0};
  HDC screen = GetDC(nullptr);
  UpdateLayeredWindow(w.hwnd, screen, &pos, &size, w.surface.dc(), &zero, 0, &blend, ULW_ALPHA);
  ReleaseDC(nullptr, screen);
  if (!w.shown) {
    ShowWindow(w.hwnd, SW_SHOWNOACTIVATE);
    SetWindowPos(w.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    w.shown = true;
  }
  w.rect = target;
  w.version = layer.version;
  w.image = layer.image;
  w.opacity = layer.opacity;
}

void Stage::Hide(Window& w) {
  if (w.shown) ShowWindow(w.hwnd, SW_HIDE);
  w.shown = false;
  w.backdrop.clear();
  w.image = nullptr;
}

void Stage::Present(const Layer& figure, const Layer& balloon, ULONGLONG now) {
  if (!windows_[0].hwnd) return;
  const Layer* layers[2] = {&figure, &balloon};
  auto wanted = [](const Layer& l) { return l.image && !l.image->empty() && l.opacity > 0.001; };

  if (backdrop_) {
    if (refreshUntil_) {
      if (now < refreshUntil_ && (wanted(figure) || wanted(balloon))) return;
      refreshUntil_ = 0;
    }
    if ((windows_[0].shown || windows_[1].shown) && now >= nextLook_) {
      nextLook_ = now + kLookMs;
      std::vector<Seen> s = Surroundings();
      bool same = s.size() == seen_.size();
      for (std::size_t i = 0; same && i < s.size(); ++i)
        same = s[i].hwnd == seen_[i].hwnd && EqualRect(&s[i].rect, &seen_[i].rect);
      seen_ = std::move(s);
      if (!same) {
        // Something beneath changed: step aside so it can repaint, and copy
        // the screen again afterwards.
        Hide(windows_[0]);
        Hide(windows_[1]);
        refreshUntil_ = now + kRepaintMs;
        return;
      }
    }
  }

  // New copies of the screen for the windows that appear or move, all taken
  // before any window changes.
  bool appeared = false;
  if (backdrop_) {
    std::vector<std::uint32_t> fresh[2];
    bool need[2] = {false, false};
    for (int i = 0; i < 2; ++i) {
      const Layer& l = *layers[i];
      if (!wanted(l)) continue;
      RECT target{l.x, l.y, l.x + l.image->width, l.y + l.image->height};
      if (windows_[i].shown && EqualRect(&target, &windows_[i].rect) && !windows_[i].backdrop.empty()) continue;
      fresh[i] = Capture(target);
      need[i] = true;
    }
    for (int i = 0; i < 2; ++i)
      if (need[i]) windows_[i].backdrop = std::move(fresh[i]);
  }
  for (int i = 0; i < 2; ++i) {
    if (wanted(*layers[i])) {
      appeared |= !windows_[i].shown;
      Show(windows_[i], *layers[i]);
    } else {
      Hide(windows_[i]);
    }
  }
  if (backdrop_ && appeared) {
    seen_ = Surroundings();
    nextLook_ = now + kLookMs;
  }
}

}  // namespace agent
