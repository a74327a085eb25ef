// TFont: one GDI font. It keeps the values it was made from as properties
// and makes its font again whenever one changes while it has a handle. A
// font can be made for a device (the screen, or a printer) so that its point
// size gives the right pixel height there. Several owners may share one font
// object: nCount counts them, and Destroy frees the GDI font only when the
// last one lets it go.
#pragma once

#include "framework/window/winobject.h"

#define ZV_QFONT_MEMBERS(X)                                                                       \
  X(DATA, Value, oDevice)                                                                         \
  X(DATA, int, nCount, 0)                                                                         \
  X(PROPERTY, std::string, cName, .dflt = "MS Sans Serif", .setter = &StoreAndRecreate<&sym::set::FcName>) \
  X(PROPERTY, int, nSize, .dflt = 8, .setter = &SetSizeProperty)                                  \
  X(PROPERTY, int, nWidth, .dflt = 0, .setter = &StoreAndRecreate<&sym::set::FnWidth>)            \
  X(PROPERTY, int, nHeight, .dflt = 0, .setter = &StoreAndRecreate<&sym::set::FnHeight>)          \
  X(PROPERTY, int, nStyle, .dflt = 0, .setter = &StoreAndRecreate<&sym::set::FnStyle>)            \
  X(PROPERTY, int, nWeight, .dflt = 400, .setter = &StoreAndRecreate<&sym::set::FnWeight>)        \
  X(PROPERTY, int, nOrientation, .dflt = 0, .setter = &StoreAndRecreate<&sym::set::FnOrientation>) \
  X(PROPERTY, bool, lBold, .dflt = false, .setter = &SetBold)                                     \
  X(PROPERTY, bool, lItalic, .dflt = false, .setter = &SetStyleBit<&sym::set::FlItalic, 1>)       \
  X(PROPERTY, bool, lUnderline, .dflt = false, .setter = &SetStyleBit<&sym::set::FlUnderline, 2>) \
  X(PROPERTY, bool, lStrikeOut, .dflt = false, .setter = &SetStyleBit<&sym::set::FlStrikeOut, 4>) \
  X(PROPERTY, int, nCharSet, .dflt = 1, .setter = &StoreAndRecreate<&sym::set::FnCharSet>)        \
  X(CONSTRUCTOR, New, &FontNew)                                                                   \
  X(CONSTRUCTOR, Create, &FontCreate)                                                             \
  X(METHOD, Destroy, &FontDestroy)                                                                \
  X(METHOD, Clone, &FontClone)                                                                    \
  X(METHOD, Compare, &FontCompare)                                                                \
  X(METHOD, GetTextSize, &GetTextSize)                                                            \
  X(METHOD, GetTextWidth, &GetTextWidth)                                                          \
  X(METHOD, GetTextHeight, &GetTextHeight)                                                        \
  X(METHOD, SaveToText, &SaveToText)                                                              \
  X(METHOD, RestoreFromText, &RestoreFromText)                                                    \
  X(METHOD, Recreate, &FontRecreate)                                                              \
  X(METHOD, SizeToHeight, &SizeToHeight)                                                          \
  X(METHOD, HeightToSize, &HeightToSize)                                                          \
  X(METHOD, SetSize, &SetSize)

namespace zv {

Class* QFontClass();
Class* TFontClass();

class TFontRef : public TWinObjectRef {
  ZV_VIEW_CLASS(TFontRef, TWinObjectRef, QFontClass)
  ZV_VIEW_MEMBERS(ZV_QFONT_MEMBERS)
  HFONT hfont() const { return reinterpret_cast<HFONT>(hwnd()); }
};

// The vertical pixels per inch of a device context, never 0 (a context
// that answers none counts as the screen's, and that as 96).
int DevicePixelsPerInch(HDC dc);

}  // namespace zv
