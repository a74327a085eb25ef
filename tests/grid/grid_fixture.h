// The test grid: a TBrowse over a data source given through the
// navigation events (records are numbers, the cursor a record number), on
// a shown form, with columns whose cells read "r<record>c<column>".
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "framework/core/members.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "support/test_forms.h"
#include "surface.h"

namespace zvtest {

using zv::Value;

// A data source of `count` records; the cursor is a record number. It
// records the furthest record it was moved to.
struct Source {
  long long count = 0;
  long long pos = 1;
  long long furthest = 0;
  long long skips = 0;
  void Bind(const Value& grid) {
    Source* s = this;
    const auto put = [&](zv::SetterSymbol e, std::function<Value(zv::Args)> fn) {
      zv::Put(grid, e, Value::Closure({}, [fn](zv::Args a, std::span<const Value>) { return fn(a); }));
    };
    put(zv::sym::set::OnSkip, [s](zv::Args a) -> Value {
      ++s->skips;
      const long long want = a.Get(1).AsInt();
      const long long to = std::clamp(s->pos + want, 1LL, std::max(s->count, 1LL));
      const long long moved = to - s->pos;
      s->pos = to;
      s->furthest = std::max(s->furthest, to);
      return moved;
    });
    put(zv::sym::set::OnMoveTop, [s](zv::Args) -> Value { return s->pos = 1, Value(); });
    put(zv::sym::set::OnMoveBottom, [s](zv::Args) -> Value { return s->pos = std::max(s->count, 1LL), Value(); });
    put(zv::sym::set::OnIsBof, [s](zv::Args) -> Value { return s->pos <= 1; });
    put(zv::sym::set::OnIsEof, [s](zv::Args) -> Value { return s->pos >= s->count; });
    put(zv::sym::set::OnKeyNo, [s](zv::Args a) -> Value {
      if (a.Get(1).IsNumber()) s->pos = std::clamp(a.Get(1).AsInt(), 1LL, std::max(s->count, 1LL));
      return s->pos;
    });
    put(zv::sym::set::OnKeyCount, [s](zv::Args) -> Value { return s->count; });
    put(zv::sym::set::OnBookMark, [s](zv::Args a) -> Value {
      if (a.Get(1).IsNumber()) s->pos = a.Get(1).AsInt();
      return s->pos;
    });
  }
};

class Grid : public FormTest {
 protected:
  // A grid of `cols` columns over the source, with the header bar and the
  // record selector unless told otherwise, client area w by h.
  Value Make(int cols, long long rows, int w = 300, int h = 200, bool header = true, bool recsel = true) {
    source_.count = rows;
    Value g = zv::NewObject(zv::TBrowseClass(), form_);
    zv::TBrowseRef v(g);
    v.lHeader(header);
    v.lRecordSelector(recsel);
    source_.Bind(g);
    for (int i = 1; i <= cols; ++i) {
      Value c = zv::NewObject(zv::TBrwColumnClass(), g);
      zv::Put(c, zv::sym::set::FcHeader, "Col" + std::to_string(i));
      Source* s = &source_;
      zv::Put(c, zv::sym::set::OnGetData, Value::Closure({}, [s, i](zv::Args, std::span<const Value>) -> Value {
        return "r" + std::to_string(s->pos) + "c" + std::to_string(i);
      }));
      c.Send(zv::sym::Create, g);
    }
    v.SetBounds(0, 0, w, h);
    v.Create();
    HWND hw = zv::ObjectHwnd(g);
    RECT outer{}, client{};
    GetWindowRect(hw, &outer);
    GetClientRect(hw, &client);
    v.SetBounds(0, 0, w + (outer.right - outer.left - client.right), h + (outer.bottom - outer.top - client.bottom));
    UpdateWindow(hw);  // painted once, as a user sees it before the first click
    zvtest::Pump();
    return g;
  }
  static void Print(const Value& g, zvtest::Surface& s) {
    s.Fill(RGB(1, 2, 3));
    SendMessageA(zv::ObjectHwnd(g), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
    GdiFlush();
  }
  Source source_;
};


}  // namespace zvtest
