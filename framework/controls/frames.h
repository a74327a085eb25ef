// TBevel and TGroupBox: windowed controls that frame others. A bevel is a
// panel with a border style of the control base (etched by default); a group
// box draws a frame half a text line below its top with its caption set into
// it (left, centred or right), swallows clicks on itself, and enables or
// disables its children with it.
#pragma once

#include "framework/controls/label.h"
#include "framework/window/wincontrol.h"

#define ZV_QBEVEL_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 100, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 100, .setter = sym::SetHeight) \
  X(PROPERTY, int, nBorderStyle, .dflt = 6, .setter = sym::SetBorderStyle) \
  X(PROPERTY, bool, lTransparent, .dflt = false) \
  X(PROPERTY, std::string, cTooltip, .visibility = kPublic, .setter = sym::SetTooltip) \
  X(PROPERTY, bool, lTabStop, .dflt = false, .visibility = kPublic) \
  X(DATA_P, int, nClassStyle, static_cast<long long>(CS_PARENTDC | CS_HREDRAW | CS_VREDRAW)) \
  X(EVENT, OnDblClick, "") \
  X(HANDLER, WMEraseBkgnd, &frames::Erased) \
  X(HANDLER, WMPaint, &frames::BevelPaint)

#define ZV_QGROUPBOX_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 120, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 90, .setter = sym::SetHeight) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = &frames::SetAlignment, .valueNames = ZV_LABEL_HALIGN_NAMES) \
  X(PROPERTY, bool, lTransparent, .dflt = true) \
  X(PROPERTY, std::string, cTheme, .dflt = "Button", .visibility = kPublic, .setter = sym::SetTheme) \
  X(PROPERTY_R, bool, lTabStop, .dflt = false, .visibility = kPublic, .readOnly = true) \
  X(PROPERTY, std::string, cTooltip, .visibility = kPublic, .setter = sym::SetTooltip) \
  X(PROPERTY, Value, oBkgnd, .valueClass = "TPicture", .visibility = kPublic, .setter = sym::SetBkgnd) \
  X(DATA_P, int, nClassStyle, static_cast<long long>(CS_HREDRAW | CS_VREDRAW)) \
  X(METHOD, Enable, &frames::Enable) \
  X(METHOD, Disable, &frames::Disable) \
  X(HANDLER, WMLButtonDown, &frames::Swallow) \
  X(HANDLER, WMLButtonDblClk, &frames::Swallow) \
  X(HANDLER, WMEraseBkgnd, &frames::Erased) \
  X(HANDLER, WMPaint, &frames::GroupPaint) \
  X(HANDLER, WMPrintClient, &frames::GroupPaint)

namespace zv {

namespace frames {
Value Erased(Object& self, const PaintMsg& m);
Value BevelPaint(Object& self, const PaintMsg& m);
Value SetAlignment(Object& self, Args a);
Value Enable(Object& self, Args a);
Value Disable(Object& self, Args a);
Value Swallow(Object& self, const MouseMsg& m);
Value GroupPaint(Object& self, const PaintMsg& m);
}  // namespace frames

Class* QBevelClass();
Class* TBevelClass();
Class* QGroupBoxClass();
Class* TGroupBoxClass();

class TBevelRef : public TWinControlRef {
  ZV_VIEW_CLASS(TBevelRef, TWinControlRef, QBevelClass)
  ZV_VIEW_MEMBERS(ZV_QBEVEL_MEMBERS)
};

class TGroupBoxRef : public TWinControlRef {
  ZV_VIEW_CLASS(TGroupBoxRef, TWinControlRef, QGroupBoxClass)
  ZV_VIEW_MEMBERS(ZV_QGROUPBOX_MEMBERS)
};

// The group box's caption and frame in a client area w by h, for a caption
// of tw by th pixels and an alignment (0 left, 2 right, 6 centred).
struct GroupBoxLayout {
  RECT caption;
  RECT frame;
};
GroupBoxLayout LayOutGroupBox(int w, int h, int tw, int th, int alignment);

}  // namespace zv
