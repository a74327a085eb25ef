#include "framework/controls/label.h"

#include "framework/core/members.h"
#include "framework/window/paint_frame.h"

namespace zv {
namespace label {

namespace {

void Refresh(Object& self) {
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, FALSE);
}

UINT AlignmentFormat(long long alignment) { return alignment == 2 ? DT_RIGHT : alignment == 6 ? DT_CENTER : DT_LEFT; }

// The border's width inside the client area, by nBorderStyle.
int BorderInset(long long style) {
  if (style == 1 || style == 2 || style == 7) return 1;
  if (style >= 3 && style <= 6) return 2;
  return 0;
}

HFONT FontOf(Object& self) { return ObjectHandle<HFONT>(self.Send(sym::GetFont)); }

}  // namespace

Value SetAlignment(Object& self, Args a) {
  Put(self, sym::set::FnAlignment, a.Get(0).AsInt());
  Refresh(self);
  return a.Get(0).AsInt();
}

Value SetVAlignment(Object& self, Args a) {
  Put(self, sym::set::FnVAlignment, a.Get(0).AsInt());
  Refresh(self);
  return a.Get(0).AsInt();
}

Value SetAutoSize(Object& self, Args a) {
  Put(self, sym::set::FlAutoSize, a.Get(0).AsBool());
  if (a.Get(0).AsBool()) self.Send(sym::Adjust);
  return a.Get(0).AsBool();
}

Value SetMultiLine(Object& self, Args a) {
  Put(self, sym::set::FlMultiLine, a.Get(0).AsBool());
  self.Send(sym::Adjust);
  Refresh(self);
  return a.Get(0).AsBool();
}

Value Create(Object& self, Args a) {
  Value r = Super(self, sym::Create, a);
  self.Send(sym::Adjust);
  return r.IsObject() ? r : Value(&self);
}

Value Adjust(Object& self, Args) {
  if (Get(self, sym::FlAutoSize).AsBool() && ObjectHwnd(self)) self.Send(sym::CalcBounds);
  return {};
}

// SetText(cText): a text with a line break makes the label multi-line.
Value SetText(Object& self, Args a) {
  Value r = Super(self, sym::SetText, a);
  if (ObjectHwnd(self)) {
    if (!Get(self, sym::FlMultiLine).AsBool() && a.Get(0).AsString().find("\r\n") != std::string::npos)
      Put(self, sym::set::FlMultiLine, true);
    self.Send(sym::Adjust);
    Refresh(self);
  }
  return r;
}

// CalcBounds(): the control resized around its text, in place.
Value CalcBounds(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  const std::wstring text = WidenText(self.Send(sym::GetText).AsString());
  if (!hwnd || text.empty()) return false;
  RECT client{}, window{};
  GetClientRect(hwnd, &client);
  GetWindowRect(hwnd, &window);
  const int inset = BorderInset(Get(self, sym::FnBorderStyle).AsInt());
  RECT r = client;
  InflateRect(&r, -inset, -inset);
  HDC dc = GetDC(hwnd);
  const HGDIOBJ old = FontOf(self) ? SelectObject(dc, FontOf(self)) : nullptr;
  UINT format = DT_CALCRECT | AlignmentFormat(Get(self, sym::FnAlignment).AsInt());
  if (Get(self, sym::FlMultiLine).AsBool()) format |= DT_WORDBREAK;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  if (old) SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  // The frame around the client area, and the text's room; one pixel more
  // each way, which painting leaves free on the right and bottom.
  const int frameW = (window.right - window.left) - client.right, frameH = (window.bottom - window.top) - client.bottom;
  const long long w = (r.right - r.left) + 2 * inset + frameW + 1, h = (r.bottom - r.top) + 2 * inset + frameH + 1;
  self.Send(sym::SetBounds, Get(self, sym::nLeft), Get(self, sym::nTop), w, h);
  return true;
}

Value WMEraseBkgnd(Object&, const PaintMsg&) { return 1; }

Value WMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  RunPaintFrame(self, hwnd, m.hdc, [&self, hwnd](HDC dc, const PAINTSTRUCT& ps) {
    PaintControlBackground(self, hwnd, dc, ps.rcPaint);
    const std::wstring text = WidenText(self.Send(sym::GetText).AsString());
    if (text.empty()) return;
    RECT r{};
    GetClientRect(hwnd, &r);
    r.right -= 1;
    r.bottom -= 1;
    const HFONT font = FontOf(self);
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    UINT format = AlignmentFormat(Get(self, sym::FnAlignment).AsInt());
    if (Get(self, sym::FlMultiLine).AsBool()) format |= DT_WORDBREAK;
    else if (Get(self, sym::FlAutoSize).AsBool()) format |= DT_SINGLELINE;
    else format |= DT_SINGLELINE | DT_END_ELLIPSIS;
    const long long v = Get(self, sym::FnVAlignment).AsInt();
    if (v == 1 || v == 2) {
      RECT m = r;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &m, format | DT_CALCRECT);
      const int free = (r.bottom - r.top) - (m.bottom - m.top);
      if (free > 0) r.top += v == 1 ? free / 2 : free;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(Get(self, sym::FnClrText).AsInt()));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (old) SelectObject(dc, old);
  });
  return 0;
}

}  // namespace label

Class* QLabelClass() {
  static Class* c = [] {
    QVClass b("QLabel", {TControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QLABEL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TLabelClass() {
  static Class* c = DeclarePublicClass("TLabel", QLabelClass());
  return c;
}

}  // namespace zv
