#include "framework/window/paint_frame.h"

#include <string>

#include "framework/core/loop.h"
#include "framework/core/members.h"

namespace zv {
namespace {

PaintFrameCounts g_counts;

// The window whose BeginPaint a frame is inside (its WM_ERASEBKGND is
// covered by the buffer).
HWND g_beginning = nullptr;

// The memory context and its bitmap: released on every way out.
struct Buffer {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  ~Buffer() {
    if (dc && old) SelectObject(dc, old);
    if (dc) DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    if (dc || bitmap) ++g_counts.released;
  }
};

// The window's paint, ended on every way out.
struct WindowPaint {
  HWND hwnd = nullptr;
  PAINTSTRUCT ps{};
  bool begun = false;
  explicit WindowPaint(HWND h) : hwnd(h) {}
  WindowPaint(const WindowPaint&) = delete;
  WindowPaint& operator=(const WindowPaint&) = delete;
  ~WindowPaint() {
    if (begun) ::EndPaint(hwnd, &ps);
  }
};

Value PaintStructValue(const PAINTSTRUCT& ps) {
  return Value(std::string(reinterpret_cast<const char*>(&ps), sizeof ps));
}

// The picture of a windowed control's background: a picture object's
// bitmap or a bitmap handle.
HBITMAP BackgroundBitmap(Object& self) {
  const Value self_(&self);
  if (!Has(self_, sym::oBkgnd)) return nullptr;
  const Value picture = Get(self, sym::FoBkgnd);
  HBITMAP bitmap = nullptr;
  if (picture.IsObject()) bitmap = Has(picture, sym::Handle) ? ObjectHandle<HBITMAP>(picture) : nullptr;
  else if (picture.IsNumber()) bitmap = ValueHandle<HBITMAP>(picture);
  return bitmap && GetObjectType(bitmap) == OBJ_BITMAP ? bitmap : nullptr;
}

void FillSolid(Object& self, HWND hwnd, HDC dc, const RECT& area) {
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush))) {
    FillRect(dc, &area, brush);
    return;
  }
  const Value pane = Get(self, sym::nClrPane);
  if (!pane.IsNumber()) {
    // No colour of its own: the window class's background, else the face colour.
    HBRUSH cls = reinterpret_cast<HBRUSH>(GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
    FillRect(dc, &area, cls ? cls : GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  const COLORREF old = SetBkColor(dc, static_cast<COLORREF>(pane.AsInt()));
  ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &area, nullptr, 0, nullptr);
  SetBkColor(dc, old);
}

// A bitmap drawn by nBkgndMode: 0 at the top-left corner, 1 centred,
// 2 tiled, 3 stretched over the client area.
void DrawPicture(Object& self, HWND hwnd, HDC dc, const RECT& area, HBITMAP bitmap) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  RECT client{};
  GetClientRect(hwnd, &client);
  const long long mode = Get(self, sym::FnBkgndMode).AsInt();
  if (mode == 2) {
    if (HBRUSH pattern = ValueHandle<HBRUSH>(Get(self, sym::hBkgnd))) {
      POINT oldOrigin{};
      SetBrushOrgEx(dc, 0, 0, &oldOrigin);
      FillRect(dc, &area, pattern);
      SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
      return;
    }
  }
  HDC src = CreateCompatibleDC(dc);
  if (!src) return;
  HGDIOBJ old = SelectObject(src, bitmap);
  if (mode == 3) {
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, client.right, client.bottom, src, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
  } else {
    int x = 0, y = 0;
    if (mode == 1) {
      x = (client.right - info.bmWidth) / 2;
      y = (client.bottom - info.bmHeight) / 2;
    }
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
  }
  SelectObject(src, old);
  DeleteDC(src);
}

}  // namespace

bool InFrameBeginPaint(HWND hwnd) { return hwnd && hwnd == g_beginning; }

PaintFrameCounts GetPaintFrameCounts() { return g_counts; }

bool RunPaintFrameWith(Object& self, HWND hwnd, HDC given, PaintStepFn step, void* context, unsigned flags) {
  if (!hwnd || !IsWindow(hwnd)) return false;
  ++g_counts.frames;
  WindowPaint paint(hwnd);
  Buffer buffer;
  PAINTSTRUCT ps{};
  HDC target = given;
  int width = 0, height = 0;
  if (given) {
    ps.hdc = given;
    GetClientRect(hwnd, &ps.rcPaint);
  } else {
    const HWND outer = g_beginning;
    g_beginning = hwnd;
    HDC windowDc = ::BeginPaint(hwnd, &paint.ps);
    g_beginning = outer;
    if (!windowDc) return false;
    paint.begun = true;
    ps = paint.ps;
    width = ps.rcPaint.right;
    height = ps.rcPaint.bottom;
    if (width <= 0 || height <= 0 || IsRectEmpty(&ps.rcPaint)) return true;  // nothing to paint
    buffer.dc = CreateCompatibleDC(nullptr);
    buffer.bitmap = buffer.dc ? CreateCompatibleBitmap(windowDc, width, height) : nullptr;
    if (buffer.dc && buffer.bitmap) {
      ++g_counts.buffers;
      buffer.old = SelectObject(buffer.dc, buffer.bitmap);
      target = buffer.dc;
    } else {
      target = windowDc;  // no memory for a buffer: drawn straight (it flickers, nothing is lost)
    }
    ps.hdc = target;
    if (flags & kFrameEraseBuffer) PaintControlBackground(self, hwnd, target, ps.rcPaint);
  }
  const Value dc = HandleValue(target);
  bool draw = true;
  if (!(flags & kFrameNoEvents)) draw = !self.Send(sym::OnPaint, dc, PaintStructValue(ps)).IsFalse();
  // A handler may have destroyed the window: the rest needs it.
  if (draw && step && IsWindow(hwnd)) step(context, target, ps);
  if (draw && !(flags & kFrameNoEvents) && IsWindow(hwnd)) self.Send(sym::OnPainted, dc, PaintStructValue(ps));
  if (target == buffer.dc && buffer.dc && IsWindow(hwnd))
    BitBlt(paint.ps.hdc, 0, 0, width, height, buffer.dc, 0, 0, SRCCOPY);
  return true;
}

void PaintControlBackground(Object& self, HWND hwnd, HDC dc, const RECT& area) {
  if (Get(self, sym::FlTransparent).AsBool() && PaintParentBackground(hwnd, dc)) return;
  HBITMAP bitmap = BackgroundBitmap(self);
  // A tiled picture covers everything; the other layouts leave some of the
  // area to the plain background.
  if (!bitmap || Get(self, sym::FnBkgndMode).AsInt() != 2 || !Get(self, sym::hBkgnd).AsInt())
    FillSolid(self, hwnd, dc, area);
  if (bitmap) DrawPicture(self, hwnd, dc, area, bitmap);
}

bool PaintParentBackground(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  if (!parent || !(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD)) return false;
  POINT offset{0, 0};
  MapWindowPoints(child, parent, &offset, 1);
  POINT old{};
  OffsetViewportOrgEx(dc, -offset.x, -offset.y, &old);
  SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  return true;
}

void UpdateBackgroundBrush(Object& self) {
  if (HBRUSH old = ValueHandle<HBRUSH>(Get(self, sym::hBkgnd))) DeleteObject(old);
  Put(self, sym::set::hBkgnd, 0);
  if (HBITMAP bitmap = BackgroundBitmap(self)) Put(self, sym::set::hBkgnd, HandleValue(CreatePatternBrush(bitmap)));
}

namespace {

// The drawing step of the system-class paths: the background (the
// parent's under a transparent control, the system class's erase or the
// control's solid colour), then the class paints into the same context.
template <bool solid>
Value SystemPaint(Object& self, const PaintMsg& m) {
  RunPaintFrame(self, m.hwnd, m.hdc, [&self, hwnd = m.hwnd](HDC dc, const PAINTSTRUCT& ps) {
    if (!(Get(self, sym::FlTransparent).AsBool() && PaintParentBackground(hwnd, dc))) {
      if (solid) FillSolid(self, hwnd, dc, ps.rcPaint);
      else PREVWINDOWPROC(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    PREVWINDOWPROC(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  });
  RethrowDeferred();
  return 0;
}

}  // namespace

Value EraseAndPaintHandler(Object& self, const PaintMsg& m) { return SystemPaint<false>(self, m); }
Value EraseSolidAndPaintHandler(Object& self, const PaintMsg& m) { return SystemPaint<true>(self, m); }

}  // namespace zv
