// Window messages unpacked for their handlers.
//
// A handler method of the framework ("WMLButtonDown" ...) is a C++ function
// taking the object and one of the structures below, filled from the
// message once:
//
//   Value WMLButtonDown(Object& self, const MouseMsg& m);   // m.keys, m.x, m.y
//
// Declared with X(HANDLER, WMLButtonDown, &WMLButtonDown) in a class's
// table (or AddHandler), it is still an ordinary method of the class: a user
// class may override it by name and call Super, and a send with the four
// argument values (wParam, lParam, window, message) runs it too. The window
// procedure calls it with the structure directly, without making values.
//
// The result: a number is the message's result, a logical gives 1 or 0, no
// value lets the default processing run (as for any handler method).
#pragma once

#include <windows.h>

#include <type_traits>

#include "framework/core/classbuilder.h"
#include "framework/window/winobject.h"

namespace zv {

// Every message: its window, number and both parameters.
struct WinMsg {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  static WinMsg From(const WinMsg& m) { return m; }
};

// Mouse buttons and moves: the key flags (MK_*) and the signed client
// position (negative left of or above the window, when the mouse is captured).
struct MouseMsg : WinMsg {
  int keys = 0;
  int x = 0;
  int y = 0;
  static MouseMsg From(const WinMsg& m) {
    MouseMsg r;
    static_cast<WinMsg&>(r) = m;
    r.keys = static_cast<int>(m.wParam);
    r.x = static_cast<short>(LOWORD(m.lParam));
    r.y = static_cast<short>(HIWORD(m.lParam));
    return r;
  }
};

// Keys and characters: the key code (or character) and the key flags of
// lParam (repeat count, scan code, extended key, previous state).
struct KeyMsg : WinMsg {
  int key = 0;
  int flags = 0;
  int repeat = 0;
  bool extended = false;
  static KeyMsg From(const WinMsg& m) {
    KeyMsg r;
    static_cast<WinMsg&>(r) = m;
    r.key = static_cast<int>(m.wParam);
    r.flags = static_cast<int>(m.lParam);
    r.repeat = static_cast<int>(m.lParam & 0xFFFF);
    r.extended = (m.lParam & (1 << 24)) != 0;
    return r;
  }
};

// Focus arrival and departure: the window that loses or gets the focus.
struct FocusMsg : WinMsg {
  HWND other = nullptr;
  static FocusMsg From(const WinMsg& m) {
    FocusMsg r;
    static_cast<WinMsg&>(r) = m;
    r.other = reinterpret_cast<HWND>(m.wParam);
    return r;
  }
};

// WM_SETCURSOR: the window under the mouse, the hit-test code and the mouse
// message that caused it.
struct SetCursorMsg : WinMsg {
  HWND window = nullptr;
  int hitTest = 0;
  UINT mouseMessage = 0;
  static SetCursorMsg From(const WinMsg& m) {
    SetCursorMsg r;
    static_cast<WinMsg&>(r) = m;
    r.window = reinterpret_cast<HWND>(m.wParam);
    r.hitTest = static_cast<short>(LOWORD(m.lParam));
    r.mouseMessage = HIWORD(m.lParam);
    return r;
  }
};

// WM_COMMAND: the identifier, the notification code and the control (0 for
// menus and accelerators).
struct CommandMsg : WinMsg {
  int id = 0;
  int code = 0;
  HWND control = nullptr;
  static CommandMsg From(const WinMsg& m) {
    CommandMsg r;
    static_cast<WinMsg&>(r) = m;
    r.id = LOWORD(m.wParam);
    r.code = HIWORD(m.wParam);
    r.control = reinterpret_cast<HWND>(m.lParam);
    return r;
  }
};

// WM_NOTIFY: the notification header (never null: a message without one
// gets an empty header).
struct NotifyMsg : WinMsg {
  const NMHDR* header = nullptr;
  static NotifyMsg From(const WinMsg& m) {
    static const NMHDR kEmpty{};
    NotifyMsg r;
    static_cast<WinMsg&>(r) = m;
    r.header = m.lParam ? reinterpret_cast<const NMHDR*>(m.lParam) : &kEmpty;
    return r;
  }
};

// WM_SIZE: the kind of change (SIZE_*) and the new client size.
struct SizeMsg : WinMsg {
  int kind = 0;
  int width = 0;
  int height = 0;
  static SizeMsg From(const WinMsg& m) {
    SizeMsg r;
    static_cast<WinMsg&>(r) = m;
    r.kind = static_cast<int>(m.wParam);
    r.width = LOWORD(m.lParam);
    r.height = HIWORD(m.lParam);
    return r;
  }
};

// WM_WINDOWPOSCHANGED / CHANGING: the position structure (never null).
struct WindowPosMsg : WinMsg {
  WINDOWPOS* pos = nullptr;
  static WindowPosMsg From(const WinMsg& m) {
    static WINDOWPOS empty{};
    WindowPosMsg r;
    static_cast<WinMsg&>(r) = m;
    r.pos = m.lParam ? reinterpret_cast<WINDOWPOS*>(m.lParam) : &(empty = WINDOWPOS{});
    return r;
  }
};

// Painting and erasing: the device context (WM_ERASEBKGND, WM_PRINTCLIENT
// and WM_PAINT sent with one), 0 for a plain WM_PAINT, which the handler
// begins itself.
struct PaintMsg : WinMsg {
  HDC hdc = nullptr;
  static PaintMsg From(const WinMsg& m) {
    PaintMsg r;
    static_cast<WinMsg&>(r) = m;
    r.hdc = reinterpret_cast<HDC>(m.wParam);
    return r;
  }
};

// Runs a handler method with a message: from the structure when the method
// takes one, else with the four argument values.
Value RunHandler(Object& o, const Method& handler, const WinMsg& m);
// The same by handler name (sym::WMKeyDown ...): no value when the object
// does not answer it.
Value CallHandler(const Value& object, Symbol handler, const WinMsg& m);

// The parent-class version of the running handler, with the same message
// (no value when the parent class has none).
Value SuperHandler(Object& self, Symbol handler, const WinMsg& m);

// The values a handler method receives when sent by name.
inline WinMsg WinMsgFromArgs(Args a) {
  return WinMsg{ValueHwnd(a.Get(2)), static_cast<UINT>(a.Get(3).AsInt()), ValueWParam(a.Get(0)), ValueLParam(a.Get(1))};
}

namespace detail {
template <typename P>
using HandlerFn = Value (*)(Object& self, const P& m);

template <typename P>
Value HandlerFromArgs(Object& self, Args a) {
  const Method* m = a.method();
  if (!m || !m->target) return {};
  return reinterpret_cast<HandlerFn<P>>(const_cast<void*>(m->target))(self, P::From(WinMsgFromArgs(a)));
}

template <typename P>
Value HandlerFromPacket(Object& self, const Method& m, const void* packet) {
  return reinterpret_cast<HandlerFn<P>>(const_cast<void*>(m.target))(self,
                                                                     P::From(*static_cast<const WinMsg*>(packet)));
}
}  // namespace detail

// Declares a handler method taking its message unpacked.
template <typename P>
void AddHandler(QVClass& b, Symbol name, Value (*fn)(Object&, const P&), std::uint16_t visibility = kPublic) {
  static_assert(std::is_base_of_v<WinMsg, P>, "a handler takes one of the message structures");
  b.Handler(name.name(), &detail::HandlerFromArgs<P>, &detail::HandlerFromPacket<P>,
            reinterpret_cast<const void*>(fn), visibility);
}

}  // namespace zv
