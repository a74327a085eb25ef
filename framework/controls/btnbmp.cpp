#include "framework/controls/btnbmp.h"

#include <commctrl.h>
#include <vsstyle.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/core/members.h"
#include "framework/graphics/image_list.h"
#include "framework/window/paint_frame.h"
#include "framework/window/theme.h"

namespace zv {

BtnBmpLayout LayOutBtnBmp(RECT rc, int cx, int cy, int w, int h, int margin, int orientation, bool hasCaption) {
  BtnBmpLayout out;
  if (orientation < 0 || orientation > 3) orientation = 2;  // unknown: image on the left
  if (!hasCaption) {
    out.image = {(rc.left + rc.right - cx) >> 1, (rc.top + rc.bottom - cy) >> 1};
    out.text = rc;
    return out;
  }
  const bool horizontal = orientation == 2 || orientation == 3;
  if (margin == -1) margin = horizontal ? (rc.right - rc.left - cx - w) / 3 : (rc.bottom - rc.top - cy - h) / 3;
  switch (orientation) {
    case 0:  // top
      out.image = {(rc.left + rc.right - cx) >> 1, rc.top + margin};
      rc.top += margin + cy;
      break;
    case 1:  // bottom
      out.image = {(rc.left + rc.right - cx) >> 1, rc.bottom - cy - margin};
      rc.bottom = out.image.y;
      break;
    case 3:  // right
      out.image = {rc.right - cx - margin, (rc.top + rc.bottom - cy) >> 1};
      rc.right = out.image.x;
      break;
    default:  // left
      out.image = {rc.left + margin, (rc.top + rc.bottom - cy) >> 1};
      rc.left += margin + cx;
      break;
  }
  out.text = rc;
  return out;
}

namespace btnbmp {

// The properties TButton applies to the window style only store here: the
// button paints them itself.
Value StoreDefault(Object& self, Args a) {
  Put(self, sym::set::FlDefault, a.Get(0).AsBool());
  return a.Get(0).AsBool();
}
Value StoreAlignment(Object& self, Args a) {
  Put(self, sym::set::FnAlignment, a.Get(0).AsInt());
  return a.Get(0).AsInt();
}
Value StoreVAlignment(Object& self, Args a) {
  Put(self, sym::set::FnVAlignment, a.Get(0).AsInt());
  return a.Get(0).AsInt();
}
Value StoreMultiLine(Object& self, Args a) {
  Put(self, sym::set::FlMultiLine, a.Get(0).AsBool());
  return a.Get(0).AsBool();
}

// SetBitmaps(xBitmaps): an image list made elsewhere, or one made here from
// images (names or bitmap handles) laid out over the four states.
Value SetBitmaps(Object& self, Args a) {
  const Value old = Get(self, sym::FoBitmaps);
  Put(self, sym::set::FoBitmaps, Value());
  if (old.IsObject()) old.Send(sym::End);
  const Value given = a.Get(0);
  if (given.IsObject()) {
    Put(self, sym::set::FoBitmaps, given);
  } else if (!given.IsNil()) {
    std::vector<std::pair<Value, bool>> adds;
    if (!given.IsList()) {
      adds = {{given, false}, {given, false}, {given, false}, {given, true}};
    } else {
      const std::vector<Value> items = given.AsList().items;
      if (items.size() == 1) {
        adds = {{items[0], false}, {items[0], false}, {items[0], false}, {items[0], true}};
      } else if (items.size() == 2) {
        adds = {{items[0], false}, {items[1], false}, {items[0], false}, {items[0], true}};
      } else if (items.size() == 3) {
        adds = {{items[0], false}, {items[1], false}, {items[0], false}, {items[2], false}};
      } else {
        for (const Value& i : items) adds.emplace_back(i, false);
      }
    }
    Value list = Object::New(TImageListClass());
    list.Send(sym::Create, Value(&self), Get(self, sym::nBmpWidth), Get(self, sym::nBmpHeight));
    // Add takes a bitmap handle over (the list keeps a copy, the handle is
    // deleted), while the slots repeat images: each add of a handle gets a
    // copy of its own, and the handles given go once all are added.
    std::vector<HBITMAP> given;
    for (const auto& [image, disabled] : adds) {
      if (image.IsNumber() && GetObjectType(ValueHandle<HGDIOBJ>(image)) == OBJ_BITMAP) {
        auto h = ValueHandle<HBITMAP>(image);
        if (std::find(given.begin(), given.end(), h) == given.end()) given.push_back(h);
        list.Send(sym::Add, HandleValue(CopyImage(h, IMAGE_BITMAP, 0, 0, 0)), disabled);
      } else {
        list.Send(sym::Add, image, disabled);
      }
    }
    for (HBITMAP h : given) DeleteObject(h);
    Put(self, sym::set::FoBitmaps, list);
  }
  self.Send(sym::Refresh);
  return {};
}

// Free(): an image list of the button's own goes with it.
Value Free(Object& self, Args a) {
  const Value list = Get(self, sym::FoBitmaps);
  if (list.IsObject() && Get(list, sym::oParent).AsObject() == &self) {
    Put(self, sym::set::FoBitmaps, Value());
    list.Send(sym::End);
  }
  return Super(self, sym::Free, a);
}

// Enabling and disabling repaint the button; the standard procedure, which
// would paint, never sees it.
Value WMEnable(Object&, const WinMsg& m) {
  InvalidateRect(m.hwnd, nullptr, FALSE);
  return 0;
}

// The first hit test with the mouse over the button makes it hot.
Value WMNCHitTest(Object& self, const WinMsg& m) {
  if (!Get(self, sym::lHot).AsBool()) {
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m.hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&tme);
    InvalidateRect(m.hwnd, nullptr, FALSE);
    Put(self, sym::set::lHot, true);
  }
  return static_cast<long long>(PREVWINDOWPROC(m.hwnd, m.message, m.wParam, m.lParam));
}

Value WMMouseLeave(Object& self, const WinMsg&) {
  if (!Get(self, sym::lHot).AsBool()) return {};
  Put(self, sym::set::lHot, false);
  self.Send(sym::Refresh, false);
  return {};
}

// BM_SETSTATE and BM_SETCHECK on a visible button: the standard procedure
// changes the state with redrawing off (it would paint its own pressed
// look), then the button repaints once.
Value HandleEvent(Object&, Args a) {
  const auto msg = static_cast<UINT>(a.Get(0).AsInt());
  if (msg != BM_SETSTATE && msg != BM_SETCHECK) return {};
  HWND hwnd = ValueHwnd(a.Get(3));
  if (!IsWindowVisible(hwnd)) return {};
  SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  PREVWINDOWPROC(hwnd, msg, ValueWParam(a.Get(1)), 0);
  SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  return 0;
}

namespace {

// Everything a paint reads, taken once before drawing.
struct PaintState {
  HWND hwnd;
  HIMAGELIST images;
  HTHEME theme;
  bool disabled, isDefault, hot, pressed, flat, xpLook, multiLine, focused;
  std::wstring text;
  int margin, orientation, alignment, vAlignment;
  COLORREF textColour;
  HFONT font;
};

PaintState ReadState(Object& self, HWND hwnd) {
  PaintState s{};
  s.hwnd = hwnd;
  s.images = ObjectHandle<HIMAGELIST>(Get(self, sym::FoBitmaps));
  s.theme = theme::Active() ? ValueHandle<HTHEME>(Get(self, sym::hTheme)) : nullptr;
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
  s.disabled = (style & WS_DISABLED) != 0;
  s.isDefault = Get(self, sym::FlDefault).AsBool();
  s.hot = Get(self, sym::lHot).AsBool();
  s.pressed = (state & BST_PUSHED) || Get(self, sym::FlPushed).AsBool();
  s.focused = (state & BST_FOCUS) && Get(self, sym::lTabStop).AsBool();
  s.flat = Get(self, sym::lFlat).AsBool();
  s.xpLook = Get(self, sym::lXPLook).AsBool();
  s.multiLine = Get(self, sym::FlMultiLine).AsBool();
  s.text = WidenText(self.Send(sym::GetText).AsString());
  s.margin = static_cast<int>(Get(self, sym::nMargin).AsInt());
  s.orientation = static_cast<int>(Get(self, sym::nOrientation).AsInt());
  s.alignment = static_cast<int>(Get(self, sym::FnAlignment).AsInt());
  s.vAlignment = static_cast<int>(Get(self, sym::FnVAlignment).AsInt());
  s.textColour = static_cast<COLORREF>(Get(self, sym::FnClrText).AsInt());
  const Value font = self.Send(sym::GetFont);
  s.font = font.IsObject() ? ObjectHandle<HFONT>(font) : nullptr;
  return s;
}

void Shrink(RECT& r, int by) { InflateRect(&r, -by, -by); }

void Draw(const PaintState& s, HDC dc) {
  RECT rc{};
  GetClientRect(s.hwnd, &rc);
  const RECT client = rc;
  // The state: frame flags, theme state, image index.
  UINT frame = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  int themeState = PBS_NORMAL, image = 0;
  if (s.isDefault) themeState = PBS_DEFAULTED;
  if (s.hot) image = 1, themeState = PBS_HOT;
  if (s.pressed) {
    frame |= DFCS_PUSHED, themeState = PBS_PRESSED, image = 2;
  } else if (s.disabled) {
    frame |= DFCS_INACTIVE, themeState = PBS_DISABLED, image = 3;
  }
  const int offset = s.pressed && (s.flat || !s.theme) ? 1 : 0;

  // Background and frame.
  if (s.flat) {
    PaintParentBackground(s.hwnd, dc);
    if (s.pressed) DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
    else if (s.hot) DrawEdge(dc, &rc, EDGE_RAISED, s.theme ? BF_RECT | BF_FLAT : BF_RECT);
    Shrink(rc, 2);
  } else if (s.theme && s.xpLook) {
    theme::DrawParentBackground(s.hwnd, dc, &rc);
    // A rounded-rectangle region leaves out its right and bottom edges: one
    // more pixel each way keeps the theme's border whole.
    HRGN region = CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, 1, 1);
    SelectClipRgn(dc, region);
    theme::DrawBackground(s.theme, dc, BP_PUSHBUTTON, themeState, rc);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
    Shrink(rc, 2);
  } else {
    if (s.isDefault) {
      const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
      const HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
      Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
      SelectObject(dc, oldBrush);
      SelectObject(dc, oldPen);
      Shrink(rc, 1);
    }
    DrawFrameControl(dc, &rc, DFC_BUTTON, frame);
  }
  Shrink(rc, 3);

  int cx = 0, cy = 0;
  if (s.images) ImageList_GetIconSize(s.images, &cx, &cy);
  const HGDIOBJ oldFont = s.font ? SelectObject(dc, s.font) : nullptr;
  UINT format = s.multiLine ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS;
  if (s.alignment == 2) format |= DT_RIGHT;
  else if (s.alignment == 6) format |= DT_CENTER;

  // The caption's size, in the width left beside a side image.
  RECT measure{0, 0, rc.right - (s.orientation == 2 || s.orientation == 3 ? cx : 0), 0};
  const int length = static_cast<int>(s.text.size());
  const int h = length ? DrawTextW(dc, s.text.c_str(), length, &measure, format | DT_CALCRECT) : 0;
  const int w = measure.right;

  if (s.images) {
    const BtnBmpLayout layout = LayOutBtnBmp(rc, cx, cy, w, h, s.margin, s.orientation, length > 0);
    rc = layout.text;
    if (image < ImageList_GetImageCount(s.images))
      ImageList_Draw(s.images, image, dc, layout.image.x + offset, layout.image.y + offset, ILD_TRANSPARENT);
  }

  SetBkMode(dc, TRANSPARENT);
  if (s.vAlignment == 1) {
    rc.bottom = (rc.top + rc.bottom + h) / 2;
    rc.top = rc.bottom - h;
  } else if (s.vAlignment == 2) {
    rc.top = rc.bottom - h;
  }
  if (s.disabled) {
    if (!s.theme) {
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      OffsetRect(&rc, 1, 1);
      DrawTextW(dc, s.text.c_str(), length, &rc, format);
      OffsetRect(&rc, -1, -1);
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, s.textColour);
  }
  if (offset) OffsetRect(&rc, 1, 1);
  DrawTextW(dc, s.text.c_str(), length, &rc, format);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  if (oldFont) SelectObject(dc, oldFont);

  if (s.focused) {
    RECT focus = client;
    Shrink(focus, 3);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace

// WM_PAINT (wParam, when not 0, the context to paint into) and
// WM_PRINTCLIENT, through the paint frame.
Value WMPaint(Object& self, const PaintMsg& m) {
  const HWND hwnd = m.hwnd;
  if (!hwnd) return 0;
  const PaintState state = ReadState(self, hwnd);
  RunPaintFrame(self, hwnd, m.hdc, [&state](HDC dc, const PAINTSTRUCT&) { Draw(state, dc); });
  return 0;
}

}  // namespace btnbmp

Class* QBtnBmpClass() {
  static Class* c = [] {
    QVClass b("QBtnBmp", {TButtonClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QBTNBMP_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TBtnBmpClass() {
  static Class* c = DeclarePublicClass("TBtnBmp", QBtnBmpClass());
  return c;
}

}  // namespace zv
