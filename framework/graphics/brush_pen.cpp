#include "framework/graphics/brush_pen.h"

#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/graphics/gdi_object.h"

namespace zv {

int ScaledPenWidth(int width, int devicePpi, int screenPpi) {
  if (devicePpi <= 0 || screenPpi <= 0) return width;
  return static_cast<int>(static_cast<long long>(devicePpi) * width / screenPpi);
}

namespace {

using gdi::DeleteHandle;
using gdi::DeleteInDestructor;

Value ReCreate(Object& self, Args) {
  if (gdi::HandleOf(self)) self.Send(sym::Create);
  return {};
}

Value DestroyGdiObject(Object& self, Args) {
  DeleteHandle(self);
  return Value(&self);
}

// ---------------------------------------------------------------- brush

// Create(nStyle, nColor, hBitmap): the given values stored, then a hatch,
// pattern, solid or hollow brush, in that order of precedence.
Value BrushCreate(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnStyle, a.Get(0));
  if (a.Has(1)) Put(self, sym::set::FnColor, a.Get(1));
  if (a.Has(2)) Put(self, sym::set::FhBitmap, a.Get(2));
  DeleteHandle(self);
  const Value style = Get(self, sym::FnStyle);
  const Value color = Get(self, sym::FnColor);
  const Value bitmap = Get(self, sym::FhBitmap);
  const auto rgb = static_cast<COLORREF>(color.AsInt());
  HBRUSH h = nullptr;
  if (!style.IsNil()) {
    h = CreateHatchBrush(static_cast<int>(style.AsInt()), rgb);
  } else if (!bitmap.IsNil()) {
    h = CreatePatternBrush(ValueHandle<HBITMAP>(bitmap));
  } else if (!color.IsNil()) {
    h = CreateSolidBrush(rgb);
  } else {
    LOGBRUSH lb{BS_NULL, 0, 0};
    h = CreateBrushIndirect(&lb);
  }
  Put(self, sym::set::Handle, HandleValue(h));
  return Value(&self);
}

Value BrushClone(Object& self, Args) {
  Value clone = Object::New(TBrushClass());
  return clone.Send(sym::Create, Get(self, sym::FnStyle), Get(self, sym::FnColor), Get(self, sym::FhBitmap));
}

// ---------------------------------------------------------------- pen

int ScreenPixelsPerInch() {
  const Value screen = Screen();
  if (Has(screen, sym::nPixelsPerInch))
    if (const auto ppi = Get(screen, sym::nPixelsPerInch).AsInt(); ppi > 0) return static_cast<int>(ppi);
  HDC dc = GetDC(nullptr);
  const int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
  if (dc) ReleaseDC(nullptr, dc);
  return ppi;
}

// Create(nStyle, nWidth, nColor, oDevice) (also New).
Value PenCreate(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnStyle, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnWidth, a.Get(1).AsInt());
  if (a.Has(2)) Put(self, sym::set::FnColor, a.Get(2).AsInt());
  if (a.Has(3)) Put(self, sym::set::oDevice, a.Get(3));
  DeleteHandle(self);
  int width = static_cast<int>(Get(self, sym::FnWidth).AsInt());
  const Value device = Get(self, sym::oDevice);
  if (device.IsObject() && Has(device, sym::Resolution)) {
    const Value res = device.Send(sym::Resolution);
    width = ScaledPenWidth(width, static_cast<int>(res.Item(1).AsInt()), ScreenPixelsPerInch());
  }
  const HPEN h = CreatePen(static_cast<int>(Get(self, sym::FnStyle).AsInt()), width,
                           static_cast<COLORREF>(Get(self, sym::FnColor).AsInt()));
  Put(self, sym::set::Handle, HandleValue(h));
  return Value(&self);
}

Value PenClone(Object& self, Args a) {
  Value clone = Object::New(TPenClass());
  const Value device = a.Has(0) ? a.Get(0) : Get(self, sym::oDevice);
  return clone.Send(sym::Create, Get(self, sym::FnStyle), Get(self, sym::FnWidth), Get(self, sym::FnColor), device);
}

}  // namespace

Class* QBrushClass() {
  static Class* c = [] {
    QVClass b("QBrush", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBRUSH_MEMBERS);
    b.Destructor(&DeleteInDestructor);  // the GDI brush goes with the object
    return b.Create();
  }();
  return c;
}

Class* TBrushClass() {
  static Class* c = DeclarePublicClass("TBrush", QBrushClass());
  return c;
}

Class* QPenClass() {
  static Class* c = [] {
    QVClass b("QPen", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QPEN_MEMBERS);
    b.Destructor(&DeleteInDestructor);
    return b.Create();
  }();
  return c;
}

Class* TPenClass() {
  static Class* c = DeclarePublicClass("TPen", QPenClass());
  return c;
}

}  // namespace zv
