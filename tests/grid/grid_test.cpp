// The grid's layout and painting over a data source given through the
// navigation events, its columns and record selector, read back as pixels
// from a memory context and as the geometry the grid reports; and the
// header control's items mirrored both ways.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/core/members.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "framework/grid/header.h"
#include "framework/grid/picture_mask.h"
#include "framework/grid/recsel.h"
#include "support/test_forms.h"
#include "surface.h"
#include "grid_fixture.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Surface;
using zvtest::Grid;
using zvtest::Source;

TEST(GridPitch, TheMinimumOf18AppliesBeforeTheDividerPixels) {
  EXPECT_EQ(zv::RowPitch(16, 1, 1), 21);
  EXPECT_EQ(zv::RowPitch(13, 1, 1), 19);
  EXPECT_EQ(zv::RowPitch(13, 1, 5), 20);
  EXPECT_EQ(zv::RowPitch(13, 1, 0), 18);
  EXPECT_EQ(zv::RowPitch(16, 2, 0), 36);
  EXPECT_EQ(zv::RowPitch(1 << 30, 1000, 6), 0x7FFF) << "absurd heights are bounded";
}

TEST(GridPicture, MasksNumbersAndTexts) {
  EXPECT_EQ(zv::ApplyPicture(Value(1234.5), "99,999.99"), " 1,234.50");
  EXPECT_EQ(zv::ApplyPicture(Value(12.0), "999"), " 12");
  EXPECT_EQ(zv::ApplyPicture(Value(-12.0), "999"), "-12");
  EXPECT_EQ(zv::ApplyPicture(Value(123456.0), "999"), "***") << "too wide for its places";
  EXPECT_EQ(zv::ApplyPicture(Value("abc"), "@!"), "ABC");
  EXPECT_EQ(zv::ApplyPicture(Value("abcd"), "!X-X"), "Ab-d");
  EXPECT_EQ(zv::ApplyPicture(Value("1234"), "@R 99-99"), "12-34");
  EXPECT_EQ(zv::ApplyPicture(Value(true), ""), ".T.");
  EXPECT_EQ(zv::CellValueText(Value(), ""), "");
  EXPECT_EQ(zv::CellValueText(Value(false), ""), ".F.");
}

TEST_F(Grid, RowHeightRowCountAndTheRequestedPitch) {
  Value g = Make(2, 50, 300, 100, false);
  zv::TBrowseRef v(g);
  EXPECT_EQ(g.Send(sym::DataHeight).AsInt(), 100);
  const long long pitch = zv::Get(g, sym::nIntRowHeight).AsInt();
  EXPECT_GE(pitch, 18);
  EXPECT_EQ(g.Send(sym::RowCount).AsInt(), 100 / pitch) << "only whole rows count";
  v.SetRowHeight(10);
  EXPECT_EQ(zv::Get(g, sym::nIntRowHeight).AsInt(), 10) << "taken as it is at once";
  v.Adjust();
  EXPECT_EQ(zv::Get(g, sym::nIntRowHeight).AsInt(), 18) << "raised on the next Adjust";
  v.SetRowHeight(18);
  EXPECT_EQ(g.Send(sym::RowCount).AsInt(), 5) << "100 pixels at pitch 18";
  v.SetRowHeight(0);
  v.SetRowDividerStyle(5);
  v.Adjust();
  EXPECT_EQ(zv::Get(g, sym::nIntRowHeight).AsInt(), pitch + 2) << "two divider pixels for the inset style";
}

TEST_F(Grid, PaintingWalksOnlyTheVisibleRowsAndPutsTheCursorBack) {
  Value g = Make(2, 10'000'000, 300, 200);
  zv::TBrowseRef v(g);
  v.nColDividerStyle(1);
  v.nRowDividerStyle(1);
  v.Adjust();
  Surface s(300, 200);
  source_.pos = 1;
  Print(g, s);
  const long long rows = g.Send(sym::RowCount).AsInt();
  EXPECT_EQ(v.nDataRows(), rows);
  EXPECT_LE(source_.furthest, rows + 1) << "no record below the screen is touched";
  EXPECT_EQ(source_.pos, 1) << "the cursor is back on the selected record";
  // A selected row further down: the walk starts at the first screen row.
  source_.pos = 5000;
  source_.furthest = 0;
  zv::Put(g, sym::set::nRowSel, 3);
  zv::Put(g, sym::set::nKeyNo, 5000);
  Print(g, s);
  EXPECT_EQ(source_.pos, 5000);
  EXPECT_EQ(v.nKeyNo(), 5000);
  EXPECT_EQ(v.nRowSel(), 3);
  EXPECT_LE(source_.furthest, 4998 + rows);
  // Black row dividers under each filled row, right of the selector.
  const long long pitch = zv::Get(g, sym::nIntRowHeight).AsInt(), top = g.Send(sym::FirstDataRow).AsInt();
  const int x = static_cast<int>(g.Send(sym::FirstCol).AsInt()) + 10;
  EXPECT_EQ(s.At(x, static_cast<int>(top - 1 + pitch)), RGB(0, 0, 0));
  EXPECT_EQ(s.At(x, static_cast<int>(top - 1 + 2 * pitch)), RGB(0, 0, 0));
}

TEST_F(Grid, EmptyDataAndNoColumnsPaintTheBackground) {
  Value g = Make(2, 0, 300, 200);
  zv::TBrowseRef v(g);
  v.nClrPane(static_cast<long long>(RGB(10, 200, 30)));
  v.nColDividerStyle(1);
  v.Adjust();
  zv::Put(g, sym::set::nRowSel, 4);
  Surface s(300, 200);
  Print(g, s);
  EXPECT_EQ(v.nRowSel(), 1);
  EXPECT_EQ(v.nDataRows(), 0);
  const int top = static_cast<int>(g.Send(sym::FirstDataRow).AsInt());
  const int sel = static_cast<int>(g.Send(sym::FirstCol).AsInt());
  EXPECT_EQ(s.At(sel + 5, top + 40), RGB(10, 200, 30)) << "pane colour under the columns";
  EXPECT_EQ(s.At(290, 190), RGB(10, 200, 30));
  EXPECT_EQ(s.At(3, top + 40), GetSysColor(COLOR_BTNFACE)) << "the selector strip";
  EXPECT_EQ(s.At(sel - 2, top + 40), GetSysColor(COLOR_BTNSHADOW)) << "the selector edge";
  const Value c2 = zv::Get(g, sym::aCols).Item(2);
  const int divider = static_cast<int>(zv::Get(c2, sym::nDisplayCol).AsInt()) - 2;
  EXPECT_EQ(s.At(divider, top + 40), RGB(0, 0, 0)) << "column dividers run through the empty area";

  // No columns at all: the data width in the pane colour.
  Value e = Make(0, 10, 300, 200, true, false);
  zv::TBrowseRef(e).nClrPane(static_cast<long long>(RGB(200, 20, 30)));
  Print(e, s);
  for (int x : {0, 150, 299}) EXPECT_EQ(s.At(x, 100), RGB(200, 20, 30)) << x;
}

TEST_F(Grid, OddRecordsUseTheAlternatePaneOnlyWhenItDiffers) {
  Value g = Make(1, 20, 300, 200, true, false);
  zv::TBrowseRef v(g);
  v.nMarqueeStyle(0);
  v.nClrAltPane(static_cast<long long>(RGB(250, 0, 0)));
  Surface s(300, 200);
  source_.pos = 1;
  zv::Put(g, sym::set::nKeyNo, 1);
  zv::Put(g, sym::set::nRowSel, 1);
  Print(g, s);
  const long long pitch = zv::Get(g, sym::nIntRowHeight).AsInt(), top = g.Send(sym::FirstDataRow).AsInt();
  const auto rowColour = [&](int row) { return s.At(5, static_cast<int>(top + (row - 1) * pitch + 2)); };
  EXPECT_EQ(rowColour(1), RGB(250, 0, 0)) << "record 1 is odd";
  EXPECT_EQ(rowColour(2), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(rowColour(3), RGB(250, 0, 0));
  // The strip right of the last column follows each row's colour too in
  // the whole-row styles, not the column's.
  v.nClrAltPane(static_cast<long long>(GetSysColor(COLOR_WINDOW)));
  Print(g, s);
  EXPECT_EQ(rowColour(3), GetSysColor(COLOR_WINDOW));
}

TEST_F(Grid, TheSelectionColoursTheRowOrTheCellByMarqueeStyle) {
  Value g = Make(2, 20, 300, 200, true, false);
  zv::TBrowseRef v(g);
  v.nClrSelPane(static_cast<long long>(RGB(0, 0, 250)));
  v.nMarqueeStyle(5);
  Surface s(300, 200);
  source_.pos = 2;
  zv::Put(g, sym::set::nKeyNo, 2);
  zv::Put(g, sym::set::nRowSel, 2);
  Print(g, s);
  const long long pitch = zv::Get(g, sym::nIntRowHeight).AsInt(), top = g.Send(sym::FirstDataRow).AsInt();
  const int y2 = static_cast<int>(top + pitch + 2);
  EXPECT_EQ(s.At(5, y2), RGB(0, 0, 250)) << "whole row, first column";
  EXPECT_EQ(s.At(295, y2), RGB(0, 0, 250)) << "whole row, the strip";
  EXPECT_EQ(s.At(5, static_cast<int>(top + 2)), GetSysColor(COLOR_WINDOW));
  v.nMarqueeStyle(3);
  Print(g, s);
  const Value c2 = zv::Get(g, sym::aCols).Item(2);
  const int c2x = static_cast<int>(zv::Get(c2, sym::nDisplayCol).AsInt());
  EXPECT_EQ(s.At(5, y2), RGB(0, 0, 250)) << "the selected cell (column 1)";
  EXPECT_EQ(s.At(c2x + 5, y2), GetSysColor(COLOR_WINDOW)) << "not the other cells";
}

TEST_F(Grid, ASourceThatShrinksBetweenPaintsIsPaintedSoundly) {
  Value g = Make(2, 100, 300, 200);
  zv::TBrowseRef v(g);
  Surface s(300, 200);
  source_.pos = 50;
  zv::Put(g, sym::set::nKeyNo, 50);
  zv::Put(g, sym::set::nRowSel, 6);
  Print(g, s);
  EXPECT_EQ(source_.pos, 50);
  source_.count = 3;  // records vanish under the grid
  source_.pos = 3;
  Print(g, s);
  EXPECT_LE(v.nDataRows(), 3);
  EXPECT_GE(v.nRowSel(), 1);
  EXPECT_LE(v.nRowSel(), 3);
  EXPECT_EQ(source_.pos, static_cast<long long>(v.nRowSel())) << "the cursor stays on the selected row's record";
}

TEST_F(Grid, DisplayedColumnsFreezingAndAFirstColumnWiderThanTheWindow) {
  Value g = Make(5, 10, 300, 200);
  zv::TBrowseRef v(g);
  const Value cols = v.aCols();
  for (std::size_t i = 1; i <= 5; ++i) cols.Item(i).Send(sym::SetWidth, 100);
  g.Send(sym::GetDisplayCols);
  const long long first = g.Send(sym::FirstCol).AsInt();
  EXPECT_EQ(zv::Get(g, sym::aDisplay).Len(), 3u) << "a partly visible column is displayed";
  EXPECT_EQ(g.Send(sym::LastDisplayPos).AsInt(), 3);
  EXPECT_EQ(g.Send(sym::LastDisplayPos, true).AsInt(), 2);
  EXPECT_FALSE(g.Send(sym::AllColsVisible).AsBool());
  EXPECT_EQ(zv::Get(cols.Item(2), sym::nDisplayCol).AsInt(), first + 100);
  // Frozen first column, the others from the offset.
  v.nFreeze(1);
  zv::Put(g, sym::set::nColOffset, 3);
  g.Send(sym::GetDisplayCols);
  EXPECT_EQ(zv::Get(cols.Item(1), sym::nPos).AsInt(), 1);
  EXPECT_EQ(zv::Get(cols.Item(2), sym::nPos).AsInt(), 0);
  EXPECT_EQ(zv::Get(cols.Item(3), sym::nPos).AsInt(), 0);
  EXPECT_EQ(zv::Get(cols.Item(4), sym::nPos).AsInt(), 2);
  // Hidden columns are skipped.
  cols.Item(4).Send(sym::SetVisible, false);
  EXPECT_EQ(zv::Get(cols.Item(5), sym::nPos).AsInt(), 2);
  // A first column wider than the window is still shown.
  v.nFreeze(0);
  zv::Put(g, sym::set::nColOffset, 1);
  cols.Item(1).Send(sym::SetWidth, 5000);
  g.Send(sym::GetDisplayCols);
  EXPECT_EQ(zv::Get(cols.Item(1), sym::nPos).AsInt(), 1);
  EXPECT_EQ(zv::Get(g, sym::aDisplay).Len(), 1u);
  Surface s(300, 200);
  Print(g, s);
  EXPECT_EQ(v.nDataRows(), g.Send(sym::RowCount).AsInt());
  // The header bar follows the displayed columns.
  const Value header = v.oHeader();
  ASSERT_TRUE(header.IsObject());
  EXPECT_EQ(header.Send(sym::GetItemCount).AsInt(), 2) << "the selector's item and one column";
}

TEST_F(Grid, ColumnWidthAlignmentAndStyle) {
  Value g = Make(1, 10, 300, 200);
  Value c = zv::Get(g, sym::aCols).Item(1);
  zv::TBrwColumnRef col(c);
  // Width from the header text when the data is shorter.
  zv::Put(c, sym::set::OnGetData, Value());
  zv::Put(c, sym::set::FcHeader, "Name");
  HDC dc = GetDC(nullptr);
  HFONT font = zv::ObjectHandle<HFONT>(c.Send(sym::GetFont));
  HFONT headerFont = reinterpret_cast<HFONT>(SendMessageA(zv::ObjectHwnd(zv::Get(g, sym::oHeader)), WM_GETFONT, 0, 0));
  const HGDIOBJ old = SelectObject(dc, headerFont ? headerFont : font);
  SIZE size{};
  GetTextExtentPoint32A(dc, "Name", 4, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(c.Send(sym::GetWidth, true).AsInt(), size.cx + 10 + 6);
  zv::Put(g, sym::set::lAutoOrder, true);
  EXPECT_EQ(c.Send(sym::GetWidth, true).AsInt(), size.cx + 10 + 30 + 6);
  col.SetWidth(3);
  EXPECT_EQ(col.nWidth(), 10);
  // OnChangeWidth may refuse.
  zv::Put(c, sym::set::OnChangeWidth, Value::Closure({}, [](zv::Args, std::span<const Value>) -> Value { return true; }));
  col.SetWidth(80);
  EXPECT_EQ(col.nWidth(), 10);
  // Right-aligned data under a centred header item.
  col.SetAlignment(66);
  EXPECT_EQ(zv::HeaderAlignment(66), 6);
  EXPECT_TRUE(zv::Get(c, sym::nDrawTextStyle).AsInt() & DT_RIGHT);
  const Value item = zv::Get(c, sym::oHeader);
  ASSERT_TRUE(item.IsObject());
  EXPECT_EQ(zv::Get(item, sym::FnAlignment).AsInt(), 6);
  HDITEMA hd{};
  hd.mask = HDI_FORMAT;
  SendMessageA(zv::ObjectHwnd(zv::Get(g, sym::oHeader)), HDM_GETITEMA, static_cast<WPARAM>(zv::Get(item, sym::nIndex).AsInt() - 1),
               reinterpret_cast<LPARAM>(&hd));
  EXPECT_EQ(hd.fmt & HDF_JUSTIFYMASK, HDF_CENTER);
  // Two data lines: word-wrapped at the top.
  zv::TBrowseRef(g).SetDataLines(2);
  const long long style = zv::Get(c, sym::nDrawTextStyle).AsInt();
  EXPECT_TRUE(style & DT_WORDBREAK);
  EXPECT_FALSE(style & (DT_SINGLELINE | DT_VCENTER));
}

TEST_F(Grid, CellValuesOfEveryKindAndADrawCellHandler) {
  Value g = Make(1, 5, 300, 200, true, false);
  Value c = zv::Get(g, sym::aCols).Item(1);
  Source* s = &source_;
  // A value of an unexpected kind is shown in its display form.
  zv::Put(c, sym::set::OnGetData, Value::Closure({}, [s](zv::Args, std::span<const Value>) -> Value {
    if (s->pos == 1) return Value::List({1, 2});
    if (s->pos == 2) return Value();
    if (s->pos == 3) return 3.5;
    return Value::Date(2026, 12, 10);
  }));
  std::vector<std::string> seen;
  zv::Put(c, sym::set::OnDrawCell, Value::Closure({}, [&seen](zv::Args a, std::span<const Value>) -> Value {
    seen.push_back(a.Get(1).AsString());
    a.Set(3, static_cast<long long>(RGB(9, 9, 200)));  // the pane, by reference
    return Value();
  }));
  Surface surf(300, 200);
  source_.pos = 1;
  zv::Put(g, sym::set::nKeyNo, 1);
  zv::Put(g, sym::set::nRowSel, 1);
  zv::TBrowseRef(g).nMarqueeStyle(0);
  Print(g, surf);
  ASSERT_GE(seen.size(), 5u);
  // The selected row (record 1) is drawn last.
  EXPECT_EQ(seen[0], "") << "an absent value";
  EXPECT_EQ(seen[1], "3.5");
  EXPECT_EQ(seen[2], "2026-12-10");
  EXPECT_EQ(seen[4], "{ ... }") << "a list in its display form";
  const long long top = g.Send(sym::FirstDataRow).AsInt();
  EXPECT_EQ(surf.At(2, static_cast<int>(top + 3)), RGB(9, 9, 200)) << "the handler's pane colour";
}

TEST_F(Grid, TheRecordSelectorWidthPointerAndNewRecordMark) {
  Value g = Make(1, 20, 300, 200);
  zv::TBrowseRef v(g);
  Value rs = v.oRecSel();
  ASSERT_TRUE(rs.IsObject());
  zv::TBrwRecSelRef sel(rs);
  zv::Put(rs, sym::set::FnWidth, 0);  // computed (SetWidth keeps at least 10)
  EXPECT_EQ(rs.Send(sym::GetWidth).AsInt(), v.nHeaderHeight()) << "a square corner";
  sel.SetWidth(4);
  EXPECT_EQ(sel.nWidth(), 10);
  sel.SetWidth(30);
  g.Send(sym::GetDisplayCols);
  EXPECT_EQ(g.Send(sym::FirstCol).AsInt(), 30);
  Surface s(300, 200);
  source_.pos = 1;
  zv::Put(g, sym::set::nKeyNo, 1);
  zv::Put(g, sym::set::nRowSel, 1);
  Print(g, s);
  const long long pitch = zv::Get(g, sym::nIntRowHeight).AsInt(), top = g.Send(sym::FirstDataRow).AsInt();
  const auto inkIn = [&](int row) {
    int n = 0;
    for (int y = static_cast<int>(top + (row - 1) * pitch); y < top + row * pitch - 2; ++y)
      for (int x = 13; x < 26; ++x)
        if (s.At(x, y) != GetSysColor(COLOR_BTNFACE)) ++n;
    return n;
  };
  EXPECT_GT(inkIn(1), 5) << "the pointer on the selected row";
  EXPECT_EQ(inkIn(2), 0);
  // Appending: one row fewer is filled and the phantom row has the mark.
  zv::Put(g, sym::set::nEditMode, 2);
  zv::Put(g, sym::set::nPhantomRow, 21);
  Print(g, s);
  EXPECT_EQ(v.nDataRows(), g.Send(sym::RowCount).AsInt() - 1);
  const int phantom = static_cast<int>(zv::Get(g, sym::nPhantomRow).AsInt());
  EXPECT_EQ(phantom, g.Send(sym::RowCount).AsInt()) << "clamped to the screen";
  EXPECT_GT(inkIn(phantom), 5) << "the new-record mark";
  zv::Put(g, sym::set::nEditMode, 0);
  zv::Put(g, sym::set::nPhantomRow, 0);
  // Without the pointer nothing is drawn there.
  sel.SetRecordPointer(false);
  Print(g, s);
  EXPECT_EQ(inkIn(1), 0);
}

TEST_F(Grid, TenThousandRepaintsAndTwoHundredGridsLeaveNoGdiObject) {
  Value g = Make(2, 50, 200, 80);
  zv::TBrowseRef v(g);
  v.nRowDividerStyle(5);
  v.nColDividerStyle(6);
  v.nClrAltPane(static_cast<long long>(RGB(240, 240, 200)));
  v.Adjust();
  Surface s(200, 80);
  const auto repaint = [&](int i) {
    v.nMarqueeStyle(i % 7);
    if (i % 2) {
      SendMessageA(zv::ObjectHwnd(g), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    } else {
      InvalidateRect(zv::ObjectHwnd(g), nullptr, FALSE);
      UpdateWindow(zv::ObjectHwnd(g));
    }
  };
  // A first round in every style makes what the system caches once (the
  // slot order of the handle table changes then); the probe is taken after.
  for (int i = 0; i < 100; ++i) repaint(i);
  HGDIOBJ probe = CreateSolidBrush(RGB(1, 1, 1));
  const auto slot = reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF;
  DeleteObject(probe);
  for (int i = 0; i < 10'000; ++i) repaint(i);
  probe = CreateSolidBrush(RGB(1, 1, 1));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF, slot) << "repaints";
  DeleteObject(probe);
  // Grids made and destroyed: every handle a grid held is gone with it
  // (checked before the next grid could take the same values).
  for (int i = 0; i < 200; ++i) {
    Value t = Make(3, 10, 200, 80, i % 2 == 0, i % 3 != 0);
    zv::TBrowseRef(t).SetFooter(true);
    std::vector<HGDIOBJ> gdi;
    for (zv::Symbol s : {sym::hColPen, sym::hRowPen, sym::hBtnShadowPen, sym::hWhitePen, sym::hClrSelText, sym::hClrSelPane,
                         sym::hClrAltPane, sym::hClrSelFocusText, sym::hClrSelFocusPane, sym::hBrush})
      gdi.push_back(zv::ValueHandle<HGDIOBJ>(zv::Get(t, s)));
    std::vector<HWND> windows{zv::ObjectHwnd(t), zv::ObjectHwnd(zv::Get(t, sym::oHeader)), zv::ObjectHwnd(zv::Get(t, sym::oFooter))};
    const Value list = zv::Get(t, sym::FoImageList);
    EXPECT_NE(zv::ValueHandle<HIMAGELIST>(zv::Get(list, sym::Handle)), nullptr);
    const Value rs = zv::Get(t, sym::oRecSel);
    if (rs.IsObject()) {
      rs.Send(sym::Adjust);
      gdi.push_back(zv::ValueHandle<HGDIOBJ>(zv::Get(rs, sym::hClrPane)));
    }
    t.Send(sym::Destroy, true);
    zvtest::Pump();
    for (HGDIOBJ h : gdi) {
      if (h) {
        EXPECT_EQ(GetObjectType(h), 0u) << "cycle " << i;
      }
    }
    for (HWND w : windows) {
      if (w) {
        EXPECT_FALSE(IsWindow(w)) << "cycle " << i;
      }
    }
    EXPECT_EQ(zv::ValueHandle<HIMAGELIST>(zv::Get(list, sym::Handle)), nullptr) << "the grid's image list, cycle " << i;
    if (HasFailure()) break;
  }
  probe = CreateSolidBrush(RGB(1, 1, 1));
  EXPECT_NE(GetObjectType(probe), 0u);
  DeleteObject(probe);
}

TEST_F(Grid, BarsFollowTheGridAndRouteTheirClicksToTheColumns) {
  Value g = Make(2, 10, 300, 200);
  zv::TBrowseRef v(g);
  const Value c2 = zv::Get(g, sym::aCols).Item(2);
  long long clicks = 0, x = -1;
  zv::Put(c2, sym::set::OnHeaderClick, Value::Closure({}, [&](zv::Args a, std::span<const Value>) -> Value {
    ++clicks;
    EXPECT_EQ(a.Get(1).AsInt(), 0) << "no key flags";
    x = a.Get(2).AsInt();
    return Value();
  }));
  const Value header = v.oHeader();
  const long long item = zv::Get(zv::Get(c2, sym::oHeader), sym::nIndex).AsInt();
  EXPECT_EQ(item, 3) << "after the selector's item and column 1";
  SendMessageA(zv::ObjectHwnd(header), WM_USER + 1, static_cast<WPARAM>(item), MAKELPARAM(150, 4));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(x, 150);
  // A column header text reaches its item.
  zv::TBrwColumnRef(c2).cHeader("Second");
  EXPECT_EQ(zv::Get(zv::Get(c2, sym::oHeader), sym::FcText).AsString(), "Second");
  // The footer sits at the bottom; the data area shrinks by it.
  const long long before = g.Send(sym::DataHeight).AsInt();
  v.SetFooter(true);
  const Value footer = v.oFooter();
  ASSERT_TRUE(footer.IsObject());
  RECT fr{};
  GetWindowRect(zv::ObjectHwnd(footer), &fr);
  MapWindowPoints(nullptr, zv::ObjectHwnd(g), reinterpret_cast<POINT*>(&fr), 2);
  EXPECT_EQ(fr.bottom, 200);
  EXPECT_EQ(g.Send(sym::DataHeight).AsInt(), before - v.nFooterHeight());
  // The filter row makes the header half as tall again.
  const long long h = v.nHeaderHeight();
  v.FilterMode(true);
  EXPECT_EQ(v.nHeaderHeight(), (h * 3 + 1) / 2);
  v.FilterMode(false);
  EXPECT_EQ(v.nHeaderHeight(), h);
}

TEST_F(Grid, TheSolidMarqueeBoxesTheSelectedCell) {
  Value g = Make(2, 10, 300, 200, true, false);
  zv::TBrowseRef v(g);
  v.nMarqueeStyle(2);
  source_.pos = 1;
  zv::Put(g, sym::set::nKeyNo, 1);
  zv::Put(g, sym::set::nRowSel, 1);
  zv::Put(g, sym::set::nColSel, 2);
  Surface s(300, 200);
  Print(g, s);
  const Value c2 = zv::Get(g, sym::aCols).Item(2);
  const int left = static_cast<int>(zv::Get(c2, sym::nDisplayCol).AsInt()) - 1;
  const int top = static_cast<int>(g.Send(sym::FirstDataRow).AsInt());
  EXPECT_EQ(s.At(left, top + 5), RGB(0, 0, 0)) << "left edge of the box";
  EXPECT_EQ(s.At(left + 10, top), RGB(0, 0, 0)) << "top edge";
  const Value c1 = zv::Get(g, sym::aCols).Item(1);
  EXPECT_NE(s.At(static_cast<int>(zv::Get(c1, sym::nDisplayCol).AsInt()) + 1, top + 5), RGB(0, 0, 0)) << "not round column 1";
}

TEST_F(Grid, ColumnQueriesAndTheDefaultsOfASourceWithoutEvents) {
  Value g = Make(3, 10, 300, 200);
  const Value cols = zv::Get(g, sym::aCols);
  EXPECT_EQ(g.Send(sym::ColWithHeader, "col2").AsObject(), cols.Item(2).AsObject()) << "ignoring case";
  EXPECT_TRUE(g.Send(sym::ColWithHeader, "nothing").IsNil());
  EXPECT_EQ(g.Send(sym::ColAtIndex, 3).AsObject(), cols.Item(3).AsObject());
  EXPECT_TRUE(g.Send(sym::ColAtIndex, 9).IsNil());
  EXPECT_EQ(g.Send(sym::ColPos, cols.Item(3)).AsInt(), 3);
  long long widths = g.Send(sym::FirstCol).AsInt();
  for (std::size_t i = 1; i <= 3; ++i) widths += zv::Get(cols.Item(i), sym::FnWidth).AsInt();
  EXPECT_EQ(g.Send(sym::GetDisplayColsWidth).AsInt(), widths);
  // The selector and the header bar switched off.
  zv::TBrowseRef v(g);
  v.SetRecSel(false);
  EXPECT_EQ(g.Send(sym::FirstCol).AsInt(), 0);
  EXPECT_EQ(zv::Get(cols.Item(1), sym::nDisplayCol).AsInt(), 0);
  const HWND bar = zv::ObjectHwnd(v.oHeader());
  v.SetHeader(false);
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_EQ(g.Send(sym::HeaderHeight).AsInt(), 0);
  EXPECT_EQ(g.Send(sym::FirstDataRow).AsInt(), 0);
  // Without navigation events the source is one empty record.
  Value bare = zv::NewObject(zv::TBrowseClass(), form_);
  zv::TBrowseRef b(bare);
  EXPECT_EQ(b.KeyCount().AsInt(), 0);
  EXPECT_EQ(b.KeyNo().AsInt(), 1);
  EXPECT_TRUE(b.IsEof().AsBool());
  EXPECT_TRUE(b.IsBof().AsBool());
  EXPECT_EQ(b.Skip(5).AsInt(), 0);
  EXPECT_EQ(b.BookMark().AsInt(), 1);
}

TEST_F(Grid, TheVerticalBarFollowsTheSourceEvenBeyondItsRange) {
  Value g = Make(1, 5, 300, 200);
  zv::TBrowseRef v(g);
  v.Refresh(true);
  EXPECT_FALSE(v.GetVScroll().AsBool()) << "five records fit";
  source_.count = 10'000'000'000LL;  // more than the bar's 32-bit range
  source_.pos = 5'000'000'000LL;
  v.Refresh();
  EXPECT_TRUE(v.GetVScroll().AsBool());
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(zv::ObjectHwnd(g), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 0x7FFFFFFF);
  EXPECT_NEAR(static_cast<double>(si.nPos) / si.nMax, 0.5, 0.001) << "the thumb maps proportionally";
  EXPECT_EQ(v.nKeyNo(), 5'000'000'000LL);
}

TEST_F(Grid, ColumnWidthsFromDataLinesAndImages) {
  Value g = Make(1, 3, 300, 200, true, false);
  Value c = zv::Get(g, sym::aCols).Item(1);
  zv::Put(c, sym::set::FcHeader, "");
  zv::Put(c, sym::set::OnGetData, Value::Closure({}, [](zv::Args, std::span<const Value>) -> Value {
    return std::string("iii\r\niiiiii");
  }));
  zv::TBrowseRef(g).SetDataLines(2);
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, zv::ObjectHandle<HFONT>(c.Send(sym::GetFont)));
  SIZE six{};
  GetTextExtentPoint32A(dc, "BBBBBB", 6, &six);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(c.Send(sym::DataWidth).AsInt(), six.cx + 10) << "the longest line, measured as a run of B";
  // An image number adds the image width and the margin.
  Value list = zv::Get(g, sym::FoImageList);
  HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
  list.Send(sym::Add, zv::HandleValue(bmp));
  zv::Put(c, sym::set::OnGetData, Value::Closure({}, [](zv::Args a, std::span<const Value>) -> Value {
    a.Set(2, 1);
    return std::string();
  }));
  EXPECT_EQ(c.Send(sym::DataWidth).AsInt(), 16 + 10) << "no text, one image";
  DeleteObject(bmp);
  // Default values by kind; a column without an editor refuses to edit.
  zv::Put(c, sym::set::OnGetData, Value());
  EXPECT_EQ(c.Send(sym::DefaultValue).AsString(), "");
  zv::TBrwColumnRef(c).nEditType(1);
  EXPECT_FALSE(c.Send(sym::Edit).AsBool());
  EXPECT_EQ(zv::Get(g, sym::nEditMode).AsInt(), 0) << "no editor: the grid stays in read mode";
}

// ------------------------------------------------------------------ header

class Header : public zvtest::FormTest {
 protected:
  Value Make() {
    Value h = zv::NewObject(zv::THeaderClass(), form_);
    zv::THeaderRef(h).SetBounds(0, 0, 300, 24);
    h.Send(sym::Create, form_);
    return h;
  }
};

TEST_F(Header, ItemsAreMirroredIntoTheControlAndReadBack) {
  Value h = Make();
  HWND hw = zv::ObjectHwnd(h);
  ASSERT_NE(hw, nullptr);
  h.Send(sym::SetItems, Value::List({"A", Value::List({"B", 2, 80})}));
  EXPECT_EQ(h.Send(sym::GetItemCount).AsInt(), 2);
  const Value a = zv::Get(h, sym::aItems).Item(1), b = zv::Get(h, sym::aItems).Item(2);
  zv::THeaderItemRef ia(a), ib(b);
  EXPECT_EQ(ia.nWidth(), 50);
  EXPECT_EQ(ia.nAlignment(), 0);
  EXPECT_EQ(ib.nWidth(), 80);
  EXPECT_EQ(ib.nAlignment(), 2);
  HDITEMA hd{};
  hd.mask = HDI_FORMAT | HDI_WIDTH;
  SendMessageA(hw, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
  EXPECT_EQ(hd.fmt & HDF_JUSTIFYMASK, HDF_RIGHT);
  EXPECT_EQ(hd.cxy, 80);
  // The user changes a width in the control: the item reads it back.
  hd.mask = HDI_WIDTH;
  hd.cxy = 120;
  SendMessageA(hw, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&hd));
  EXPECT_EQ(ia.nWidth(), 120);
  // And the other way.
  ib.nWidth(33);
  hd.mask = HDI_WIDTH;
  SendMessageA(hw, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
  EXPECT_EQ(hd.cxy, 33);
  ib.cText("Bee");
  char text[16] = {};
  hd.mask = HDI_TEXT;
  hd.pszText = text;
  hd.cchTextMax = sizeof text;
  SendMessageA(hw, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
  EXPECT_STREQ(text, "Bee");
  ib.nSort(1);
  hd.mask = HDI_FORMAT;
  SendMessageA(hw, HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
  EXPECT_TRUE(hd.fmt & HDF_SORTUP);
  // Order arrays are 1-based and read back.
  EXPECT_TRUE(h.Send(sym::SetOrderArray, Value::List({2, 1})).AsBool());
  EXPECT_EQ(ia.nOrder(), 2);
  EXPECT_FALSE(h.Send(sym::SetOrderArray, Value::List({2, 2})).AsBool()) << "not a permutation";
  EXPECT_FALSE(h.Send(sym::SetOrderArray, Value("x")).AsBool());
  // Deleting renumbers; out of range answers false.
  EXPECT_FALSE(h.Send(sym::DeleteItem, 3).AsBool());
  EXPECT_TRUE(h.Send(sym::DeleteItem, 1).AsBool());
  EXPECT_EQ(ib.nIndex(), 1);
  EXPECT_EQ(ia.nIndex(), 0);
  EXPECT_EQ(h.Send(sym::GetItemRect, 7).Item(3).AsInt(), 0);
}

TEST_F(Header, ClicksDragsAndTracksReachTheOwnerWhoMayRefuseThem) {
  Value h = Make();
  HWND hw = zv::ObjectHwnd(h);
  h.Send(sym::AddItem, "One");
  h.Send(sym::AddItem, "Two");
  const Value item = zv::Get(h, sym::aItems).Item(2);
  int itemClicks = 0, headerClicks = 0;
  zv::Put(item, sym::set::OnClick, Value::Closure({}, [&](zv::Args, std::span<const Value>) -> Value { return ++itemClicks, Value(); }));
  zv::Put(h, sym::set::OnClick, Value::Closure({}, [&](zv::Args a, std::span<const Value>) -> Value {
    ++headerClicks;
    EXPECT_EQ(a.Get(3).AsInt(), 2);
    return headerClicks > 1 ? Value(true) : Value();
  }));
  SendMessageA(hw, WM_USER + 1, 2, MAKELPARAM(60, 5));
  EXPECT_EQ(headerClicks, 1);
  EXPECT_EQ(itemClicks, 1);
  SendMessageA(hw, WM_USER + 1, 2, MAKELPARAM(60, 5));
  EXPECT_EQ(itemClicks, 1) << "a header handler's value suppresses the item's";

  NMHEADERW nm{};
  nm.hdr.hwndFrom = hw;
  nm.hdr.code = HDN_BEGINTRACKW;
  nm.iItem = 0;
  const auto notify = [&]() { return h.Send(sym::Notify, 0, static_cast<long long>(reinterpret_cast<LPARAM>(&nm))); };
  zv::Put(h, sym::set::lResize, false);
  EXPECT_TRUE(notify().AsBool()) << "no track without lResize";
  zv::Put(h, sym::set::lResize, true);
  EXPECT_FALSE(notify().AsBool());
  zv::Put(h, sym::set::OnBeginTrack, Value::Closure({h}, [](zv::Args, std::span<const Value> b) -> Value {
    zv::Put(b[0], sym::set::lCancelTrack, true);
    return Value();
  }));
  EXPECT_TRUE(notify().AsBool());
  EXPECT_FALSE(zv::Get(h, sym::lCancelTrack).AsBool()) << "reset after use";
  // A refused drop keeps the order.
  HDITEMW pitem{};
  pitem.mask = HDI_ORDER;
  pitem.iOrder = 1;
  nm.pitem = &pitem;
  nm.hdr.code = HDN_ENDDRAG;
  long long reportedOrder = 0;
  zv::Put(h, sym::set::OnEndDrag, Value::Closure({h}, [&](zv::Args a, std::span<const Value> b) -> Value {
    reportedOrder = a.Get(2).AsInt();
    zv::Put(b[0], sym::set::lCancelDrag, true);
    return Value();
  }));
  EXPECT_TRUE(notify().AsBool());
  EXPECT_EQ(reportedOrder, 2);
  EXPECT_EQ(h.Send(sym::GetOrderArray).Item(1).AsInt(), 1);
}

TEST_F(Header, FilterTextsAndImagesOnItems) {
  Value h = Make();
  zv::THeaderRef(h).lFilterBar(true);
  Value item = h.Send(sym::AddItem, "F", 0, 90);
  zv::THeaderItemRef it(item);
  it.cFilter("abc");
  EXPECT_EQ(it.cFilter(), "abc") << "read back from the control or the header's own filter row";
  // Where the control keeps no filters the header shows edit boxes of its own.
  const bool own = zv::Get(h, sym::aFilterEdits).Len() > 0;
  EXPECT_EQ(own, !zv::header_native::KeepsFilters(zv::ObjectHwnd(h)));
  std::printf("[   info   ] header filter row: %s\n", own ? "the header's own edit boxes" : "the control's");
  if (own) {
    HWND edit = zv::ValueHandle<HWND>(zv::Get(h, sym::aFilterEdits).Item(1));
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "abc");
    SetWindowTextA(edit, "typed");
    EXPECT_EQ(it.cFilter(), "typed") << "the user's text is read back";
  }
  item.Send(sym::ClearFilter);
  EXPECT_EQ(it.cFilter(), "");
  // An item that gets its first image is inserted again; one image to
  // another is only written.
  Value list = zv::Get(h, sym::FoImageList);
  HBITMAP bmp = CreateBitmap(16, 16, 1, 32, nullptr);
  list.Send(sym::Add, zv::HandleValue(bmp));
  list.Send(sym::Add, zv::HandleValue(bmp));
  it.nImage(1);
  HDITEMA hd{};
  hd.mask = HDI_FORMAT | HDI_IMAGE;
  SendMessageA(zv::ObjectHwnd(h), HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&hd));
  EXPECT_TRUE(hd.fmt & HDF_IMAGE);
  EXPECT_EQ(hd.iImage, 0);
  it.nImage(2);
  SendMessageA(zv::ObjectHwnd(h), HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&hd));
  EXPECT_EQ(hd.iImage, 1);
  EXPECT_EQ(h.Send(sym::GetItemCount).AsInt(), 1);
  DeleteObject(bmp);
}

TEST_F(Header, InsertingDeletingAndRebuildingKeepNumbersInStep) {
  Value h = Make();
  h.Send(sym::AddItem, "A");
  h.Send(sym::AddItem, "C");
  const Value b = h.Send(sym::InsertItem, 2, "B");
  const Value items = zv::Get(h, sym::aItems);
  ASSERT_EQ(items.Len(), 3u);
  for (std::size_t i = 1; i <= 3; ++i) EXPECT_EQ(zv::Get(items.Item(i), sym::nIndex).AsInt(), static_cast<long long>(i));
  char text[8] = {};
  HDITEMA hd{};
  hd.mask = HDI_TEXT;
  hd.pszText = text;
  hd.cchTextMax = sizeof text;
  SendMessageA(zv::ObjectHwnd(h), HDM_GETITEMA, 1, reinterpret_cast<LPARAM>(&hd));
  EXPECT_STREQ(text, "B") << "inserted in the control where it is in the list";
  h.Send(sym::Rebuild);
  EXPECT_EQ(h.Send(sym::GetItemCount).AsInt(), 3);
  EXPECT_TRUE(b.Send(sym::End).AsBool());
  EXPECT_EQ(h.Send(sym::GetItemCount).AsInt(), 2);
  EXPECT_EQ(zv::Get(zv::Get(h, sym::aItems).Item(2), sym::nIndex).AsInt(), 2);
  h.Send(sym::DeleteItems);
  EXPECT_EQ(h.Send(sym::GetItemCount).AsInt(), 0);
  EXPECT_EQ(zv::Get(h, sym::aItems).Len(), 0u);
}

TEST_F(Header, EndOfTrackAndDividerDoubleClicks) {
  Value h = Make();
  h.Send(sym::AddItem, "One", 0, 70);
  const Value item = zv::Get(h, sym::aItems).Item(1);
  long long width = 0, headerDivider = 0, itemDivider = 0;
  zv::Put(h, sym::set::OnEndTrack, Value::Closure({}, [&](zv::Args a, std::span<const Value>) -> Value {
    width = a.Get(2).AsInt();
    return Value();
  }));
  zv::Put(h, sym::set::OnDividerDblClick, Value::Closure({}, [&](zv::Args, std::span<const Value>) -> Value {
    return ++headerDivider, Value();
  }));
  NMHEADERW nm{};
  HDITEMW pitem{};
  pitem.mask = HDI_WIDTH;
  pitem.cxy = 91;
  nm.hdr.hwndFrom = zv::ObjectHwnd(h);
  nm.hdr.code = HDN_ENDTRACKW;
  nm.pitem = &pitem;
  const auto notify = [&]() { return h.Send(sym::Notify, 0, static_cast<long long>(reinterpret_cast<LPARAM>(&nm))); };
  EXPECT_FALSE(notify().AsBool());
  EXPECT_EQ(width, 91) << "the new width";
  nm.hdr.code = HDN_DIVIDERDBLCLICKW;
  nm.pitem = nullptr;
  notify();
  EXPECT_EQ(headerDivider, 1);
  zv::Put(item, sym::set::OnDividerDblClick, Value::Closure({}, [&](zv::Args, std::span<const Value>) -> Value {
    return ++itemDivider, Value();
  }));
  notify();
  EXPECT_EQ(itemDivider, 1) << "the item's handler first";
  EXPECT_EQ(headerDivider, 1);
}

}  // namespace
