#include "framework/graphics/canvas.h"

#include <cmath>
#include <string>

#include "framework/core/globals.h"
#include "framework/core/members.h"

namespace zv {
namespace {

HDC Dc(Object& self) { return ValueHandle<HDC>(Get(self, sym::hDC)); }

long long Int(Object& self, Symbol s) { return Get(self, s).AsInt(); }

double Number(const Value& v) { return v.IsNumber() ? v.AsDouble() : 0.0; }

// Whole numbers stay integers; anything else is a double.
Value NumberValue(double d) {
  if (std::isfinite(d) && d == std::trunc(d) && std::fabs(d) < 9.0e15) return static_cast<long long>(d);
  return d;
}

double RoundHalfAway(double d) { return std::round(d); }

int Pixel(const Value& v) {
  const double d = Number(v);
  if (!std::isfinite(d)) return 0;
  return static_cast<int>(std::fmax(-1.0e9, std::fmin(1.0e9, d)));
}

// ---------------------------------------------------------------- device and metrics

Value Pair(const Value& device, Symbol query) {
  const Value v = Has(device, query) ? device.Send(query) : Value();
  return v.IsList() && v.Len() >= 2 ? v : Value::List({0, 0});
}

long long Scaled(long long v, long long num, long long den) { return den != 0 ? v * num / den : 0; }

// Reads the metrics of `device`; a device without a context gets one for
// the time of the call.
void ReadMetrics(Object& self, const Value& device) {
  const bool borrowed = Has(device, sym::hDC) && Get(device, sym::hDC).AsInt() == 0 && Has(device, sym::CreateDC);
  if (borrowed) device.Send(sym::CreateDC);
  const Value res = Pair(device, sym::Resolution), paperRes = Pair(device, sym::PaperRes);
  const Value size = Pair(device, sym::PaperSize), phy = Pair(device, sym::PaperPhysicalSize);
  const Value offset = Pair(device, sym::PhysicalOffset);
  if (borrowed) device.Send(sym::DeleteDC);
  Put(self, sym::set::nLogPixelsX, res.Item(1).AsInt());
  Put(self, sym::set::nLogPixelsY, res.Item(2).AsInt());
  Put(self, sym::set::nHorzRes, paperRes.Item(1).AsInt());
  Put(self, sym::set::nVertRes, paperRes.Item(2).AsInt());
  Put(self, sym::set::nHorzSize, size.Item(1).AsInt());
  Put(self, sym::set::nVertSize, size.Item(2).AsInt());
  Put(self, sym::set::nPhyHorzSize, phy.Item(1).AsInt());
  Put(self, sym::set::nPhyVertSize, phy.Item(2).AsInt());
  const long long phyHorzRes = Scaled(paperRes.Item(1).AsInt(), phy.Item(1).AsInt(), size.Item(1).AsInt());
  const long long phyVertRes = Scaled(paperRes.Item(2).AsInt(), phy.Item(2).AsInt(), size.Item(2).AsInt());
  Put(self, sym::set::nPhyHorzRes, phyHorzRes);
  Put(self, sym::set::nPhyVertRes, phyVertRes);
  Put(self, sym::set::nHorzOffset, Scaled(offset.Item(1).AsInt(), phyHorzRes, phy.Item(1).AsInt()));
  Put(self, sym::set::nVertOffset, Scaled(offset.Item(2).AsInt(), phyVertRes, phy.Item(2).AsInt()));
}

// Create(oDevice): a given device is kept; without one the screen is it.
Value CanvasCreate(Object& self, Args a) {
  if (a.Get(0).IsObject()) Put(self, sym::set::oDevice, a.Get(0));
  if (!Get(self, sym::oDevice).IsObject()) Put(self, sym::set::oDevice, Screen());
  ReadMetrics(self, Get(self, sym::oDevice));
  self.Send(sym::MoveTo, 0, 0);
  return Value(&self);
}

// Reset(): the metrics of the same device read again (a canvas made for a
// printer stays the printer's).
Value Reset(Object& self, Args) { return CanvasCreate(self, Args()); }

// ---------------------------------------------------------------- font and pen

void DropOwned(Object& self, Symbol member, SetterSymbol field, Symbol owns, SetterSymbol setOwns) {
  const Value current = Get(self, member);
  if (Get(self, owns).AsBool() && current.IsObject() && Has(current, sym::Destroy)) current.Send(sym::Destroy);
  Put(self, field, Value());
  Put(self, setOwns, false);
}

// oFont := font: the canvas keeps a clone made for its device and the
// given font object is destroyed (assigning hands it over).
Value SetFont(Object& self, Args a) {
  DropOwned(self, sym::FoFont, sym::set::FoFont, sym::lOwnFont, sym::set::lOwnFont);
  const Value given = a.Get(0);
  if (given.IsObject() && Has(given, sym::Clone)) {
    const Value clone = given.Send(sym::Clone, Get(self, sym::oDevice));
    given.Send(sym::Destroy);
    Put(self, sym::set::FoFont, clone);
    Put(self, sym::set::lOwnFont, true);
  }
  return Get(self, sym::FoFont);
}

// oPen := pen: a new pen with the given one's style, width and colour for
// the canvas's device; the given pen is destroyed.
Value SetPen(Object& self, Args a) {
  DropOwned(self, sym::FoPen, sym::set::FoPen, sym::lOwnPen, sym::set::lOwnPen);
  const Value given = a.Get(0);
  if (given.IsObject() && Has(given, sym::nStyle)) {
    Value pen = NewObject(TPenClass(), Get(given, sym::nStyle), Get(given, sym::nWidth), Get(given, sym::nColor),
                          Get(self, sym::oDevice));
    given.Send(sym::Destroy);
    Put(self, sym::set::FoPen, pen);
    Put(self, sym::set::lOwnPen, true);
  }
  return Get(self, sym::FoPen);
}

// SelectFont / SelectPen: used as given, the caller keeps them.
Value SelectFont(Object& self, Args a) {
  DropOwned(self, sym::FoFont, sym::set::FoFont, sym::lOwnFont, sym::set::lOwnFont);
  if (a.Get(0).IsObject()) Put(self, sym::set::FoFont, a.Get(0));
  return {};
}

Value SelectPen(Object& self, Args a) {
  DropOwned(self, sym::FoPen, sym::set::FoPen, sym::lOwnPen, sym::set::lOwnPen);
  if (a.Get(0).IsObject()) Put(self, sym::set::FoPen, a.Get(0));
  return {};
}

Value CanvasDestroy(Object& self, Args) {
  DropOwned(self, sym::FoPen, sym::set::FoPen, sym::lOwnPen, sym::set::lOwnPen);
  DropOwned(self, sym::FoFont, sym::set::FoFont, sym::lOwnFont, sym::set::lOwnFont);
  return {};
}

template <typename H>
H HandleOf(const Value& gdiObject) {
  return gdiObject.IsObject() ? ObjectHandle<H>(gdiObject) : nullptr;
}

// The canvas's font or pen (member `which`) selected into the context for
// the life of one drawing step, when it has a handle.
class Selected {
 public:
  Selected(Object& self, HDC dc, Symbol which) : dc_(dc) {
    if (HGDIOBJ h = HandleOf<HGDIOBJ>(Get(self, which)); h && dc) old_ = SelectObject(dc, h);
  }
  ~Selected() {
    if (old_) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// ---------------------------------------------------------------- measuring

// {width, height} of the text in pixels, in the canvas's font. Without a
// device context a screen-compatible one measures.
Value TextExtent(Object& self, Args a) {
  const std::wstring text = WidenText(a.Get(0).AsString());
  HDC dc = Dc(self);
  HDC own = dc ? nullptr : CreateCompatibleDC(nullptr);
  SIZE size{};
  {
    Selected font(self, dc ? dc : own, sym::FoFont);
    GetTextExtentPoint32W(dc ? dc : own, text.c_str(), static_cast<int>(text.size()), &size);
  }
  if (own) DeleteDC(own);
  return Value::List({static_cast<long long>(size.cx), static_cast<long long>(size.cy)});
}

Value TextWidth(Object& self, Args a) { return self.Send(sym::TextExtent, a.Get(0)).Item(1); }
Value TextHeight(Object& self, Args a) { return self.Send(sym::TextExtent, a.Get(0)).Item(2); }

// Lines of "B" that fit the printable height (0 when nothing measures).
Value TextLines(Object& self, Args) {
  const long long h = self.Send(sym::TextHeight, "B").AsInt();
  return h > 0 ? Int(self, sym::nVertRes) / h : 0;
}

// ---------------------------------------------------------------- units

// One coordinate from the canvas unit to pixels.
double ToPixels(Object& self, double v, bool horizontal) {
  switch (Int(self, sym::nMapMode)) {
    case 1:
    case 2: {
      const double res = static_cast<double>(Int(self, horizontal ? sym::nPhyHorzRes : sym::nPhyVertRes));
      const double size = static_cast<double>(Int(self, horizontal ? sym::nPhyHorzSize : sym::nPhyVertSize));
      if (size == 0) return v;
      return Int(self, sym::nMapMode) == 1 ? RoundHalfAway(v * res / size) : v * res / size / 2.54;
    }
    case 3: {
      const Value b = self.Send(sym::TextExtent, "B");
      return v * static_cast<double>(b.Item(horizontal ? 1 : 2).AsInt());
    }
    default: return v;
  }
}

double FromPixels(Object& self, double v, bool horizontal) {
  switch (Int(self, sym::nMapMode)) {
    case 1:
    case 2: {
      const double res = static_cast<double>(Int(self, horizontal ? sym::nPhyHorzRes : sym::nPhyVertRes));
      const double size = static_cast<double>(Int(self, horizontal ? sym::nPhyHorzSize : sym::nPhyVertSize));
      if (res == 0) return v;
      return RoundHalfAway(Int(self, sym::nMapMode) == 1 ? v * size / res : v * size / res * 2.54);
    }
    case 3: {
      const double cell = static_cast<double>(self.Send(sym::TextExtent, "B").Item(horizontal ? 1 : 2).AsInt());
      return cell != 0 ? RoundHalfAway(v / cell) : v;
    }
    default: return v;
  }
}

Value Convert(Object& self, const Value& v, bool horizontal) {
  if (!v.IsNumber() || Int(self, sym::nMapMode) == 0) return v;
  return NumberValue(ToPixels(self, Number(v), horizontal));
}

// PointToPixels(@nX, @nY): converted in place, and answered as {x, y}.
Value PointToPixels(Object& self, Args a) {
  const Value x = Convert(self, a.Get(0), true), y = Convert(self, a.Get(1), false);
  a.Set(0, x);
  a.Set(1, y);
  return Value::List({x, y});
}

// A rectangle {l, t, r, b} in pixels; anything but a list of four is an
// empty rectangle.
struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
};

Value RectToPixels(Object& self, Args a) {
  const Value r = a.Get(0);
  if (!r.IsList()) return Value::List({0, 0, 0, 0});
  return Value::List({Convert(self, r.Item(1), true), Convert(self, r.Item(2), false), Convert(self, r.Item(3), true),
                      Convert(self, r.Item(4), false)});
}

Box PixelBox(Object& self, const Value& rect) {
  const Value r = RectToPixels(self, Args(&const_cast<Value&>(rect), 1));
  return {Pixel(r.Item(1)), Pixel(r.Item(2)), Pixel(r.Item(3)), Pixel(r.Item(4))};
}

Value PixelsToMapMode(Object& self, Args a) {
  if (Int(self, sym::nMapMode) == 0) return Value::List({a.Get(0), a.Get(1)});
  return Value::List({NumberValue(FromPixels(self, Number(a.Get(0)), true)),
                      NumberValue(FromPixels(self, Number(a.Get(1)), false))});
}

// PixelsToTwips({l, t, r, b}): 1440 twips an inch.
Value PixelsToTwips(Object& self, Args a) {
  const Value r = a.Get(0);
  const double px = static_cast<double>(Int(self, sym::nLogPixelsX)), py = static_cast<double>(Int(self, sym::nLogPixelsY));
  auto twips = [&](std::size_t i, double ppi) {
    return ppi != 0 ? NumberValue(Number(r.Item(i)) * 1440.0 / ppi) : Value(0);
  };
  if (!r.IsList()) return Value::List({0, 0, 0, 0});
  return Value::List({twips(1, px), twips(2, py), twips(3, px), twips(4, py)});
}

// ---------------------------------------------------------------- text

// Background mode and colour, and the text colour when one is given; the
// previous text colour comes back at the end.
class TextColours {
 public:
  TextColours(Object& self, HDC dc, const Value& color) : dc_(dc) {
    const bool transparent = Get(self, sym::lTransparent).AsBool();
    SetBkMode(dc, transparent ? TRANSPARENT : OPAQUE);
    const Value pane = Get(self, sym::nClrPane);
    if (!transparent && pane.IsNumber()) SetBkColor(dc, static_cast<COLORREF>(pane.AsInt()));
    if (color.IsNumber()) {
      old_ = SetTextColor(dc, static_cast<COLORREF>(color.AsInt()));
      set_ = true;
    }
  }
  ~TextColours() {
    if (set_) SetTextColor(dc_, old_);
  }
  TextColours(const TextColours&) = delete;
  TextColours& operator=(const TextColours&) = delete;

 private:
  HDC dc_;
  COLORREF old_ = 0;
  bool set_ = false;
};

// TextOut(nX, nY, cText, nWidth, nColor): (nX, nY) is the top left of a box
// nWidth wide (the text's own width by default); the alignment places the
// text in it.
Value CanvasTextOut(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const std::string text = a.Get(2).AsString();
  int x = Pixel(Convert(self, a.Get(0), true)), y = Pixel(Convert(self, a.Get(1), false));
  const int width = a.Get(3).IsNumber() ? Pixel(Convert(self, a.Get(3), true))
                                        : static_cast<int>(self.Send(sym::TextWidth, text).AsInt());
  Selected font(self, dc, sym::FoFont);
  TextColours colours(self, dc, a.Get(4));
  const long long align = Int(self, sym::nTextAlignment);
  SetTextAlign(dc, static_cast<UINT>(align));
  if (align == TA_CENTER) x += width / 2;
  else if (align == TA_RIGHT) x += width;
  const std::wstring wide = WidenText(text);
  return TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size())) != 0;
}

// TextRect(aRect, cText, nColor, lWordBreak = true): true when something
// was drawn.
Value TextRect(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const Box b = PixelBox(self, a.Get(0));
  RECT r{b.left, b.top, b.right, b.bottom};
  Selected font(self, dc, sym::FoFont);
  TextColours colours(self, dc, a.Get(2));
  SetTextAlign(dc, 0);
  const bool wordBreak = !a.Get(3).IsFalse();
  UINT format = DT_NOPREFIX | (wordBreak ? DT_WORDBREAK : DT_SINGLELINE);
  const long long align = Int(self, sym::nTextAlignment), valign = Int(self, sym::nTextVAlignment);
  if (align == TA_CENTER) format |= DT_CENTER;
  else if (align == TA_RIGHT) format |= DT_RIGHT;
  if (valign == 1) format |= DT_VCENTER;
  else if (valign == 2) format |= DT_BOTTOM;
  const std::wstring wide = WidenText(a.Get(1).AsString());
  // DrawText centres and bottom-aligns single lines only: word-broken text
  // is measured first and its rectangle moved down by hand.
  if (wordBreak && valign != 0) {
    RECT calc = r;
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &calc, format | DT_CALCRECT);
    const LONG room = r.bottom - r.top, height = calc.bottom - calc.top;
    if (height < room) r.top += valign == 1 ? (room - height) / 2 : room - height;
  }
  return DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format) > 0;
}

// ---------------------------------------------------------------- lines and shapes

Value MoveTo(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const int x = Pixel(Convert(self, a.Get(0), true)), y = Pixel(Convert(self, a.Get(1), false));
  if (!MoveToEx(dc, x, y, nullptr)) return false;
  Put(self, sym::set::aPenPos, Value::List({static_cast<long long>(x), static_cast<long long>(y)}));
  return true;
}

Value LineTo(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const int x = Pixel(Convert(self, a.Get(0), true)), y = Pixel(Convert(self, a.Get(1), false));
  Selected pen(self, dc, sym::FoPen);
  const BOOL r = ::LineTo(dc, x, y);
  Put(self, sym::set::aPenPos, Value::List({static_cast<long long>(x), static_cast<long long>(y)}));
  return r != 0;
}

// A brush for one drawing step: a brush object's own handle, or a solid
// brush made here (and deleted at the end) of a colour.
class BrushFor {
 public:
  BrushFor(const Value& brush, const Value& pane, COLORREF fallback) {
    if (brush.IsObject()) {
      handle_ = HandleOf<HBRUSH>(brush);
      return;
    }
    const COLORREF c = brush.IsNumber() ? static_cast<COLORREF>(brush.AsInt())
                       : pane.IsNumber() ? static_cast<COLORREF>(pane.AsInt())
                                         : fallback;
    handle_ = made_ = CreateSolidBrush(c);
  }
  ~BrushFor() {
    if (made_) DeleteObject(made_);
  }
  BrushFor(const BrushFor&) = delete;
  BrushFor& operator=(const BrushFor&) = delete;
  HBRUSH get() const { return handle_; }

 private:
  HBRUSH handle_ = nullptr, made_ = nullptr;
};

// FillRect(aRect, xBrush): a brush object, a colour, or the pane colour
// (black without one).
Value FillRectangle(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const Box b = PixelBox(self, a.Get(0));
  const RECT r{b.left, b.top, b.right, b.bottom};
  BrushFor brush(a.Get(1), Get(self, sym::nClrPane), RGB(0, 0, 0));
  return brush.get() && ::FillRect(dc, &r, brush.get()) != 0;
}

// Rectangle(aRect, oBrush): filled with the brush object, or the pane
// colour (white without one); outlined with the canvas's pen.
Value DrawRectangle(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const Box b = PixelBox(self, a.Get(0));
  BrushFor brush(a.Get(1).IsObject() ? a.Get(1) : Value(), Get(self, sym::nClrPane), RGB(255, 255, 255));
  Selected pen(self, dc, sym::FoPen);
  HGDIOBJ old = brush.get() ? SelectObject(dc, brush.get()) : nullptr;
  const BOOL r = ::Rectangle(dc, b.left, b.top, b.right, b.bottom);
  if (old) SelectObject(dc, old);
  return r != 0;
}

// RoundRect(aRect, nWidth, nHeight): the corner ellipse is a point in the
// canvas unit (0 x 0 by default).
Value DrawRoundRect(Object& self, Args a) {
  HDC dc = Dc(self);
  if (!dc) return false;
  const Box b = PixelBox(self, a.Get(0));
  const int w = Pixel(Convert(self, a.Get(1).IsNumber() ? a.Get(1) : Value(0), true));
  const int h = Pixel(Convert(self, a.Get(2).IsNumber() ? a.Get(2) : Value(0), false));
  BrushFor brush(Value(), Get(self, sym::nClrPane), RGB(255, 255, 255));
  Selected pen(self, dc, sym::FoPen);
  HGDIOBJ old = brush.get() ? SelectObject(dc, brush.get()) : nullptr;
  const BOOL r = ::RoundRect(dc, b.left, b.top, b.right, b.bottom, w, h);
  if (old) SelectObject(dc, old);
  return r != 0;
}

// ---------------------------------------------------------------- pictures and rich text

Value DrawPicture(Object& self, Args a) {
  HDC dc = Dc(self);
  const Value picture = a.Get(1);
  if (!dc || !picture.IsObject() || !Has(picture, sym::Paint)) return false;
  const Box b = PixelBox(self, a.Get(0));
  return picture.Send(sym::Paint, Get(self, sym::hDC), b.left, b.top, b.right, b.bottom);
}

Value DrawRichEdit(Object& self, Args a) {
  HDC dc = Dc(self);
  const Value edit = a.Get(1);
  if (!dc || !edit.IsObject() || !Has(edit, sym::Paint)) return false;
  const Box b = PixelBox(self, a.Get(0));
  Value px = Value::List({b.left, b.top, b.right, b.bottom});
  return edit.Send(sym::Paint, Get(self, sym::hDC), PixelsToTwips(self, Args(&px, 1)));
}

// ---------------------------------------------------------------- TRect

Value RectNew(Object& self, Args a) {
  const Value r = a.Get(0);
  if (r.IsList()) {
    Put(self, sym::set::nLeft, r.Item(1).AsInt());
    Put(self, sym::set::nTop, r.Item(2).AsInt());
    Put(self, sym::set::nRight, r.Item(3).AsInt());
    Put(self, sym::set::nBottom, r.Item(4).AsInt());
  }
  return Value(&self);
}

Value AsArray(Object& self, Args) {
  return Value::List({Get(self, sym::nLeft), Get(self, sym::nTop), Get(self, sym::nRight), Get(self, sym::nBottom)});
}

}  // namespace

Class* QCanvasClass() {
  static Class* c = [] {
    QVClass b("QCanvas");
    ZV_REGISTER_MEMBERS(b, ZV_QCANVAS_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TCanvasClass() {
  static Class* c = DeclarePublicClass("TCanvas", QCanvasClass());
  return c;
}

Class* QRectClass() {
  static Class* c = [] {
    QVClass b("QRect");
    ZV_REGISTER_MEMBERS(b, ZV_QRECT_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TRectClass() {
  static Class* c = DeclarePublicClass("TRect", QRectClass());
  return c;
}

}  // namespace zv
