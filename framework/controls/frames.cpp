#include "framework/controls/frames.h"

#include <vsstyle.h>

#include <vector>

#include "framework/core/members.h"
#include "framework/window/paint_frame.h"
#include "framework/window/theme.h"

namespace zv {

GroupBoxLayout LayOutGroupBox(int w, int h, int tw, int th, int alignment) {
  GroupBoxLayout l{};
  const int cw = tw > 0 ? tw + 4 : 0;
  int left = 7;
  if (alignment == 2) left = w - 7 - cw;
  else if (alignment == 6) left = (w - cw) / 2;
  l.caption = {left, 0, left + cw, th};
  l.frame = {0, th / 2, w, h};
  return l;
}

namespace frames {

Value Erased(Object&, const PaintMsg&) { return 1; }

// The windowed control's background painter, on WM_PAINT: the background,
// and the border style the control base draws around it.
Value BevelPaint(Object& self, const PaintMsg& m) { return SuperHandler(self, sym::WMEraseBkgnd, m); }

Value SetAlignment(Object& self, Args a) {
  Put(self, sym::set::FnAlignment, a.Get(0).AsInt());
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, FALSE);
  return a.Get(0).AsInt();
}

namespace {
void ForEachChild(Object& self, Symbol message) {
  const Value list = Get(self, sym::aControls);
  if (!list.IsList()) return;
  const std::vector<Value> children = list.AsList().items;
  for (const Value& c : children)
    if (c.IsObject()) c.Send(message);
}
}  // namespace

// Enable() / Disable(): every child, then the box.
Value Enable(Object& self, Args a) {
  ForEachChild(self, sym::Enable);
  return Super(self, sym::Enable, a);
}
Value Disable(Object& self, Args a) {
  ForEachChild(self, sym::Disable);
  return Super(self, sym::Disable, a);
}

// Clicks on the frame go nowhere.
Value Swallow(Object&, const MouseMsg&) { return 0; }

Value GroupPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  RunPaintFrame(self, hwnd, m.hdc, [&self, hwnd](HDC dc, const PAINTSTRUCT& ps) {
    PaintControlBackground(self, hwnd, dc, ps.rcPaint);
    RECT client{};
    GetClientRect(hwnd, &client);
    const std::wstring text = WidenText(self.Send(sym::GetText).AsString());
    const HFONT font = ObjectHandle<HFONT>(self.Send(sym::GetFont));
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    RECT extent{0, 0, 0, 0};
    if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    const int th = text.empty() ? tm.tmHeight : extent.bottom;
    const GroupBoxLayout l = LayOutGroupBox(client.right, client.bottom, text.empty() ? 0 : extent.right, th,
                                            static_cast<int>(Get(self, sym::FnAlignment).AsInt()));
    const bool disabled = !IsWindowEnabled(hwnd);
    const HTHEME theme = theme::Active() ? ValueHandle<HTHEME>(Get(self, sym::hTheme)) : nullptr;
    RECT caption = l.caption;
    RECT frame = l.frame;
    SetBkMode(dc, TRANSPARENT);
    if (theme) {
      const int saved = SaveDC(dc);
      if (!text.empty()) ExcludeClipRect(dc, caption.left, caption.top, caption.right, caption.bottom);
      theme::DrawBackground(theme, dc, BP_GROUPBOX, disabled ? GBS_DISABLED : GBS_NORMAL, frame);
      RestoreDC(dc, saved);
      if (!text.empty()) {
        RECT t = caption;
        OffsetRect(&t, 2, 0);
        theme::DrawText(theme, dc, BP_GROUPBOX, disabled ? GBS_DISABLED : GBS_NORMAL, text.c_str(),
                        static_cast<int>(text.size()), DT_SINGLELINE, t);
      }
    } else {
      DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
      if (!text.empty()) {
        HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush));
        HBRUSH made = brush ? nullptr : CreateSolidBrush(static_cast<COLORREF>(Get(self, sym::nClrPane).AsInt()));
        FillRect(dc, &caption, brush ? brush : made);
        if (made) DeleteObject(made);
        RECT t = caption;
        OffsetRect(&t, 2, 1);
        t.bottom -= 1;
        if (disabled) {
          SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
          OffsetRect(&t, 1, 1);
          DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_NOCLIP);
          OffsetRect(&t, -1, -1);
          SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        } else {
          SetTextColor(dc, static_cast<COLORREF>(Get(self, sym::FnClrText).AsInt()));
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_NOCLIP);
      }
    }
    if (old) SelectObject(dc, old);
  });
  return 0;
}

}  // namespace frames

Class* QBevelClass() {
  static Class* c = [] {
    QVClass b("QBevel", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBEVEL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBevelClass() {
  static Class* c = DeclarePublicClass("TBevel", QBevelClass());
  return c;
}

Class* QGroupBoxClass() {
  static Class* c = [] {
    QVClass b("QGroupBox", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QGROUPBOX_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TGroupBoxClass() {
  static Class* c = DeclarePublicClass("TGroupBox", QGroupBoxClass());
  return c;
}

}  // namespace zv
