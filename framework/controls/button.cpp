#include "framework/controls/button.h"

#include <algorithm>
#include <string>

#include "framework/core/members.h"
#include "framework/window/paint_frame.h"
#include "framework/window/theme.h"

namespace zv {
namespace btn {

namespace {

HWND Hwnd(Object& self) { return ObjectHwnd(self); }

Value FormOf(Object& self) {
  const Value form = self.Send(sym::GetForm);
  return form.IsObject() && form.AsObject() != &self ? form : Value();
}

void SwitchStyle(Object& self, long long bits, bool on) { self.Send(sym::ChangeCtlStyle, bits, on); }

}  // namespace

// Create(oParent): the window, then the form learns of its default or
// cancel button, and a button pushed by program shows pushed.
Value Create(Object& self, Args a) {
  Value r = Super(self, sym::Create, a);
  const Value form = FormOf(self);
  if (form.IsObject()) {
    if (Get(self, sym::FlDefault).AsBool() && Has(form, sym::oDefaultButton))
      Put(form, sym::set::oDefaultButton, Value(&self));
    else if (Get(self, sym::FlCancel).AsBool() && Has(form, sym::oCancelButton))
      Put(form, sym::set::oCancelButton, Value(&self));
  }
  self.Send(sym::SetPushed, Get(self, sym::FlPushed));
  return r.IsObject() ? r : Value(&self);
}

// Click(): OnClick, then a modal result closes the form with it, unless the
// handler answered false.
Value Click(Object& self, Args) {
  const Value answer = self.Send(sym::OnClick);
  const long long result = Get(self, sym::nModalResult).AsInt();
  if (result != 0 && !answer.IsFalse()) {
    const Value form = FormOf(self);
    if (form.IsObject()) {
      if (Has(form, sym::nModalResult)) Put(form, sym::set::nModalResult, result);
      form.Send(sym::Close);
    }
  }
  return 0;
}

// The click reaches the button through Command; QVClick does nothing.
Value QVClick(Object&, Args) { return {}; }

Value GetPushed(Object& self, Args) { return Get(self, sym::FlPushed).AsBool(); }

Value SetPushed(Object& self, Args a) {
  const bool pushed = a.Get(0).AsBool();
  Put(self, sym::set::FlPushed, pushed);
  if (HWND hwnd = Hwnd(self)) SendMessageA(hwnd, BM_SETSTATE, pushed ? TRUE : FALSE, 0);
  return pushed;
}

Value SetDefault(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlDefault, on);
  SwitchStyle(self, BS_DEFPUSHBUTTON, on);
  return on;
}

Value SetCancel(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlCancel, on);
  if (on) Put(self, sym::set::nModalResult, 2);
  return on;
}

// nAlignment: exactly one of BS_LEFT, BS_CENTER, BS_RIGHT.
Value SetAlignment(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  Put(self, sym::set::FnAlignment, n);
  const long long bits = n == 0 ? BS_LEFT : n == 2 ? BS_RIGHT : BS_CENTER;
  self.Send(sym::ReplaceStyle, static_cast<long long>(BS_CENTER), bits);
  return n;
}

// nVAlignment: BS_TOP for 0, BS_BOTTOM for 2, neither (centred) for 1.
Value SetVAlignment(Object& self, Args a) {
  const long long n = a.Get(0).AsInt();
  Put(self, sym::set::FnVAlignment, n);
  const long long bits = n == 0 ? BS_TOP : n == 2 ? BS_BOTTOM : 0;
  self.Send(sym::ReplaceStyle, static_cast<long long>(BS_VCENTER), bits);
  return n;
}

Value SetMultiLine(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlMultiLine, on);
  SwitchStyle(self, BS_MULTILINE, on);
  return on;
}

// SetImage(nImageType, hImage): 0 a bitmap, 1 an icon; the button style
// shows it while there is one. The previous image is returned.
Value SetImage(Object& self, Args a) {
  const long long type = a.Get(0).AsInt();
  const Value image = a.Get(1);
  if (type == IMAGE_BITMAP) SwitchStyle(self, BS_BITMAP, image.AsInt() != 0);
  else if (type == IMAGE_ICON) SwitchStyle(self, BS_ICON, image.AsInt() != 0);
  else return 0;
  HWND hwnd = Hwnd(self);
  if (!hwnd) return 0;
  return static_cast<long long>(SendMessageA(hwnd, BM_SETIMAGE, static_cast<WPARAM>(type), ValueLParam(image)));
}

Value GetImage(Object& self, Args a) {
  HWND hwnd = Hwnd(self);
  return hwnd ? static_cast<long long>(SendMessageA(hwnd, BM_GETIMAGE, static_cast<WPARAM>(a.Get(0).AsInt()), 0)) : 0;
}

namespace {

// A check box, radio button or three-state box that is not push-like, in
// the classic look: its caption and its 13 x 13 box drawn by the button.
bool IsBoxButton(LONG_PTR style) {
  const LONG_PTR type = style & BS_TYPEMASK;
  const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                   type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
  return box && !(style & BS_PUSHLIKE);
}

void PaintBoxButton(Object& self, HWND hwnd, HDC dc) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LONG_PTR type = style & BS_TYPEMASK;
  // The background: the parent's under a transparent button, else the
  // brush the parent answers for buttons.
  if (!(Get(self, sym::FlTransparent).AsBool() && PaintParentBackground(hwnd, dc))) {
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
  }
  const HFONT font = ObjectHandle<HFONT>(self.Send(sym::GetFont));
  const HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const std::wstring text = WidenText(self.Send(sym::GetText).AsString());
  const int length = static_cast<int>(text.size());
  const long long align = Get(self, sym::FnAlignment).AsInt(), valign = Get(self, sym::FnVAlignment).AsInt();
  const int gap = 13 + tm.tmAveCharWidth;
  RECT caption = client;
  RECT box{0, 0, 13, 13};
  if (align == 0) {  // caption from the left edge, the box at the right
    caption.right = client.right - gap;
    OffsetRect(&box, client.right - 13, 0);
  } else {
    caption.left = gap;
  }
  const UINT format = Get(self, sym::FlMultiLine).AsBool() ? DT_WORDBREAK : DT_SINGLELINE;
  RECT measured = caption;
  DrawTextW(dc, text.c_str(), length, &measured, format | DT_CALCRECT);
  const int free = (client.bottom - client.top) - (measured.bottom - measured.top);
  int down = 0;
  if (valign == 1 && free > 0) down = free / 2;
  else if (valign == 2 && free > 0) down = free;
  caption.top += down;
  caption.bottom = caption.top + (measured.bottom - measured.top);
  // The box: 1 pixel from the top, centred, or 15 pixels above the bottom.
  const int boxTop = valign == 0 ? 1 : valign == 2 ? client.bottom - 15 : (client.bottom - 13) / 2;
  OffsetRect(&box, 0, boxTop);
  const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
  const bool disabled = (style & WS_DISABLED) != 0;
  const bool indeterminate = (state & BST_INDETERMINATE) != 0;
  SetBkMode(dc, TRANSPARENT);
  if (disabled || indeterminate) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    OffsetRect(&caption, 1, 1);
    DrawTextW(dc, text.c_str(), length, &caption, format);
    OffsetRect(&caption, -1, -1);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(dc, static_cast<COLORREF>(Get(self, sym::FnClrText).AsInt()));
  }
  DrawTextW(dc, text.c_str(), length, &caption, format);
  if ((state & BST_FOCUS) && length) {
    RECT focus = caption;
    focus.right = std::min(caption.left + (measured.right - measured.left), caption.right);
    InflateRect(&focus, 1, 1);
    IntersectRect(&focus, &focus, &client);
    DrawFocusRect(dc, &focus);
  }
  UINT kind = DFCS_BUTTONCHECK;
  if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) kind = DFCS_BUTTONRADIO;
  else if ((type == BS_3STATE || type == BS_AUTO3STATE) && indeterminate) kind = DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (state & BST_CHECKED) kind |= DFCS_CHECKED;
  if (disabled) kind |= DFCS_INACTIVE;
  if (state & BST_PUSHED) kind |= DFCS_PUSHED;
  DrawFrameControl(dc, &box, DFC_BUTTON, kind | DFCS_TRANSPARENT);
  if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace

// Painting, double-buffered: the standard procedure draws the button into
// the frame's context. With visual styles the parent's background goes
// first and the button is clipped to its rounded outline. Without them, a
// check box, radio button or three-state box is drawn by the button itself.
Value WMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  RunPaintFrame(self, hwnd, m.hdc, [&self, hwnd](HDC dc, const PAINTSTRUCT&) {
    if (!theme::Active() && IsBoxButton(GetWindowLongPtrA(hwnd, GWL_STYLE))) {
      PaintBoxButton(self, hwnd, dc);
      return;
    }
    RECT rc{};
    GetClientRect(hwnd, &rc);
    const bool pushed = Get(self, sym::FlPushed).AsBool();
    if (pushed && !(SendMessageA(hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED))
      PREVWINDOWPROC(hwnd, BM_SETSTATE, TRUE, 0);
    HRGN clip = nullptr;
    if (theme::Active() && ValueHandle<HTHEME>(Get(self, sym::hTheme)) && !IsBoxButton(GetWindowLongPtrA(hwnd, GWL_STYLE))) {
      theme::DrawParentBackground(hwnd, dc, &rc);
      clip = CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, 1, 1);
      SelectClipRgn(dc, clip);
    }
    PREVWINDOWPROC(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    if (clip) {
      SelectClipRgn(dc, nullptr);
      DeleteObject(clip);
    }
  });
  return 0;
}

// Losing the focus while pushed (a message box during the press): the
// button comes up first.
Value WMKillFocus(Object& self, const FocusMsg& m) {
  if (SendMessageA(m.hwnd, BM_GETSTATE, 0, 0) & BST_PUSHED) PREVWINDOWPROC(m.hwnd, BM_SETSTATE, FALSE, 0);
  Value r = SuperHandler(self, sym::WMKillFocus, m);
  if (IsWindow(m.hwnd)) InvalidateRect(m.hwnd, nullptr, FALSE);
  return r;
}

// Enter clicks the focused button (after OnKeyDown, whose answer wins).
Value WMKeyDown(Object& self, const KeyMsg& m) {
  if (m.key != VK_RETURN) return SuperHandler(self, sym::WMKeyDown, m);
  const Value r = self.Send(sym::OnKeyDown, m.key, m.flags);
  if (!r.IsNil()) return r;
  self.Send(sym::Click);
  return 0;
}

// Characters: OnChar first; Enter is the key-down's; Tab moves the focus;
// the rest goes to the parent.
Value WMChar(Object& self, const KeyMsg& m) {
  const Value r = self.Send(sym::OnChar, m.key, m.flags);
  if (!r.IsNil()) return r;
  if (m.key == VK_RETURN) return 0;
  if (m.key == VK_TAB) {
    self.Send(GetKeyState(VK_SHIFT) < 0 ? sym::GoPrevControl : sym::GoNextControl);
    return 0;
  }
  const Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && Has(parent, sym::WMChar)) return CallHandler(parent, sym::WMChar, m);
  return {};
}

// A cancel button takes the focus without validating the control that had
// it, and remembers that control until the release.
Value WMLButtonDown(Object& self, const MouseMsg& m) {
  if (!Get(self, sym::FlCancel).AsBool()) return SuperHandler(self, sym::WMLButtonDown, m);
  Value prev = GETCONTROLFROMHANDLE(GetFocus());
  Put(self, sym::set::oPrevCtrl, prev.AsObject() == &self ? Value() : prev);
  self.Send(sym::SetFocus, true);
  return {};
}

// The release of a cancel button: inside, the click happens and nothing is
// validated; outside, there is no click and the control left behind is
// validated, getting the focus back when it refuses.
Value WMLButtonUp(Object& self, const MouseMsg& m) {
  const Value prev = Get(self, sym::oPrevCtrl);
  if (!prev.IsObject()) return SuperHandler(self, sym::WMLButtonUp, m);
  Put(self, sym::set::oPrevCtrl, Value());
  const long long w = Get(self, sym::nWidth).AsInt(), h = Get(self, sym::nHeight).AsInt();
  const bool outside = m.x < 0 || m.x >= w || m.y < 0 || m.y >= h;
  const LRESULT r = PREVWINDOWPROC(m.hwnd, m.message, m.wParam, m.lParam);
  if (outside && Has(prev, sym::Valid) && prev.Send(sym::Valid, Value(&self)).IsFalse()) prev.Send(sym::SetFocus, true);
  return static_cast<long long>(r);
}

}  // namespace btn

Class* QButtonClass() {
  static Class* c = [] {
    QVClass b("QButton", {TStdControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBUTTON_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TButtonClass() {
  static Class* c = DeclarePublicClass("TButton", QButtonClass());
  return c;
}

}  // namespace zv
