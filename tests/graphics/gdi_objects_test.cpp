// Fonts, brushes and pens against the GDI objects they make.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/core/application.h"
#include "framework/graphics/brush_pen.h"
#include "framework/graphics/font.h"
#include "support/error_trap.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

int ScreenDpiY() {
  HDC dc = GetDC(nullptr);
  const int d = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return d;
}

LOGFONTA FontOf(HFONT h) {
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(h, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

Value NewFont() { return zv::NewObject(zv::TFontClass()); }

TEST(Font, TheDemoFontHasARealHandleAndTheDefaultText) {
  Value v = NewFont();
  zv::TFontRef font(v);
  font.Create("MS Sans Serif", 8, 0, 400);
  ASSERT_NE(font.hfont(), nullptr);
  const int height = -MulDiv(8, ScreenDpiY(), 72);
  const LOGFONTA lf = FontOf(font.hfont());
  EXPECT_EQ(lf.lfHeight, height);
  EXPECT_EQ(lf.lfWeight, 400);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(font.nHeight(), height);
  EXPECT_EQ(font.nWidth(), 0);
  EXPECT_FALSE(font.lBold());
  if (ScreenDpiY() == 96) {
    EXPECT_EQ(font.SaveToText().AsString(), "MS Sans Serif,8,0,-11,0,400,0,.F.,.F.,.F.,.F.,1");
  }
  font.Destroy();
  EXPECT_EQ(font.Handle(), 0);
}

TEST(Font, SizesPointsWinAndBoldFollowsTheWeight) {
  Value v = NewFont();
  zv::TFontRef font(v);
  // {0, h}: the point size comes from the height, then the height from it.
  font.Create(Value(), Value::List({0, -13}));
  EXPECT_EQ(font.nSize(), MulDiv(13, 72, ScreenDpiY()));
  EXPECT_EQ(font.nHeight(), -MulDiv(font.nSize(), ScreenDpiY(), 72));
  // {w, h} with a width: pixels, no point size.
  font.Create(Value(), Value::List({7, -20}));
  EXPECT_EQ(font.nSize(), 0);
  EXPECT_EQ(FontOf(font.hfont()).lfHeight, -20);
  EXPECT_EQ(FontOf(font.hfont()).lfWidth, 7);
  // A point size given later wins over the pixel values.
  font.nSize(12);
  EXPECT_EQ(font.nWidth(), 0);
  EXPECT_EQ(FontOf(font.hfont()).lfHeight, -MulDiv(12, ScreenDpiY(), 72));

  font.lBold(true);
  EXPECT_EQ(font.nWeight(), 700);
  EXPECT_EQ(FontOf(font.hfont()).lfWeight, 700);
  font.nWeight(650);  // lBold is recomputed from the weight when the font is made again
  EXPECT_FALSE(font.lBold());
  font.lItalic(true);
  font.lStrikeOut(true);
  EXPECT_EQ(font.nStyle(), 5);
  EXPECT_TRUE(FontOf(font.hfont()).lfItalic);
  EXPECT_TRUE(FontOf(font.hfont()).lfStrikeOut);
  font.lItalic(false);
  EXPECT_EQ(font.nStyle(), 4);

  // Zero, negative, absurd sizes and a face that does not exist: sound fonts.
  font.Create("No Such Face At All", 0);
  EXPECT_NE(font.hfont(), nullptr);
  font.Create("Arial", -10);
  EXPECT_EQ(font.nSize(), 10);
  font.Destroy();
}

TEST(Font, SharedFontsLiveUntilTheLastOwnerAndRecreationFreesTheOldHandle) {
  Value v = NewFont();
  zv::TFontRef font(v);
  font.Create();
  const HFONT first = font.hfont();
  font.nCount(2);
  font.cName("Arial");  // made again: the old font is deleted, owners keep the object
  const HFONT second = font.hfont();
  EXPECT_NE(second, first);
  EXPECT_EQ(GetObjectType(first), 0u);
  EXPECT_EQ(font.nCount(), 2);
  font.Destroy();
  EXPECT_EQ(font.hfont(), second);
  EXPECT_EQ(font.nCount(), 1);
  EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
  font.Destroy();
  EXPECT_EQ(font.Handle(), 0);
  EXPECT_EQ(font.nCount(), 0);
  EXPECT_EQ(GetObjectType(second), 0u);
}

TEST(Font, CloneCompareTextSizeAndText) {
  Value a = NewFont();
  zv::TFontRef f(a);
  f.Create("Arial", 10, 1, 700, 0, Value(), 0);
  Value b = f.Clone();
  zv::TFontRef g(b);
  EXPECT_NE(g.hfont(), f.hfont());
  EXPECT_TRUE(f.Compare(b).AsBool());
  g.nCharSet(238);  // the character set is not compared
  EXPECT_TRUE(f.Compare(b).AsBool());
  g.nOrientation(900);
  EXPECT_FALSE(f.Compare(b).AsBool());
  EXPECT_FALSE(f.Compare(Value()).AsBool());

  const long long one = f.GetTextWidth("Hello").AsInt();
  EXPECT_GT(one, 0);
  EXPECT_GT(f.GetTextWidth("HelloHello").AsInt(), one);
  EXPECT_GT(f.GetTextHeight().AsInt(), 0);

  const std::string saved = f.SaveToText().AsString();
  EXPECT_FALSE(g.RestoreFromText("Arial,10").AsBool());  // wrong field count: nothing changes
  EXPECT_EQ(g.nOrientation(), 900);
  EXPECT_TRUE(g.RestoreFromText(saved).AsBool());
  EXPECT_EQ(g.SaveToText().AsString(), saved);
  EXPECT_TRUE(f.Compare(b).AsBool());
  EXPECT_EQ(FontOf(g.hfont()).lfOrientation, 0);  // made again with the restored values
  f.Destroy();
  g.Destroy();
}

// A device of 600 pixels per inch with no context of its own.
zv::Class* PrinterLikeClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TPrinterLike", {zv::TComponentClass()});
    b.Data("hDC", 0);
    b.Method("Resolution", [](zv::Object&, zv::Args) -> Value { return Value::List({600, 600}); });
    return b.Create();
  }();
  return c;
}

TEST(PenAndBrush, WidthsStylesAndPrecedence) {
  HDC dc = GetDC(nullptr);
  const int screenX = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  Value device = zv::NewObject(PrinterLikeClass());
  Value p = zv::NewObject(zv::TPenClass(), PS_SOLID, 1, 0, device);
  zv::TPenRef pen(p);
  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(pen.hwnd(), sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnWidth.x, zv::ScaledPenWidth(1, 600, screenX));
  EXPECT_EQ(zv::ScaledPenWidth(1, 600, 96), 6);  // 6.25 truncated
  EXPECT_EQ(zv::ScaledPenWidth(3, 0, 96), 3);
  pen.nColor(RGB(255, 0, 0));  // made again
  GetObjectA(pen.hwnd(), sizeof lp, &lp);
  EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));
  Value q = pen.Clone();
  EXPECT_EQ(zv::TPenRef(q).oDevice().AsObject(), device.AsObject());
  pen.Destroy();
  zv::TPenRef(q).Destroy();

  auto style = [](const Value& brush) {
    LOGBRUSH lb{};
    GetObjectA(zv::TBrushRef(brush).hwnd(), sizeof lb, &lb);
    return lb;
  };
  Value hollow = zv::NewObject(zv::TBrushClass());
  zv::TBrushRef(hollow).Create();
  EXPECT_EQ(style(hollow).lbStyle, static_cast<UINT>(BS_NULL));
  HBITMAP bmp = CreateBitmap(8, 8, 1, 1, nullptr);
  Value hatch = zv::NewObject(zv::TBrushClass());
  zv::TBrushRef(hatch).Create(HS_CROSS, RGB(0, 0, 255), zv::HandleValue(bmp));
  EXPECT_EQ(style(hatch).lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(style(hatch).lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  Value pattern = zv::TBrushRef(hatch).Clone();
  zv::TBrushRef(pattern).nStyle(Value());  // no hatch style: the bitmap decides
  EXPECT_EQ(style(pattern).lbStyle, static_cast<UINT>(BS_PATTERN));
  Value solid = zv::NewObject(zv::TBrushClass());
  zv::TBrushRef(solid).Create(Value(), RGB(1, 2, 3));
  EXPECT_EQ(style(solid).lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(style(solid).lbColor, RGB(1, 2, 3));
  for (const Value* b : {&hollow, &hatch, &pattern, &solid}) zv::TBrushRef(*b).Destroy();
  DeleteObject(bmp);
}

// 10,000 fonts (every other one shared by three owners), brushes and pens:
// each GDI object is gone after its last release, and deleted once only (a
// second deletion of a reused handle would take one of the witnesses).
TEST(GdiCensus, EveryHandleIsDeletedExactlyOnce) {
  std::vector<HGDIOBJ> witnesses;
  for (int i = 0; i < 64; ++i) witnesses.push_back(CreateSolidBrush(RGB(i, i, i)));
  std::vector<HGDIOBJ> released;
  for (int i = 0; i < 10'000; ++i) {
    Value f = NewFont();
    zv::TFontRef font(f);
    font.Create("Arial", 8 + i % 5);
    const HGDIOBJ h = font.hfont();
    if (i % 2) {
      font.nCount(3);
      font.Destroy();
      font.Destroy();
      ASSERT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_FONT)) << "a shared font went early";
    }
    font.Destroy();
    ASSERT_EQ(GetObjectType(h), 0u);
    Value b = zv::NewObject(zv::TBrushClass());
    zv::TBrushRef(b).Create(HS_DIAGCROSS, RGB(i & 255, 0, 0));
    zv::TBrushRef(b).nColor(RGB(0, i & 255, 0));  // made again: the first one goes
    released.push_back(zv::TBrushRef(b).hwnd() ? reinterpret_cast<HGDIOBJ>(zv::TBrushRef(b).hwnd()) : nullptr);
    zv::TBrushRef(b).Destroy();
    Value p = zv::NewObject(zv::TPenClass(), PS_DOT, 1, RGB(0, 0, i & 255));
    const HGDIOBJ ph = reinterpret_cast<HGDIOBJ>(zv::TPenRef(p).hwnd());
    zv::TPenRef(p).Destroy();
    zv::TPenRef(p).Destroy();  // twice: nothing the second time
    ASSERT_EQ(GetObjectType(ph), 0u);
  }
  for (HGDIOBJ h : released) EXPECT_EQ(GetObjectType(h), 0u);
  for (HGDIOBJ w : witnesses) {
    EXPECT_EQ(GetObjectType(w), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(w);
  }
  // Objects dropped without Destroy take their GDI object with them.
  HGDIOBJ dropped = nullptr;
  {
    Value f = NewFont();
    zv::TFontRef(f).Create();
    dropped = zv::TFontRef(f).hfont();
  }
  zv::Collect();
  EXPECT_EQ(GetObjectType(dropped), 0u);
}

TEST(Font, TheApplicationsDefaultFontIsARealFont) {
  Value app = zv::Application();
  ASSERT_TRUE(app.IsObject());
  Value font = app.Send(sym::GetFont);
  zv::TFontRef f(font);
  ASSERT_TRUE(f.IsA(zv::QFontClass()));
  EXPECT_NE(f.hfont(), nullptr);
  EXPECT_GE(f.nCount(), 1);
}

}  // namespace
