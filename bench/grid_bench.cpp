// The data grid's full repaint of a page, in one run:
//   1. a TBrowse over a source of 10^2 records against the same grid over
//      10^7 records, both supplied through the navigation events (no list
//      in memory: the cell texts are computed from the record number);
//   2. Page Down, End and Home (each move and the paint it calls for)
//      at 10^2 against 10^7 records;
//   3. Wine's ListView in report mode with LVS_OWNERDATA over the same 10^7
//      records (texts computed the same way in LVN_GETDISPINFO) against the
//      grid over 10^7 records.
// Both sides have the same font, the same three columns and the same
// number of visible rows.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/bench_util.h"
#include "framework/core/application.h"
#include "framework/core/globals.h"
#include "framework/core/members.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "framework/window/form.h"

namespace {

constexpr int kCols = 3;
constexpr int kColWidth = 110;
constexpr int kRows = 20;

struct Source {
  long long count = 0;
  long long pos = 1;
};

// The record number in eight digits, so that a page far down the big source
// draws texts as long as those of the small one: the comparison then shows
// the cost of the source's size alone.
std::string CellText(long long row, int col) {
  char text[48];
  std::snprintf(text, sizeof text, "row %08lld col %d", row, col);
  return text;
}

zv::Value MakeGrid(const zv::Value& form, Source* s, int x, int pitch, int height) {
  using zv::Value;
  namespace sym = zv::sym;
  Value g = zv::NewObject(zv::TBrowseClass(), form);
  zv::TBrowseRef v(g);
  v.lRecordSelector(false);
  v.nMarqueeStyle(5);
  const auto put = [&](zv::SetterSymbol e, auto fn) {
    zv::Put(g, e, Value::Closure({}, [fn](zv::Args a, std::span<const Value>) -> Value { return fn(a); }));
  };
  put(sym::set::OnSkip, [s](zv::Args a) -> Value {
    const long long to = std::clamp(s->pos + a.Get(1).AsInt(), 1LL, s->count);
    const long long moved = to - s->pos;
    s->pos = to;
    return moved;
  });
  put(sym::set::OnKeyCount, [s](zv::Args) -> Value { return s->count; });
  put(sym::set::OnKeyNo, [s](zv::Args) -> Value { return s->pos; });
  put(sym::set::OnIsEof, [s](zv::Args) -> Value { return s->pos >= s->count; });
  put(sym::set::OnIsBof, [s](zv::Args) -> Value { return s->pos <= 1; });
  put(sym::set::OnMoveTop, [s](zv::Args) -> Value { return s->pos = 1, Value(); });
  put(sym::set::OnMoveBottom, [s](zv::Args) -> Value { return s->pos = s->count, Value(); });
  put(sym::set::OnBookMark, [s](zv::Args a) -> Value {
    const long long old = s->pos;
    if (a.Get(1).IsNumber()) s->pos = std::clamp(a.Get(1).AsInt(), 1LL, s->count);
    return old;
  });
  for (int c = 1; c <= kCols; ++c) {
    Value col = zv::NewObject(zv::TBrwColumnClass(), g);
    zv::Put(col, sym::set::FcHeader, "Column " + std::to_string(c));
    zv::Put(col, sym::set::FnWidth, kColWidth);
    zv::Put(col, sym::set::OnGetData, Value::Closure({}, [s, c](zv::Args, std::span<const Value>) -> Value {
      return CellText(s->pos, c);
    }));
    col.Send(sym::Create, g);
  }
  v.lVScroll(false);
  v.lHScroll(false);
  v.SetBounds(x, 0, kCols * kColWidth + 20, height);
  v.Create();
  v.SetRowHeight(pitch);
  ShowWindow(zv::ObjectHwnd(g), SW_SHOW);
  return g;
}

LRESULT CALLBACK ListParentProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NOTIFY) {
    auto* di = reinterpret_cast<NMLVDISPINFOW*>(l);
    if (di->hdr.code == LVN_GETDISPINFOW && (di->item.mask & LVIF_TEXT)) {
      static std::wstring text;
      const std::string t = CellText(di->item.iItem + 1, di->item.iSubItem + 1);
      text.assign(t.begin(), t.end());
      lstrcpynW(di->item.pszText, text.c_str(), di->item.cchTextMax);
      return 0;
    }
  }
  return DefWindowProcW(h, msg, w, l);
}

double RepaintNs(HWND h, int n) {
  return bench::NsPerCall(static_cast<std::uint64_t>(n), [h] {
    InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
  });
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  zv::FrameworkStartUp();
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HINSTANCE inst = GetModuleHandleW(nullptr);

  // The ListView first: its item height sets the grid's row pitch, so both
  // show the same rows.
  WNDCLASSW wc{};
  wc.lpfnWndProc = &ListParentProc;
  wc.hInstance = inst;
  wc.lpszClassName = L"BenchListParent";
  RegisterClassW(&wc);
  HWND host = CreateWindowW(L"BenchListParent", L"listview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 700, nullptr,
                            nullptr, inst, nullptr);
  HWND list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, kCols * kColWidth + 20,
                            600, host, nullptr, inst, nullptr);
  zv::Value form = zv::NewObject(zv::TFormClass());
  zv::TFormRef fv(form);
  fv.SetBounds(430, 0, 420, 700);
  fv.Create();
  fv.Show();
  zv::Value probeFont = zv::Application().Send(zv::sym::GetFont);
  HFONT font = zv::ObjectHandle<HFONT>(probeFont);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (int c = 0; c < kCols; ++c) {
    std::wstring title = L"Column " + std::to_wstring(c + 1);
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = kColWidth;
    col.pszText = title.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
  }
  SendMessageW(list, LVM_SETITEMCOUNT, 10'000'000, 0);
  RECT item{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  const int pitch = std::max<int>(item.bottom - item.top, 1);
  HWND lvHeader = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RECT hr{};
  GetWindowRect(lvHeader, &hr);
  const int headerH = hr.bottom - hr.top;
  RECT outer{}, client{};
  GetWindowRect(list, &outer);
  GetClientRect(list, &client);
  SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left,
               headerH + kRows * pitch + (outer.bottom - outer.top - client.bottom), SWP_NOMOVE | SWP_NOZORDER);

  Source small{100, 1}, big{10'000'000, 1};
  zv::Value gridSmall = MakeGrid(form, &small, 0, pitch, 100);
  zv::Value gridBig = MakeGrid(form, &big, 0, pitch, 100);
  for (const zv::Value& g : {gridSmall, gridBig}) {
    zv::TBrowseRef v(g);
    v.SetHeaderHeight(headerH);
    HWND h = zv::ObjectHwnd(g);
    GetWindowRect(h, &outer);
    GetClientRect(h, &client);
    v.SetBounds(0, 0, outer.right - outer.left, headerH + kRows * pitch + (outer.bottom - outer.top - client.bottom));
    v.Refresh(true);
  }
  ShowWindow(zv::ObjectHwnd(gridSmall), SW_HIDE);
  // Both grids start a little way in, the big one far down its records.
  big.pos = 5'000'000;
  zv::Put(gridBig, zv::sym::set::nKeyNo, big.pos);
  small.pos = 50;
  zv::Put(gridSmall, zv::sym::set::nKeyNo, small.pos);
  SendMessageW(list, LVM_ENSUREVISIBLE, 5'000'000, FALSE);
  UpdateWindow(zv::ObjectHwnd(gridBig));
  std::printf("Rows on screen: grid %d, ListView %d (pitch %d px)\n\n",
              zv::TBrowseRef(gridBig).nDataRows(), static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0)), pitch);

  const auto show = [&](const zv::Value& g) {
    ShowWindow(zv::ObjectHwnd(gridSmall), g.AsObject() == gridSmall.AsObject() ? SW_SHOW : SW_HIDE);
    ShowWindow(zv::ObjectHwnd(gridBig), g.AsObject() == gridBig.AsObject() ? SW_SHOW : SW_HIDE);
  };
  const bench::Comparison scale = bench::Alternate(
      9,
      [&] {
        show(gridSmall);
        return RepaintNs(zv::ObjectHwnd(gridSmall), 100);
      },
      [&] {
        show(gridBig);
        return RepaintNs(zv::ObjectHwnd(gridBig), 100);
      });
  std::printf("Full repaint of a page of %d rows x %d columns, 9 alternating rounds\n\n", kRows, kCols);
  bench::Report("TBrowse over 10^2 records (navigation events)", "TBrowse over 10^7 records (navigation events)", scale);
  std::printf("  (goal: within 1.1x)\n\n");

  // Moves: three pages down, to the end and back to the top, each move
  // painted before the next.
  const auto moves = [&](const zv::Value& g) {
    HWND h = zv::ObjectHwnd(g);
    return bench::NsPerCall(20, [&] {
      for (zv::Symbol m : {zv::sym::GoPageDown, zv::sym::GoPageDown, zv::sym::GoPageDown, zv::sym::GoBottom, zv::sym::GoTop}) {
        g.Send(m);
        UpdateWindow(h);
      }
    }) / 5;
  };
  const bench::Comparison move = bench::Alternate(
      9,
      [&] {
        show(gridSmall);
        return moves(gridSmall);
      },
      [&] {
        show(gridBig);
        return moves(gridBig);
      });
  std::printf("Page Down, End and Home with their paints, 9 alternating rounds (time per move)\n\n");
  bench::Report("TBrowse over 10^2 records", "TBrowse over 10^7 records", move);
  std::printf("  (goal: within 1.1x)\n\n");

  show(gridBig);
  const bench::Comparison peer = bench::Alternate(
      9, [&] { return RepaintNs(list, 100); }, [&] { return RepaintNs(zv::ObjectHwnd(gridBig), 100); });
  std::printf("The same page against the platform's virtual list, 9 alternating rounds\n\n");
  bench::Report("ListView LVS_REPORT | LVS_OWNERDATA over 10^7 items", "TBrowse over 10^7 records", peer);
  std::printf("  (goal: within 1.0x)\n");
  DestroyWindow(host);
  fv.Close(true);
  return 0;
}
