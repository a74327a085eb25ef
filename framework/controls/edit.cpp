#include "framework/controls/edit.h"

#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/graphics/brush_pen.h"
#include "framework/window/paint_frame.h"

namespace zv {
namespace edit {

namespace {

// Insert mode, one switch for every edit box of the program.
bool g_insert = true;
// The disabled edit being painted as if enabled: its colours stay the
// disabled ones.
HWND g_paintingDisabled = nullptr;

HWND Hwnd(Object& self) { return ObjectHwnd(self); }

LRESULT Msg(Object& self, UINT msg, WPARAM w = 0, LPARAM l = 0) {
  HWND hwnd = Hwnd(self);
  return hwnd ? SendMessageA(hwnd, msg, w, l) : 0;
}

std::string WindowText(HWND hwnd) {
  const int n = GetWindowTextLengthA(hwnd);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  GetWindowTextA(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

// The caret of the mode: a thin one inserting, a block overwriting.
void ShowModeCaret(HWND hwnd) {
  if (GetFocus() != hwnd) return;
  HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  CreateCaret(hwnd, nullptr, g_insert ? 1 : (tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 6), tm.tmHeight);
  // The caret goes back where the edit keeps it.
  const LRESULT sel = SendMessageA(hwnd, EM_GETSEL, 0, 0);
  const LRESULT pos = SendMessageA(hwnd, EM_POSFROMCHAR, HIWORD(sel), 0);
  if (pos != -1) SetCaretPos(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
  ShowCaret(hwnd);
}

// A TBrush of a colour, in place of the brush in `field`.
void ReplaceBrush(Object& self, SetterSymbol field, Symbol reader, long long colour) {
  const Value old = Get(self, reader);
  if (old.IsObject()) old.Send(sym::Destroy);
  Value brush = Object::New(TBrushClass());
  brush.Send(sym::Create, Value(), colour);
  Put(self, field, brush);
}

HBRUSH BrushOf(Object& self, Symbol reader, SetterSymbol field, long long colour) {
  Value brush = Get(self, reader);
  if (!brush.IsObject()) {
    ReplaceBrush(self, field, reader, colour);
    brush = Get(self, reader);
  }
  return ObjectHandle<HBRUSH>(brush);
}

std::string Trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

bool InsertMode() { return g_insert; }

Value GetInsert(Object&, Args) { return g_insert; }
Value SetInsert(Object&, Args a) { return g_insert = a.Get(0).AsBool(); }

Value SetPaneFocus(Object& self, Args a) { return self.Send(sym::SetColorFocus, a.Get(0)), a.Get(0); }
Value SetTextFocus(Object& self, Args a) { return self.Send(sym::SetColorFocus, Value(), a.Get(0)), a.Get(0); }
Value SetPaneDisabled(Object& self, Args a) { return self.Send(sym::SetColorDisabled, a.Get(0)), a.Get(0); }
Value SetTextDisabled(Object& self, Args a) { return self.Send(sym::SetColorDisabled, Value(), a.Get(0)), a.Get(0); }

// SetColorFocus(nPane, nText) / SetColorDisabled(nPane, nText): the colours
// stored, and the state's brush made again.
Value SetColorFocus(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnClrPaneFocus, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnClrTextFocus, a.Get(1).AsInt());
  ReplaceBrush(self, sym::set::oBrushFocus, sym::oBrushFocus, Get(self, sym::FnClrPaneFocus).AsInt());
  if (HWND hwnd = Hwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return {};
}

Value SetColorDisabled(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnClrPaneDisabled, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnClrTextDisabled, a.Get(1).AsInt());
  ReplaceBrush(self, sym::set::oBrushDisabled, sym::oBrushDisabled, Get(self, sym::FnClrPaneDisabled).AsInt());
  if (HWND hwnd = Hwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return {};
}

Value GetModify(Object& self, Args) {
  return Hwnd(self) ? Msg(self, EM_GETMODIFY) != 0 : Get(self, sym::FlModify).AsBool();
}
Value SetModify(Object& self, Args a) {
  Put(self, sym::set::FlModify, a.Get(0).AsBool());
  Msg(self, EM_SETMODIFY, a.Get(0).AsBool() ? TRUE : FALSE);
  return a.Get(0).AsBool();
}

// GetValue(): the window's text, kept in cText; Value is the same text.
Value GetValue(Object& self, Args) {
  if (HWND hwnd = Hwnd(self)) {
    const std::string text = WindowText(hwnd);
    Put(self, sym::set::FcText, text);
    Put(self, sym::set::FValue, text);
  }
  return Get(self, sym::FcText);
}

// SetValue(xValue, lKeepSpaces): the value as text, trailing blanks cut
// unless kept; a change made by trimming fires no OnChange.
Value SetValue(Object& self, Args a) {
  const Value v = a.Get(0);
  std::string text = v.IsNil() ? std::string() : v.IsString() ? v.AsString() : v.ToDisplay();
  const bool keep = a.Get(1).AsBool();
  if (!keep) text = Trimmed(text);
  Put(self, sym::set::FValue, text);
  Put(self, sym::set::FcText, text);
  if (HWND hwnd = Hwnd(self); hwnd && WindowText(hwnd) != text) {
    Put(self, sym::set::lStopEvent, !keep);
    SetWindowTextA(hwnd, text.c_str());
    Put(self, sym::set::lStopEvent, false);
  }
  return text;
}

// nAlignment: 0, 6 or 2; other values are ignored (the old one answers).
Value SetAlignment(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  if (!a.Get(0).IsNumber() || (n != 0 && n != 6 && n != 2)) return Get(self, sym::FnAlignment);
  Put(self, sym::set::FnAlignment, n);
  self.Send(sym::ReplaceStyle, static_cast<long long>(ES_LEFT | ES_CENTER | ES_RIGHT),
            static_cast<long long>(n == 6 ? ES_CENTER : n == 2 ? ES_RIGHT : ES_LEFT));
  if (HWND hwnd = Hwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return n;
}

Value SetReadOnly(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlReadOnly, on);
  self.Send(sym::ChangeCtlStyle, static_cast<long long>(ES_READONLY), on);
  Msg(self, EM_SETREADONLY, on ? TRUE : FALSE);
  return on;
}

Value SetHScroll(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlHScroll, on);
  self.Send(sym::ChangeCtlStyle, static_cast<long long>(ES_AUTOHSCROLL), on);
  return on;
}

Value SetPassword(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlPassword, on);
  self.Send(sym::ChangeCtlStyle, static_cast<long long>(ES_PASSWORD), on);
  const std::string c = Get(self, sym::cPasswordChar).AsString();
  Msg(self, EM_SETPASSWORDCHAR, on && !c.empty() ? static_cast<unsigned char>(c[0]) : 0);
  if (HWND hwnd = Hwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return on;
}

Value SetNumeric(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlNumeric, on);
  self.Send(sym::ChangeCtlStyle, static_cast<long long>(ES_NUMBER), on);
  return on;
}

Value SetCharCase(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  Put(self, sym::set::FnCharCase, n);
  self.Send(sym::ReplaceStyle, static_cast<long long>(ES_UPPERCASE | ES_LOWERCASE),
            static_cast<long long>(n == 1 ? ES_UPPERCASE : n == 2 ? ES_LOWERCASE : 0));
  return n;
}

Value SetMaxLength(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  Put(self, sym::set::FnMaxLength, n);
  Msg(self, EM_LIMITTEXT, static_cast<WPARAM>(n > 0 ? n : 0));
  return n;
}

// ---------------------------------------------------------------- thin wrappers

// GetSel(): {start, end} as character offsets from 0.
Value GetSel(Object& self, Args) {
  DWORD start = 0, end = 0;
  Msg(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return Value::List({static_cast<long long>(start), static_cast<long long>(end)});
}

Value GetSelText(Object& self, Args) {
  HWND hwnd = Hwnd(self);
  if (!hwnd) return "";
  DWORD start = 0, end = 0;
  SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::string text = WindowText(hwnd);
  if (start >= end || start >= text.size()) return "";
  return text.substr(start, end - start);
}

Value SetSel(Object& self, Args a) {
  Msg(self, EM_SETSEL, static_cast<WPARAM>(a.Get(0).AsInt()), static_cast<LPARAM>(a.Has(1) ? a.Get(1).AsInt() : a.Get(0).AsInt()));
  return {};
}
Value SelectAll(Object& self, Args) { return Msg(self, EM_SETSEL, 0, -1), Value(); }
Value SelectNone(Object& self, Args) {
  DWORD start = 0, end = 0;
  Msg(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  Msg(self, EM_SETSEL, end, end);
  return {};
}
Value EmptyUndoBuffer(Object& self, Args) { return Msg(self, EM_EMPTYUNDOBUFFER), Value(); }
Value CanUndo(Object& self, Args) { return Msg(self, EM_CANUNDO) != 0; }
Value CanCut(Object& self, Args) {
  DWORD start = 0, end = 0;
  Msg(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return end > start;
}
Value CanPaste(Object& self, Args) {
  return Hwnd(self) && !Get(self, sym::FlReadOnly).AsBool() && IsClipboardFormatAvailable(CF_TEXT);
}
Value ScrollCaret(Object& self, Args) { return Msg(self, EM_SCROLLCARET), Value(); }
Value GetMargins(Object& self, Args) {
  const LRESULT m = Msg(self, EM_GETMARGINS);
  return Value::List({static_cast<long long>(LOWORD(m)), static_cast<long long>(HIWORD(m))});
}
Value SetMargins(Object& self, Args a) {
  Msg(self, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
      MAKELPARAM(static_cast<WORD>(a.Get(0).AsInt()), static_cast<WORD>(a.Get(1).AsInt())));
  return {};
}
Value LineScroll(Object& self, Args a) {
  return Msg(self, EM_LINESCROLL, static_cast<WPARAM>(a.Get(0).AsInt()), static_cast<LPARAM>(a.Get(1).AsInt())) != 0;
}
// PosFromChar(n): {x, y} of character n (from 0); nothing past the text.
Value PosFromChar(Object& self, Args a) {
  const LRESULT p = Msg(self, EM_POSFROMCHAR, static_cast<WPARAM>(a.Get(0).AsInt()));
  if (p == -1 || !Hwnd(self)) return {};
  return Value::List({static_cast<long long>(static_cast<short>(LOWORD(p))), static_cast<long long>(static_cast<short>(HIWORD(p)))});
}
Value CharFromPos(Object& self, Args a) {
  const LRESULT c = Msg(self, EM_CHARFROMPOS, 0,
                        MAKELPARAM(static_cast<WORD>(a.Get(0).AsInt()), static_cast<WORD>(a.Get(1).AsInt())));
  return static_cast<long long>(LOWORD(c));
}
// nPos(): the caret's position, from 1.
Value Pos(Object& self, Args) {
  DWORD start = 0, end = 0;
  Msg(self, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<long long>(end) + 1;
}

// ---------------------------------------------------------------- events

Value Change(Object& self, Args) { return self.Send(sym::OnChange); }

// On entry the value is kept as Original.
Value GotFocus(Object& self, Args) {
  Put(self, sym::set::Original, self.Send(sym::GetValue));
  return {};
}

// Command(nCode, nID): the edit's notifications.
Value Command(Object& self, Args a) {
  const long long code = a.Get(0).AsInt();
  HWND hwnd = Hwnd(self);
  if (code == EN_CHANGE) {
    if (!Get(self, sym::lStopEvent).AsBool()) self.Send(sym::Change);
  } else if (code == EN_SETFOCUS && hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    if (!g_insert) ShowModeCaret(hwnd);
    const Value select = Get(self, sym::lAutoSelect);
    if (select.IsTrue()) SendMessageA(hwnd, EM_SETSEL, 0, -1);
    else if (select.IsFalse()) self.Send(sym::SelectNone);
  } else if (code == EN_KILLFOCUS && hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  }
  return Super(self, sym::Command, a);
}

// The colours of the state: disabled, focused, or the usual ones.
Value GetCtlColor(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  HWND hwnd = Hwnd(self);
  if (!dc || !hwnd) return {};
  const bool disabled = !IsWindowEnabled(hwnd) || g_paintingDisabled == hwnd;
  long long pane, text;
  HBRUSH brush;
  if (disabled) {
    pane = Get(self, sym::FnClrPaneDisabled).AsInt();
    text = Get(self, sym::FnClrTextDisabled).AsInt();
    brush = BrushOf(self, sym::oBrushDisabled, sym::set::oBrushDisabled, pane);
  } else if (GetFocus() == hwnd) {
    pane = Get(self, sym::FnClrPaneFocus).AsInt();
    text = Get(self, sym::FnClrTextFocus).AsInt();
    brush = BrushOf(self, sym::oBrushFocus, sym::set::oBrushFocus, pane);
  } else {
    pane = Get(self, sym::FnClrPane).AsInt();
    text = Get(self, sym::FnClrText).AsInt();
    if (!ValueHandle<HBRUSH>(Get(self, sym::hBrush))) self.Send(sym::SetColor, text, pane);
    brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush));
  }
  SetBkColor(dc, static_cast<COLORREF>(pane));
  SetTextColor(dc, static_cast<COLORREF>(text));
  return HandleValue(brush);
}

// Insert switches the mode of every edit box; in overwrite mode a key that
// types a character first selects the character it replaces.
Value WMKeyDown(Object& self, const KeyMsg& m) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  if (m.key == VK_INSERT && !ctrl && !shift) {
    g_insert = !g_insert;
    ShowModeCaret(m.hwnd);
    return {};
  }
  if (!g_insert && !ctrl && m.key != VK_BACK && MapVirtualKeyA(static_cast<UINT>(m.key), MAPVK_VK_TO_CHAR) != 0) {
    DWORD start = 0, end = 0;
    SendMessageA(m.hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (start == end) SendMessageA(m.hwnd, EM_SETSEL, start, start + 1);
  }
  return SuperHandler(self, sym::WMKeyDown, m);
}

// A focus change nested in another (a handler moving the focus while the
// edit takes it) completes the click that started it instead.
Value WMSetFocus(Object& self, const FocusMsg& m) {
  if (Get(self, sym::lOnEntering).AsBool()) {
    PostMessageA(m.hwnd, WM_LBUTTONUP, 0, 0);
    return 0;
  }
  Put(self, sym::set::lOnEntering, true);
  try {
    SuperHandler(self, sym::WMSetFocus, m);
  } catch (...) {
    Put(self, sym::set::lOnEntering, false);
    throw;
  }
  Put(self, sym::set::lOnEntering, false);
  if (!g_insert) ShowModeCaret(m.hwnd);
  return 0;
}

// A disabled edit draws its text in the disabled colours of GetCtlColor:
// the standard procedure paints it as enabled, into the frame's context.
Value WMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  if (IsWindowEnabled(hwnd)) return {};
  RunPaintFrame(self, hwnd, m.hdc, [hwnd](HDC dc, const PAINTSTRUCT&) {
    g_paintingDisabled = hwnd;
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    EnableWindow(hwnd, TRUE);
    PREVWINDOWPROC(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    PREVWINDOWPROC(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    EnableWindow(hwnd, FALSE);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    g_paintingDisabled = nullptr;
  });
  ValidateRect(hwnd, nullptr);
  return 0;
}

}  // namespace edit

Class* QEditClass() {
  static Class* c = [] {
    QVClass b("QEdit", {TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QEDIT_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TEditClass() {
  static Class* c = DeclarePublicClass("TEdit", QEditClass());
  return c;
}

}  // namespace zv
