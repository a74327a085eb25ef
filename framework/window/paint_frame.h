// The paint frame every owner-drawn path of the control base shares.
//
// A frame draws either into a device context it is given (WM_ERASEBKGND,
// WM_PRINTCLIENT, WM_PAINT sent with a context) or, double-buffered, into a
// memory context holding a bitmap as large as the right and bottom edges of
// the paint rectangle, copied to the window in one blit at the end. Inside
// the frame:
//
//   OnPaint(oSender, hDC, cPaintStruct)     a logical false skips the rest
//   the drawing step                        the control's own drawing
//   OnPainted(oSender, hDC, cPaintStruct)   drawing over it
//
// cPaintStruct is the PAINTSTRUCT's bytes as a string. The buffer and the
// paint structure belong to the frame (they live on the stack of the call),
// so a frame that starts inside another (a handler updating a second window
// at once) has its own; every path out of the frame, an error raised by a
// handler included, releases the memory context and the bitmap and ends
// the window's paint.
#pragma once

#include <windows.h>

#include <type_traits>

#include "framework/window/messages.h"

namespace zv {

enum PaintFrameFlags : unsigned {
  // The buffer starts with the control's background (what WM_ERASEBKGND
  // would have painted on the screen), for handlers that draw only parts.
  kFrameEraseBuffer = 1,
  // No OnPaint/OnPainted: only the drawing step (the background painted
  // under a transparent child, for one).
  kFrameNoEvents = 2,
};

using PaintStepFn = void (*)(void* context, HDC dc, const PAINTSTRUCT& ps);

// Runs one frame for the window of `self` (see above); `given` 0 paints
// double-buffered. Answers false when nothing could be painted (no window).
bool RunPaintFrameWith(Object& self, HWND hwnd, HDC given, PaintStepFn step, void* context, unsigned flags);

template <typename F>
bool RunPaintFrame(Object& self, HWND hwnd, HDC given, F&& step, unsigned flags = 0) {
  using Step = std::remove_reference_t<F>;
  return RunPaintFrameWith(
      self, hwnd, given, [](void* c, HDC dc, const PAINTSTRUCT& ps) { (*static_cast<Step*>(c))(dc, ps); },
      const_cast<void*>(static_cast<const void*>(&step)), flags);
}

// True while `hwnd` is inside the BeginPaint of a double-buffered frame: its
// WM_ERASEBKGND then paints nothing (the buffer covers the whole area, and
// erasing the screen first would flicker).
bool InFrameBeginPaint(HWND hwnd);

// The control's background over `area` of dc: the parent's client painted
// under it when it is transparent (lTransparent), else its picture laid out
// by nBkgndMode (oBkgnd, a picture object or a bitmap handle), else its
// brush, else its pane colour.
void PaintControlBackground(Object& self, HWND hwnd, HDC dc, const RECT& area);

// Paints the parent's client area under a child window into the child's
// context: the viewport origin is shifted by the child's offset inside the
// parent, the parent prints its client (WM_PRINTCLIENT), and the origin is
// put back. Answers false without a parent.
bool PaintParentBackground(HWND child, HDC dc);

// The pattern brush made from the control's picture (hBkgnd), made again
// when the picture changed; 0 without a picture.
void UpdateBackgroundBrush(Object& self);

// Handlers for the tables of controls built on system classes: their
// WM_PAINT runs the frame with the system class erasing (EraseAndPaint) or
// the control's solid background (EraseSolidAndPaint) and then painting
// into the same context.
Value EraseAndPaintHandler(Object& self, const PaintMsg& m);
Value EraseSolidAndPaintHandler(Object& self, const PaintMsg& m);

// Counts kept for the tests: frames run, buffers made, buffers released.
struct PaintFrameCounts {
  long long frames = 0;
  long long buffers = 0;
  long long released = 0;
};
PaintFrameCounts GetPaintFrameCounts();

}  // namespace zv
