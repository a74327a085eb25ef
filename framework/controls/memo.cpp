#include "framework/controls/memo.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/window/messages.h"
#include "framework/window/winobject.h"

namespace zv {

namespace memo {

namespace {

LRESULT To(Object& self, UINT msg, WPARAM w = 0, LPARAM l = 0) {
  HWND h = ObjectHwnd(self);
  return h ? SendMessageA(h, msg, w, l) : 0;
}

// A switch: the property stored and its style bit applied (also to the
// window when there is one). Absent means on.
Value Switch(Object& self, Args a, SetterSymbol field, long long bit) {
  const bool on = a.Has(0) ? a.Get(0).AsBool() : true;
  Put(self, field, on);
  self.Send(sym::ChangeCtlStyle, bit, on);
  return on;
}

long long SelEnd(Object& self) {
  DWORD start = 0, end = 0;
  To(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return end;
}

}  // namespace

Value Create(Object& self, Args a) {
  self.Send(sym::SetHScroll, Get(self, sym::FlHScroll));
  self.Send(sym::SetAutoHScroll, Get(self, sym::FlAutoHScroll));
  self.Send(sym::SetVScroll, Get(self, sym::FlVScroll));
  self.Send(sym::SetAutoVScroll, Get(self, sym::FlAutoVScroll));
  return Super(self, sym::Create, a);
}

// Append(cText): at the end, whatever is selected, and undoable.
Value Append(Object& self, Args a) {
  const std::string text = a.Get(0).AsString();
  To(self, EM_SETSEL, 0, -1);
  To(self, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  To(self, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  return text;
}

Value Replace(Object& self, Args a) {
  const std::string text = a.Get(0).AsString();
  To(self, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  return text;
}

Value Clear(Object& self, Args) {
  Put(self, sym::set::cText, std::string());
  return {};
}

Value SetHScroll(Object& self, Args a) { return Switch(self, a, sym::set::FlHScroll, WS_HSCROLL); }
Value SetAutoHScroll(Object& self, Args a) { return Switch(self, a, sym::set::FlAutoHScroll, ES_AUTOHSCROLL); }
Value SetVScroll(Object& self, Args a) { return Switch(self, a, sym::set::FlVScroll, WS_VSCROLL); }
Value SetAutoVScroll(Object& self, Args a) { return Switch(self, a, sym::set::FlAutoVScroll, ES_AUTOVSCROLL); }
Value SetWantReturn(Object& self, Args a) { return Switch(self, a, sym::set::FlWantReturn, ES_WANTRETURN); }

// GetLine(nLine): the text of a line (1-based), whole however long it is.
Value GetLine(Object& self, Args a) {
  const long long line = a.Get(0).AsInt() - 1;
  if (line < 0 || !ObjectHwnd(self)) return std::string();
  const LRESULT start = To(self, EM_LINEINDEX, static_cast<WPARAM>(line));
  if (start < 0) return std::string();
  const LRESULT length = To(self, EM_LINELENGTH, static_cast<WPARAM>(start));
  std::vector<char> buffer(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 2, '\0');
  const std::size_t room = std::min<std::size_t>(buffer.size(), 0xFFFF);
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(room);
  const LRESULT copied = To(self, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
  if (copied <= 0) return std::string();
  return std::string(buffer.data(), static_cast<std::size_t>(std::min<LRESULT>(copied, length)));
}

// The index of the last line (the count less one).
Value GetLineCount(Object& self, Args) { return static_cast<long long>(To(self, EM_GETLINECOUNT)) - 1; }
Value GetFirstVisibleLine(Object& self, Args) { return static_cast<long long>(To(self, EM_GETFIRSTVISIBLELINE)); }
Value GetThumb(Object& self, Args) { return static_cast<long long>(To(self, EM_GETTHUMB)); }

Value Scroll(Object& self, Args a) {
  const LRESULT r = To(self, EM_SCROLL, static_cast<WPARAM>(a.Get(0).AsInt()));
  if (HIWORD(r) == 1) return static_cast<long long>(LOWORD(r));
  return static_cast<long long>(r);
}
Value ScrollUp(Object& self, Args) { return self.Send(sym::Scroll, SB_LINEUP); }
Value ScrollDown(Object& self, Args) { return self.Send(sym::Scroll, SB_LINEDOWN); }
Value ScrollPageUp(Object& self, Args) { return self.Send(sym::Scroll, SB_PAGEUP); }
Value ScrollPageDown(Object& self, Args) { return self.Send(sym::Scroll, SB_PAGEDOWN); }

Value LineFromChar(Object& self, Args a) {
  return static_cast<long long>(To(self, EM_LINEFROMCHAR, static_cast<WPARAM>(a.Has(0) ? a.Get(0).AsInt() : -1)));
}

// One less than the offset of the line's first character.
Value LineIndex(Object& self, Args a) {
  return static_cast<long long>(To(self, EM_LINEINDEX, static_cast<WPARAM>(a.Has(0) ? a.Get(0).AsInt() : -1))) - 1;
}

Value SetRect(Object& self, Args a) {
  const Value r = a.Get(0);
  RECT rc{static_cast<LONG>(r.Item(1).AsInt()), static_cast<LONG>(r.Item(2).AsInt()), static_cast<LONG>(r.Item(3).AsInt()),
          static_cast<LONG>(r.Item(4).AsInt())};
  To(self, a.Get(1).AsBool() ? EM_SETRECTNP : EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  return {};
}

Value GetRect(Object& self, Args) {
  RECT rc{};
  To(self, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  return Value::List({rc.left, rc.top, rc.right, rc.bottom});
}

// SetTabStops(aStops | nEvery): tab positions in dialog units; none resets
// the default of 32.
Value SetTabStops(Object& self, Args a) {
  std::vector<INT> stops;
  if (a.Get(0).IsList())
    for (const Value& v : a.Get(0).AsList().items) stops.push_back(static_cast<INT>(v.AsInt()));
  else if (a.Get(0).IsNumber())
    stops.push_back(static_cast<INT>(a.Get(0).AsInt()));
  const LRESULT r = To(self, EM_SETTABSTOPS, stops.size(), stops.empty() ? 0 : reinterpret_cast<LPARAM>(stops.data()));
  InvalidateRect(ObjectHwnd(self), nullptr, TRUE);
  return r != 0;
}

// ReplaceLine(nLine, cText): the text of a line (0-based, negative for the
// last) replaced, its line break kept; undoable.
Value ReplaceLine(Object& self, Args a) {
  long long line = a.Get(0).AsInt();
  if (line < 0) line = self.Send(sym::GetLineCount).AsInt();
  const LRESULT start = To(self, EM_LINEINDEX, static_cast<WPARAM>(line));
  if (start < 0) return false;
  const LRESULT length = To(self, EM_LINELENGTH, static_cast<WPARAM>(start));
  To(self, EM_SETSEL, static_cast<WPARAM>(start), start + length);
  const std::string text = a.Get(1).AsString();
  To(self, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  return true;
}

Value GetLineNumber(Object& self, Args) {
  const long long n = self.Send(sym::LineFromChar).AsInt() + 1;
  Put(self, sym::set::FnLine, n);
  return n;
}

Value SetLineNumber(Object& self, Args a) {
  const long long p = self.Send(sym::LineIndex, a.Get(0).AsInt() - 1).AsInt() + 1;
  To(self, EM_SETSEL, static_cast<WPARAM>(p), p);
  return self.Send(sym::GetLineNumber);
}

Value GetColumnNumber(Object& self, Args) {
  const long long n = SelEnd(self) - self.Send(sym::LineIndex).AsInt();
  Put(self, sym::set::FnColumn, n);
  return n;
}

// A column beyond the end of the line leaves the caret and the selection
// where they were.
Value SetColumnNumber(Object& self, Args a) {
  DWORD start = 0, end = 0;
  To(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const long long line = self.Send(sym::GetLineNumber).AsInt();
  const long long p = self.Send(sym::LineIndex, line - 1).AsInt() + 1;
  const long long to = p + a.Get(0).AsInt() - 1;
  To(self, EM_SETSEL, static_cast<WPARAM>(to), to);
  const long long lineLength = To(self, EM_LINELENGTH, static_cast<WPARAM>(p));
  if (self.Send(sym::GetLineNumber).AsInt() != line || a.Get(0).AsInt() < 1 || a.Get(0).AsInt() - 1 > lineLength)
    To(self, EM_SETSEL, start, end);
  return self.Send(sym::GetColumnNumber);
}

Value WMEraseBkgnd(Object&, const PaintMsg&) { return 1; }

// Enter, when the memo wants it, goes to the edit control (a new line) and
// not to the form.
Value WMKeyDown(Object& self, const KeyMsg& m) {
  if (m.key == VK_RETURN && Get(self, sym::FlWantReturn).AsBool()) return {};
  return SuperHandler(self, sym::WMKeyDown, m);
}

Value WMChar(Object& self, const KeyMsg& m) {
  if (m.key == VK_RETURN && Get(self, sym::FlWantReturn).AsBool()) return {};
  if (m.key == VK_TAB && !Get(self, sym::lWantTab).AsBool()) {
    self.Send(GetKeyState(VK_SHIFT) < 0 ? sym::GoPrevControl : sym::GoNextControl);
    return 0;
  }
  return SuperHandler(self, sym::WMChar, m);
}

}  // namespace memo

Class* QMemoClass() {
  static Class* c = [] {
    QVClass b("QMemo", {TEditClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QMEMO_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TMemoClass() {
  static Class* c = DeclarePublicClass("TMemo", QMemoClass());
  return c;
}

}  // namespace zv
