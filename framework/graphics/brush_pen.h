// TBrush and TPen: one GDI brush or pen each, made again whenever a
// property changes while it has a handle.
//
// A brush is a hatch brush when nStyle (an HS_ value) is set, else a pattern
// brush when hBitmap is (the bitmap stays the caller's), else a solid brush
// when nColor is, else hollow. A pen's width is in screen pixels: for a
// device of another resolution (a printer) it is scaled by the device's
// horizontal pixels per inch over the screen's.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QBRUSH_MEMBERS(X)                                                          \
  X(PROPERTY, Value, nStyle, .setter = &gdi::StoreAndRecreate<&sym::set::FnStyle>)         \
  X(PROPERTY, Value, nColor, .setter = &gdi::StoreAndRecreate<&sym::set::FnColor>)         \
  X(PROPERTY, Value, hBitmap, .setter = &gdi::StoreAndRecreate<&sym::set::FhBitmap>)       \
  X(METHOD, ReCreate, &ReCreate)                                                      \
  X(CONSTRUCTOR, Create, &BrushCreate)                                                \
  X(METHOD, Destroy, &DestroyGdiObject)                                               \
  X(METHOD, Clone, &BrushClone)

#define ZV_QPEN_MEMBERS(X)                                                            \
  X(DATA_R, Value, oDevice)                                                           \
  X(PROPERTY, int, nStyle, .dflt = 0, .setter = &gdi::StoreAndRecreate<&sym::set::FnStyle>) \
  X(PROPERTY, int, nColor, .dflt = 0, .setter = &gdi::StoreAndRecreate<&sym::set::FnColor>) \
  X(PROPERTY, int, nWidth, .dflt = 1, .setter = &gdi::StoreAndRecreate<&sym::set::FnWidth>) \
  X(METHOD, ReCreate, &ReCreate)                                                      \
  X(CONSTRUCTOR, New, &PenCreate)                                                     \
  X(CONSTRUCTOR, Create, &PenCreate)                                                  \
  X(METHOD, Destroy, &DestroyGdiObject)                                               \
  X(METHOD, Clone, &PenClone)

namespace zv {

Class* QBrushClass();
Class* TBrushClass();
Class* QPenClass();
Class* TPenClass();

class TBrushRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TBrushRef, TWinObjectRef, QBrushClass)
  ZV_VIEW_MEMBERS(ZV_QBRUSH_MEMBERS)
};

class TPenRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TPenRef, TWinObjectRef, QPenClass)
  ZV_VIEW_MEMBERS(ZV_QPEN_MEMBERS)
};

// The width in device pixels of a pen `width` screen pixels wide, for a
// device with `devicePpi` horizontal pixels per inch (truncated; the width
// itself when either resolution is unknown).
int ScaledPenWidth(int width, int devicePpi, int screenPpi);

}  // namespace zv
