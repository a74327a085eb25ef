// The canvas: device metrics, units, the font and pen it owns, and drawing
// checked pixel by pixel on a 32-bit memory bitmap.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/core/classbuilder.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/picture.h"
#include "runtime/heap.h"
#include "surface.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

using zvtest::Surface;

Value L(std::initializer_list<long long> v) {
  std::vector<Value> items;
  for (long long x : v) items.emplace_back(x);
  return Value::List(std::move(items));
}

// A letter-sized page at 600 pixels per inch with a margin, and a count of
// the contexts it was asked for.
int g_dcMade = 0, g_dcDeleted = 0;
zv::Class* PageDeviceClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TPageDevice", {zv::TComponentClass()});
    b.Data("hDC", 0);
    b.Method("Resolution", [](zv::Object&, zv::Args) -> Value { return L({600, 600}); });
    b.Method("PaperRes", [](zv::Object&, zv::Args) -> Value { return L({4800, 6600}); });
    b.Method("PaperSize", [](zv::Object&, zv::Args) -> Value { return L({2032, 2794}); });
    b.Method("PaperPhysicalSize", [](zv::Object&, zv::Args) -> Value { return L({2159, 2794}); });
    b.Method("PhysicalOffset", [](zv::Object&, zv::Args) -> Value { return L({63, 0}); });
    b.Method("CreateDC", [](zv::Object&, zv::Args) -> Value { return ++g_dcMade, Value(); });
    b.Method("DeleteDC", [](zv::Object&, zv::Args) -> Value { return ++g_dcDeleted, Value(); });
    return b.Create();
  }();
  return c;
}

Value NewCanvas(const Value& device = Value()) {
  return device.IsObject() ? zv::NewObject(zv::TCanvasClass(), device) : zv::NewObject(zv::TCanvasClass());
}

TEST(Canvas, WithoutAContextNothingDrawsAndEveryOperationAnswersFalse) {
  Value c = NewCanvas();
  zv::TCanvasRef canvas(c);
  EXPECT_EQ(canvas.hDC(), 0);
  EXPECT_FALSE(canvas.TextOut(1, 1, "x").AsBool());
  EXPECT_FALSE(canvas.TextRect(L({0, 0, 10, 10}), "x").AsBool());
  EXPECT_FALSE(canvas.MoveTo(3, 3).AsBool());
  EXPECT_FALSE(canvas.LineTo(5, 5).AsBool());
  EXPECT_FALSE(canvas.FillRect(L({0, 0, 10, 10}), static_cast<long long>(RGB(1, 2, 3))).AsBool());
  EXPECT_FALSE(canvas.Rectangle(L({0, 0, 10, 10})).AsBool());
  EXPECT_FALSE(canvas.RoundRect(L({0, 0, 10, 10}), 2, 2).AsBool());
  EXPECT_FALSE(canvas.DrawPicture(L({0, 0, 10, 10}), c).AsBool());
  EXPECT_EQ(canvas.aPenPos().Item(1).AsInt(), 0);
  // Measuring still works: a screen-compatible context measures.
  EXPECT_GT(canvas.TextWidth("Hello").AsInt(), 0);
}

TEST(Canvas, MetricsComeFromTheScreenOrTheGivenDevice) {
  Value c = NewCanvas();
  zv::TCanvasRef screen(c);
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(screen.nLogPixelsX(), GetDeviceCaps(dc, LOGPIXELSX));
  EXPECT_EQ(screen.nHorzRes(), GetDeviceCaps(dc, HORZRES));
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(screen.nPhyHorzRes(), screen.nHorzRes());  // the physical size is the paper size
  EXPECT_EQ(screen.nHorzOffset(), 0);
  EXPECT_EQ(screen.oDevice().AsObject(), zv::Screen().AsObject());

  g_dcMade = g_dcDeleted = 0;
  Value device = zv::NewObject(PageDeviceClass());
  Value p = NewCanvas(device);
  zv::TCanvasRef page(p);
  EXPECT_EQ(g_dcMade, 1);  // no context: one borrowed for the reading
  EXPECT_EQ(g_dcDeleted, 1);
  EXPECT_EQ(page.nLogPixelsY(), 600);
  EXPECT_EQ(page.nVertRes(), 6600);
  EXPECT_EQ(page.nPhyHorzRes(), 4800LL * 2159 / 2032);
  EXPECT_EQ(page.nPhyVertRes(), 6600);
  EXPECT_EQ(page.nHorzOffset(), 63LL * (4800LL * 2159 / 2032) / 2159);
  EXPECT_EQ(page.nVertOffset(), 0);
  // Reset reads the same device again; it does not fall back to the screen.
  page.Reset();
  EXPECT_EQ(page.oDevice().AsObject(), device.AsObject());
  EXPECT_EQ(page.nLogPixelsX(), 600);
  EXPECT_EQ(g_dcMade, 2);
}

TEST(Canvas, UnitsConvertBothWaysAndCharacterCellsFollowTheFont) {
  Value device = zv::NewObject(PageDeviceClass());
  Value c = NewCanvas(device);
  zv::TCanvasRef canvas(c);
  const double perTenth = static_cast<double>(canvas.nPhyHorzRes()) / 2159.0;  // pixels per 0.1 mm
  canvas.nMapMode(1);
  Value x = Value::Ref(100), y = Value::Ref(-100);
  const Value pt = canvas.PointToPixels(x, y);
  EXPECT_EQ(x.Deref().AsInt(), std::llround(100 * perTenth));  // updated in place
  EXPECT_EQ(y.Deref().AsInt(), std::llround(-100 * 6600.0 / 2794.0));  // half away from zero
  EXPECT_EQ(pt.Item(1).AsInt(), x.Deref().AsInt());
  const Value back = canvas.PixelsToMapMode(x.Deref(), y.Deref());
  EXPECT_EQ(back.Item(1).AsInt(), 100);
  EXPECT_EQ(back.Item(2).AsInt(), -100);
  canvas.nMapMode(2);
  const Value r = canvas.RectToPixels(L({0, 0, 254, 10}));
  EXPECT_NEAR(r.Item(3).AsDouble(), 254 * perTenth / 2.54, 1e-9);  // not rounded
  EXPECT_EQ(canvas.PixelsToTwips(L({0, 0, 600, 300})).Item(3).AsInt(), 1440);

  canvas.nMapMode(3);
  const long long small = canvas.PointToPixels(2, 2).Item(1).AsInt();
  EXPECT_EQ(small, 2 * canvas.TextWidth("B").AsInt());
  Value big = zv::NewObject(zv::TFontClass());
  big.Send(sym::Create, "Tahoma", 40);
  canvas.oFont(big);
  EXPECT_GT(canvas.PointToPixels(2, 2).Item(1).AsInt(), small);  // the unit grew with the font
  canvas.nMapMode(0);
  EXPECT_EQ(canvas.PointToPixels(7, 8).Item(2).AsInt(), 8);
  canvas.Destroy();
}

TEST(Canvas, AssignedFontsAndPensAreHandedOverSelectedOnesAreNot) {
  Value c = NewCanvas();
  zv::TCanvasRef canvas(c);
  Value font = zv::NewObject(zv::TFontClass());
  font.Send(sym::Create, "Tahoma", 12);
  canvas.oFont(font);
  EXPECT_EQ(zv::Get(font, sym::Handle).AsInt(), 0);  // destroyed: the canvas keeps a clone
  ASSERT_TRUE(canvas.oFont().IsObject());
  EXPECT_NE(canvas.oFont().AsObject(), font.AsObject());
  EXPECT_TRUE(canvas.lOwnFont());
  const HGDIOBJ clone = zv::ValueHandle<HGDIOBJ>(zv::Get(canvas.oFont(), sym::Handle));
  EXPECT_EQ(GetObjectType(clone), static_cast<DWORD>(OBJ_FONT));

  Value mine = zv::NewObject(zv::TFontClass());
  mine.Send(sym::Create, "Tahoma", 9);
  canvas.SelectFont(mine);
  EXPECT_EQ(GetObjectType(clone), 0u);  // the owned clone went
  EXPECT_FALSE(canvas.lOwnFont());
  EXPECT_NE(zv::Get(mine, sym::Handle).AsInt(), 0);

  Value pen = zv::NewObject(zv::TPenClass(), PS_DASH, 1, static_cast<long long>(RGB(255, 0, 0)));
  canvas.oPen(pen);
  EXPECT_EQ(zv::Get(pen, sym::Handle).AsInt(), 0);
  ASSERT_TRUE(canvas.oPen().IsObject());
  EXPECT_EQ(zv::Get(canvas.oPen(), sym::nStyle).AsInt(), PS_DASH);
  EXPECT_EQ(zv::Get(canvas.oPen(), sym::nColor).AsInt(), static_cast<long long>(RGB(255, 0, 0)));
  const HGDIOBJ penHandle = zv::ValueHandle<HGDIOBJ>(zv::Get(canvas.oPen(), sym::Handle));
  canvas.Destroy();
  EXPECT_EQ(GetObjectType(penHandle), 0u);
  EXPECT_FALSE(canvas.oPen().IsObject());
  EXPECT_NE(zv::Get(mine, sym::Handle).AsInt(), 0);  // selected, so still the caller's
  mine.Send(sym::Destroy);
}

TEST(Canvas, RectanglesAndLinesLandOnTheirPixels) {
  Surface s;
  Value c = NewCanvas();
  zv::TCanvasRef canvas(c);
  canvas.hDC(s.Handle().AsInt());

  EXPECT_TRUE(canvas.FillRect(L({10, 10, 20, 20}), static_cast<long long>(RGB(0, 0, 255))).AsBool());
  EXPECT_EQ(s.At(10, 10), RGB(0, 0, 255));
  EXPECT_EQ(s.At(19, 19), RGB(0, 0, 255));
  EXPECT_EQ(s.At(20, 20), RGB(255, 255, 255));  // right and bottom are exclusive
  EXPECT_TRUE(canvas.FillRect(L({30, 10, 40, 20})).AsBool());  // no brush, no pane: black
  EXPECT_EQ(s.At(35, 15), RGB(0, 0, 0));
  Value brush = zv::NewObject(zv::TBrushClass());
  zv::TBrushRef(brush).nColor(static_cast<long long>(RGB(0, 255, 0)));
  brush.Send(sym::Create);
  const HGDIOBJ bh = zv::ValueHandle<HGDIOBJ>(zv::Get(brush, sym::Handle));
  EXPECT_TRUE(canvas.FillRect(L({50, 10, 60, 20}), brush).AsBool());
  EXPECT_EQ(s.At(55, 15), RGB(0, 255, 0));
  EXPECT_EQ(GetObjectType(bh), static_cast<DWORD>(OBJ_BRUSH));  // a brush object is left alone

  // Rectangle: white inside without a pane colour, the pane colour with one.
  s.Clear();
  canvas.FillRect(L({0, 0, 200, 100}), static_cast<long long>(RGB(9, 9, 9)));
  EXPECT_TRUE(canvas.Rectangle(L({10, 10, 30, 30})).AsBool());
  EXPECT_EQ(s.At(20, 20), RGB(255, 255, 255));
  EXPECT_EQ(s.At(10, 20), RGB(0, 0, 0));  // the default black pen outlines
  canvas.nClrPane(static_cast<long long>(RGB(200, 100, 50)));
  canvas.Rectangle(L({40, 10, 60, 30}));
  EXPECT_EQ(s.At(50, 20), RGB(200, 100, 50));
  canvas.RoundRect(L({70, 10, 110, 50}), 20, 20);
  EXPECT_EQ(s.At(90, 30), RGB(200, 100, 50));
  EXPECT_EQ(s.At(71, 11), RGB(9, 9, 9));  // the rounded corner leaves the background

  // Lines with the canvas's pen; the pen position follows.
  s.Clear();
  canvas.oPen(zv::NewObject(zv::TPenClass(), PS_SOLID, 1, static_cast<long long>(RGB(255, 0, 0))));
  EXPECT_TRUE(canvas.MoveTo(10, 50).AsBool());
  EXPECT_TRUE(canvas.LineTo(100, 50).AsBool());
  EXPECT_EQ(s.At(50, 50), RGB(255, 0, 0));
  EXPECT_EQ(s.At(50, 51), RGB(255, 255, 255));
  EXPECT_EQ(canvas.aPenPos().Item(1).AsInt(), 100);

  // In tenths of a millimetre the same calls scale to the device.
  s.Clear();
  canvas.nMapMode(1);
  const Value px = canvas.RectToPixels(L({0, 0, 100, 100}));
  canvas.FillRect(L({0, 0, 100, 100}), static_cast<long long>(RGB(0, 0, 0)));
  const RECT ink = s.Inked();
  EXPECT_EQ(ink.right + 1, px.Item(3).AsInt());
  EXPECT_EQ(ink.bottom + 1, px.Item(4).AsInt());
  canvas.Destroy();
  brush.Send(sym::Destroy);
}

TEST(Canvas, TextIsPlacedInItsBoxByTheAlignment) {
  Surface s;
  Value c = NewCanvas();
  zv::TCanvasRef canvas(c);
  canvas.hDC(s.Handle().AsInt());
  Value font = zv::NewObject(zv::TFontClass());
  font.Send(sym::Create, "Tahoma", 14);
  canvas.oFont(font);
  const long long red = RGB(255, 0, 0);

  ASSERT_TRUE(canvas.TextOut(20, 10, "HHHH", Value(), red).AsBool());
  const RECT left = s.Inked();
  ASSERT_GE(left.right, 0);
  EXPECT_EQ(s.At(left.left, (left.top + left.bottom) / 2) & 0xFF, 255u);  // drawn in red
  EXPECT_GE(left.left, 20);
  EXPECT_LT(left.left, 24);

  // Centred without a width: the box is the text itself, so it starts at nX.
  s.Clear();
  canvas.nTextAlignment(6);
  canvas.TextOut(20, 10, "HHHH", Value(), red);
  const RECT centred = s.Inked();
  EXPECT_NEAR(centred.left, left.left, 1);
  EXPECT_NEAR(centred.right, left.right, 1);

  // Right-aligned in a box 150 wide: the text ends at the box's right edge.
  s.Clear();
  canvas.nTextAlignment(2);
  canvas.TextOut(20, 10, "HHHH", 150, red);
  const RECT right = s.Inked();
  EXPECT_LE(right.right, 170);
  EXPECT_GT(right.right, 164);

  // TextRect centres both ways by default.
  s.Clear();
  canvas.nTextAlignment(6);
  EXPECT_TRUE(canvas.TextRect(L({0, 0, 200, 100}), "HH", red).AsBool());
  const RECT mid = s.Inked();
  EXPECT_NEAR((mid.left + mid.right) / 2, 100, 3);
  EXPECT_NEAR((mid.top + mid.bottom) / 2, 50, 4);
  // Word-broken text too, and at the bottom with vertical alignment 2.
  s.Clear();
  canvas.nTextVAlignment(2);
  canvas.TextRect(L({0, 0, 60, 100}), "HH HH HH", red);
  const RECT low = s.Inked();
  EXPECT_GT(low.bottom, 85);
  EXPECT_GT(low.bottom - low.top, canvas.TextHeight("H").AsInt());  // more than one line
  canvas.Destroy();
}

TEST(Canvas, ManyCanvasesWithFontsAndPensLeaveNothingBehind) {
  Surface s;
  int alive = 0;
  auto cycle = [&] {
    Value c = NewCanvas();
    zv::TCanvasRef canvas(c);
    canvas.hDC(s.Handle().AsInt());
    Value font = zv::NewObject(zv::TFontClass());
    font.Send(sym::Create, "Tahoma", 10);
    canvas.oFont(font);
    canvas.oPen(zv::NewObject(zv::TPenClass(), PS_SOLID, 2, 0LL));
    canvas.TextOut(1, 1, "x");
    canvas.LineTo(5, 5);
    canvas.FillRect(L({0, 0, 3, 3}), 255LL);
    canvas.Rectangle(L({0, 0, 3, 3}));
    const HGDIOBJ f = zv::ValueHandle<HGDIOBJ>(zv::Get(canvas.oFont(), sym::Handle));
    const HGDIOBJ p = zv::ValueHandle<HGDIOBJ>(zv::Get(canvas.oPen(), sym::Handle));
    canvas.Destroy();
    alive += (GetObjectType(f) != 0) + (GetObjectType(p) != 0);
  };
  cycle();
  zv::Collect();
  const std::size_t objects = zv::GcObject::LiveCount();
  for (int i = 0; i < 2000; ++i) cycle();
  zv::Collect();
  EXPECT_EQ(alive, 0);
  EXPECT_LE(zv::GcObject::LiveCount(), objects);
}

}  // namespace

namespace {

// A rich-edit object as the canvas sees one: it records the context and
// the rectangle in twips its Paint is given. (Wine 8's rich edit control
// formats nothing into a memory context with EM_FORMATRANGE here: it
// answers 0 for any rectangle, so the drawn text cannot be checked.)
std::vector<std::pair<HDC, RECT>> g_richPaints;
zv::Class* TestRichEditClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TTestRichEdit", {zv::TComponentClass()});
    b.Method("Paint", [](zv::Object&, zv::Args a) -> Value {
      const Value r = a.Get(1);
      g_richPaints.emplace_back(zv::ValueHandle<HDC>(a.Get(0)),
                                RECT{static_cast<LONG>(r.Item(1).AsInt()), static_cast<LONG>(r.Item(2).AsInt()),
                                     static_cast<LONG>(r.Item(3).AsInt()), static_cast<LONG>(r.Item(4).AsInt())});
      return true;
    });
    return b.Create();
  }();
  return c;
}

TEST(Canvas, DrawsPicturesAndRichEditContentInTheirBoxes) {
  Surface s;
  Value c = NewCanvas();
  zv::TCanvasRef canvas(c);
  canvas.hDC(s.Handle().AsInt());

  // A picture: a red 4 x 4 bitmap, stretched to its box.
  HDC screen = GetDC(nullptr);
  HBITMAP red = CreateCompatibleBitmap(screen, 4, 4);
  ReleaseDC(nullptr, screen);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, red);
  RECT all{0, 0, 4, 4};
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(mem, &all, brush);
  DeleteObject(brush);
  SelectObject(mem, old);
  DeleteDC(mem);
  Value pic = zv::NewObject(zv::TPictureClass());
  ASSERT_TRUE(pic.Send(sym::CreateIndirect, 1, zv::HandleValue(red)).AsBool());
  EXPECT_TRUE(canvas.DrawPicture(L({10, 10, 50, 30}), pic).AsBool());
  EXPECT_EQ(s.At(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(s.At(49, 29), RGB(255, 0, 0));
  EXPECT_EQ(s.At(50, 30), RGB(255, 255, 255));
  pic.Send(sym::Destroy);

  // Rich text: the box goes over in twips (1440 per inch), with the
  // canvas's context.
  Value rich = zv::NewObject(TestRichEditClass());
  EXPECT_TRUE(canvas.DrawRichEdit(L({60, 40, 180, 90}), rich).AsBool());
  ASSERT_EQ(g_richPaints.size(), 1u);
  EXPECT_EQ(g_richPaints[0].first, s.dc());
  const int ppi = GetDeviceCaps(s.dc(), LOGPIXELSX);
  EXPECT_EQ(g_richPaints[0].second.left, MulDiv(60, 1440, ppi));
  EXPECT_EQ(g_richPaints[0].second.top, MulDiv(40, 1440, ppi));
  EXPECT_EQ(g_richPaints[0].second.right, MulDiv(180, 1440, ppi));
  EXPECT_EQ(g_richPaints[0].second.bottom, MulDiv(90, 1440, ppi));
  canvas.hDC(0);
  EXPECT_FALSE(canvas.DrawRichEdit(L({60, 40, 180, 90}), rich).AsBool());
  EXPECT_EQ(g_richPaints.size(), 1u);
}

}  // namespace
