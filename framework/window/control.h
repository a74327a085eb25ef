// TControl and TStdControl: the base of every framework object with a window.
//
// TControl carries what the window layer needs of a control: the window
// class (its own, or one built on a system class such as "BUTTON"), styles,
// identifier, bounds in the parent's coordinates, text, visibility, enabled
// state, focus, the creation protocol (Register, Link, CreateHandle) and the
// destruction order (Destroy, WMDestroy, WMNCDestroy, Free), the reflected
// Command and Notify, keyboard bubbling and the basic mouse events. Layout
// (anchors, alignment), fonts, colours, themes and owner drawing are added
// by the control base on top of these members.
//
// TStdControl adds what takes part in a form's keyboard interface: the tab
// stop (WS_TABSTOP), the status-bar message, state requests (OnCheckState).
#pragma once

#include "framework/window/winobject.h"

namespace zv {

Class* QControlClass();
Class* TControlClass();
Class* QStdControlClass();
Class* TStdControlClass();

// Convenience for C++ code of the window layer.
Value ControlForm(const Value& control);  // GetForm
Value ControlParent(const Value& control);

// Signed low and high words of an lParam (mouse coordinates).
inline int LowSigned(LPARAM l) { return static_cast<short>(LOWORD(l)); }
inline int HighSigned(LPARAM l) { return static_cast<short>(HIWORD(l)); }

}  // namespace zv
