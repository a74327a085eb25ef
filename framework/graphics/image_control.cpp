#include "framework/graphics/image_control.h"

#include "framework/core/members.h"
#include "framework/graphics/picture.h"
#include "framework/window/paint_frame.h"

namespace zv {

RECT FitPicture(int w, int h, int cw, int ch) {
  if (w <= 0 || h <= 0 || cw <= 0 || ch <= 0) return {0, 0, 0, 0};
  long long fw = w, fh = h;
  if (fw > cw) {
    fh = fh * cw / fw;
    fw = cw;
  }
  if (fh > ch) {
    fw = fw * ch / fh;
    fh = ch;
  }
  const long long left = (cw - fw) / 2, top = (ch - fh) / 2;
  return {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + fw), static_cast<LONG>(top + fh)};
}

namespace {

Value PictureOf(Object& self) { return Get(self, sym::FoPicture); }

void Refresh(Object& self) {
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, FALSE);
}

// The virtual size: the zoomed picture, or 0 by 0 when it is fitted or
// there is none.
void UpdateVirtualSize(Object& self) {
  const Value picture = PictureOf(self);
  long long w = 0, h = 0;
  if (!Get(self, sym::FlAutoFit).AsBool() && picture.IsObject() && picture.Send(sym::IsPicture).AsBool()) {
    const long long zoom = Get(self, sym::FnZoom).AsInt();
    w = Get(picture, sym::nWidth).AsInt() * zoom / 100;
    h = Get(picture, sym::nHeight).AsInt() * zoom / 100;
  }
  self.Send(sym::SetVirtualSize, w, h);
}

void DestroyPicture(Object& self) {
  const Value old = PictureOf(self);
  Put(self, sym::set::FoPicture, Value());
  if (old.IsObject() && Has(old, sym::Destroy)) old.Send(sym::Destroy, true);
}

// SetPicture(xPicture): a picture object, or a name (a file or a resource)
// made into one; the current picture is destroyed.
Value SetPicture(Object& self, Args a) {
  Value picture = a.Get(0);
  if (picture.IsObject() && picture.AsObject() == PictureOf(self).AsObject()) return picture;
  DestroyPicture(self);
  if (!picture.IsNil() && !picture.IsObject()) {
    Value made = Object::New(TPictureClass());
    picture = made.Send(sym::Create, picture);
  }
  Put(self, sym::set::FoPicture, picture);
  UpdateVirtualSize(self);
  Refresh(self);
  return picture;
}

// SetZoom(nZoom): from 5 to 20000 per cent; other values are ignored.
Value SetZoom(Object& self, Args a) {
  if (!a.Get(0).IsNumber()) return Get(self, sym::FnZoom);
  const long long zoom = a.Get(0).AsInt();
  if (zoom < 5 || zoom > 20000) return Get(self, sym::FnZoom);
  Put(self, sym::set::FnZoom, zoom);
  UpdateVirtualSize(self);
  Refresh(self);
  return zoom;
}

Value SetAutoFit(Object& self, Args a) {
  Put(self, sym::set::FlAutoFit, a.Get(0).AsBool());
  UpdateVirtualSize(self);
  Refresh(self);
  return a.Get(0).AsBool();
}

Value ImageFree(Object& self, Args a) {
  DestroyPicture(self);
  return Super(self, sym::Free, a);
}

Value ImageAlignControls(Object& self, Args a) {
  Refresh(self);
  return Super(self, sym::AlignControls, a);
}

// The picture's box in the client area: fitted, or the zoomed picture at
// the scroll position.
RECT PictureBox(Object& self, const Value& picture, HWND hwnd) {
  if (Get(self, sym::FlAutoFit).AsBool()) {
    RECT c{};
    GetClientRect(hwnd, &c);
    return FitPicture(static_cast<int>(Get(picture, sym::nWidth).AsInt()),
                      static_cast<int>(Get(picture, sym::nHeight).AsInt()), c.right, c.bottom);
  }
  const auto left = static_cast<LONG>(Get(self, sym::FnClientLeft).AsInt());
  const auto top = static_cast<LONG>(Get(self, sym::FnClientTop).AsInt());
  return {left, top, left + static_cast<LONG>(Get(self, sym::FnVirtualWidth).AsInt()),
          top + static_cast<LONG>(Get(self, sym::FnVirtualHeight).AsInt())};
}

// WM_PAINT, and WM_PRINTCLIENT on the context it gives.
Value ImageWMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  RunPaintFrame(self, hwnd, m.hdc, [&self, hwnd](HDC dc, const PAINTSTRUCT& ps) {
    PaintControlBackground(self, hwnd, dc, ps.rcPaint);
    const Value picture = PictureOf(self);
    if (!picture.IsObject() || !Has(picture, sym::Paint)) return;
    const RECT box = PictureBox(self, picture, hwnd);
    if (box.right <= box.left || box.bottom <= box.top) return;
    picture.Send(sym::Paint, HandleValue(dc), box.left, box.top, box.right, box.bottom, Get(self, sym::lTransparent),
                 Get(self, sym::lSmooth));
  });
  return 0;
}

// The frame covers the whole client area: nothing is erased.
Value ImageWMEraseBkgnd(Object&, const PaintMsg&) { return 1; }

Value ImageWMLButtonDown(Object& self, const MouseMsg& m) {
  if (Get(self, sym::lTabStop).AsBool() && m.hwnd && GetFocus() != m.hwnd) SetFocus(m.hwnd);
  return SuperHandler(self, sym::WMLButtonDown, m);
}

}  // namespace

Class* QImageClass() {
  static Class* c = [] {
    QVClass b("QImage", {TScrollingWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QIMAGE_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TImageClass() {
  static Class* c = DeclarePublicClass("TImage", QImageClass());
  return c;
}

}  // namespace zv
