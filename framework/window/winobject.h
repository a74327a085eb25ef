// Window objects: framework objects that own one window each, and the single
// window procedure that turns every message into a call of the object's
// handler method.
//
// Each linked window carries a link record in its user-data slot. The
// framework procedure finds the object through it and calls the method named
// "WM" + the message name (WMClose, WMLButtonDblClk ...) with (wParam, lParam,
// window handle, message number). A numeric result is the message's result;
// a logical one gives 1 or 0; anything else (no value, text, object) lets the
// default processing run: the MDI frame or child procedure, the procedure of
// the system class the control is built on, or DefWindowProc.
#pragma once

#include <string>

#include <windows.h>

#include <string_view>

#include "framework/core/component.h"

#define ZV_QWINOBJECT_MEMBERS(X) X(DATA_R, long long, Handle, 0)

namespace zv {

// --- handles and message parameters in values (all integers)
inline Value HandleValue(const void* h) {
  return Value(static_cast<long long>(reinterpret_cast<std::intptr_t>(h)));
}
inline HWND ValueHwnd(const Value& v) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(v.AsInt())); }
template <typename H>
inline H ValueHandle(const Value& v) {
  return reinterpret_cast<H>(static_cast<std::intptr_t>(v.AsInt()));
}
inline Value WParamValue(WPARAM w) { return Value(static_cast<long long>(w)); }
inline Value LParamValue(LPARAM l) { return Value(static_cast<long long>(l)); }
inline WPARAM ValueWParam(const Value& v) { return static_cast<WPARAM>(v.AsInt()); }
inline LPARAM ValueLParam(const Value& v) { return static_cast<LPARAM>(v.AsInt()); }

// The window handle an object holds in its Handle member (0: none).
HWND ObjectHwnd(const Value& obj);
inline HWND ObjectHwnd(Object& obj) { return ObjectHwnd(Value(&obj)); }
// Any handle an object holds in its Handle member (a font's, a cursor's):
// 0 for no object, or one without a Handle member.
template <typename H>
inline H ObjectHandle(const Value& obj) {
  const Object* o = obj.AsObject();
  if (!o || !o->GetClass()->HasMessage(sym::Handle)) return nullptr;
  return ValueHandle<H>(SendUnchecked(obj, sym::Handle, Args()));
}

// --- free functions of the window layer
// A text of the program (ANSI code page) as UTF-16, for the wide Win32 calls.
std::wstring WidenText(const std::string& s);
// And back: UTF-16 as a text of the program (characters outside the ANSI
// code page become its default character).
std::string NarrowText(std::wstring_view w);

HINSTANCE GETINSTANCE();
void SetProgramInstance(HINSTANCE h);
// Registers a window class whose procedure is the framework procedure, in the
// program's instance; returns the atom, 0 on failure.
ATOM REGISTERCLASS(std::string_view className, UINT classStyle, HCURSOR cursor, HBRUSH brush);
// Creates a window in the program's instance; 0 on failure.
HWND CREATEWINDOW(std::string_view windowClass, std::string_view text, DWORD style, DWORD exStyle, int left,
                  int top, int width, int height, HWND parent, UINT_PTR id);
// Default processing for a window: its link record's previous procedure, or DefWindowProc.
LRESULT PREVWINDOWPROC(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The object linked to a window, or no value.
Value GETCONTROLFROMHANDLE(HWND hwnd);
// The framework window procedure.
LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// --- link records
// Attaches a link record to the object (its Handle may be 0: the record then
// waits in the pending slot for the window being created). baseClass names
// the system class a control is built on ("BUTTON" ...), or is empty.
// Returns false when no record could be made.
bool LinkWindow(Object& obj, bool mdiChild, std::string_view baseClass);
// Detaches the object's record from its window (procedure restored, user
// data cleared); the record is freed at the next LinkWindow or at the end.
void UnlinkWindow(Object& obj);
// A pending record whose window could not be created is dropped.
void CancelPendingLink(Object& obj);
// Marks a frame's record so that its default processing goes to DefFrameProc.
void SetLinkMdiClient(HWND frame, HWND mdiClient);
// Records that a window class of the framework is built on a system class
// with the given procedure: windows of the class that no record speaks for
// (messages before WM_NCCREATE) get that procedure's default processing.
void RegisterBaseProcedure(ATOM windowClass, WNDPROC systemProc);
// Frees the records of unlinked windows (done at each link and at idle time).
void FreeReleasedLinks();
// Frees every record (end of the program).
void FreeAllLinks();

struct LinkStats {
  std::size_t live = 0;       // records attached or pending
  std::size_t released = 0;   // unlinked, waiting to be freed
  std::size_t freed = 0;      // freed since the start
};
LinkStats GetLinkStats();

// The handler method of a message number (0 .. WM_USER + 1), or an invalid symbol.
Symbol HandlerSymbol(UINT msg);

// TWinObject: a component that owns one window handle (Handle, public,
// read-only from outside, 0 without a window).
Class* QWinObjectClass();
Class* TWinObjectClass();

class TWinObjectRef : public TComponentRef {
  ZV_VIEW_CLASS(TWinObjectRef, TComponentRef, QWinObjectClass)
  ZV_VIEW_MEMBERS(ZV_QWINOBJECT_MEMBERS)
  HWND hwnd() const { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(Handle())); }
};

}  // namespace zv
