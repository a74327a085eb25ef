// The two windows of a character on the screen: the figure and its balloon.
// Both are borderless, top-most, layered tool windows that never activate.
//
// They are shown in one of two ways:
//  - alpha: each window carries a premultiplied 32-bit image and the system
//    blends it with what lies beneath (UpdateLayeredWindow with ULW_ALPHA);
//    fades use the window's constant alpha.
//  - backdrop: for displays that do not blend layered windows (Wine on an X
//    server without a compositor shows their transparent parts black), the
//    server blends the image itself over a copy of the screen beneath the
//    window and shows an opaque window. The copy is taken before the window
//    covers a place and kept while it does; when other windows beneath
//    change, the windows are hidden for a moment and the copy is taken anew.
// Alpha is used on Windows, backdrop on Wine; AGENT_COMPOSE=alpha or
// AGENT_COMPOSE=backdrop overrides the choice.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace agent {

class Stage {
 public:
  struct Layer {
    const Image* image = nullptr;  // nullptr hides the window
    unsigned version = 0;          // changes whenever the image content changes
    int x = 0;
    int y = 0;
    double opacity = 1;  // 0 hides the window
  };

  Stage() = default;
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;

  // Creates both windows, hidden; `title` names the figure's window.
  bool Create(const std::wstring& title);
  void Destroy();

  // Shows one frame.
  void Present(const Layer& figure, const Layer& balloon, ULONGLONG now);

  bool FigureShown() const { return windows_[0].shown; }
  bool BackdropMode() const { return backdrop_; }
  HWND FigureWindow() const { return windows_[0].hwnd; }
  HWND BalloonWindow() const { return windows_[1].hwnd; }

 private:
  struct Window {
    HWND hwnd = nullptr;
    bool shown = false;
    RECT rect{};
    std::vector<std::uint32_t> backdrop;  // the screen beneath `rect`, while shown
    DibSurface surface;
    unsigned version = 0;
    double opacity = -1;
    const Image* image = nullptr;
  };
  struct Seen {
    HWND hwnd;
    RECT rect;
  };

  std::vector<std::uint32_t> Capture(const RECT& r);
  void Show(Window& w, const Layer& layer);
  void Hide(Window& w);
  std::vector<Seen> Surroundings() const;

  Window windows_[2];
  bool backdrop_ = false;
  // Backdrop mode: the other windows near ours when the copies were taken,
  // and the pause while the screen beneath is repainted.
  std::vector<Seen> seen_;
  ULONGLONG nextLook_ = 0;
  ULONGLONG refreshUntil_ = 0;
};

}  // namespace agent
