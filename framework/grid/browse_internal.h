// Helpers shared by the grid's files: its state read as numbers, its
// columns, its geometry in client pixels and its scroll bars.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/core/members.h"
#include "framework/window/winobject.h"

namespace zv::brw {

inline long long Int(Object& self, Symbol s) { return Get(self, s).AsInt(); }

inline std::vector<Value> Cols(Object& self) {
  const Value list = Get(self, sym::aCols);
  std::vector<Value> out;
  if (list.IsList())
    for (const Value& c : list.AsList().items)
      if (c.IsObject()) out.push_back(c);
  return out;
}

inline Value RecSel(Object& self) {
  return Get(self, sym::FlRecordSelector).AsBool() ? Get(self, sym::oRecSel) : Value();
}

inline long long DisplayCount(Object& self) {
  const Value d = Get(self, sym::aDisplay);
  return d.IsList() ? static_cast<long long>(d.Len()) : 0;
}

// aCols[aDisplay[p]], absent outside the displayed positions.
inline Value ColAt(Object& self, long long p) {
  const Value d = Get(self, sym::aDisplay);
  if (!d.IsList() || p < 1 || p > static_cast<long long>(d.Len())) return {};
  const Value cols = Get(self, sym::aCols);
  return cols.IsList() ? cols.Item(static_cast<std::size_t>(d.Item(static_cast<std::size_t>(p)).AsInt())) : Value();
}

inline RECT Client(Object& self) {
  RECT c{0, 0, 0, 0};
  if (HWND h = ObjectHwnd(self)) GetClientRect(h, &c);
  return c;
}
inline long long ClientWidth(Object& self) { return Client(self).right; }
inline long long ClientHeight(Object& self) { return Client(self).bottom; }
inline long long HeaderH(Object& self) { return Get(self, sym::FlHeader).AsBool() ? Int(self, sym::FnHeaderHeight) : 0; }
inline long long FooterH(Object& self) { return Get(self, sym::FlFooter).AsBool() ? Int(self, sym::FnFooterHeight) : 0; }
inline long long DataH(Object& self) { return ClientHeight(self) - HeaderH(self) - FooterH(self); }
inline long long Rows(Object& self) {
  const long long d = DataH(self);
  return d > 0 ? d / std::max<long long>(Int(self, sym::nIntRowHeight), 1) : 0;
}
inline long long FirstColX(Object& self) {
  const Value rs = RecSel(self);
  return rs.IsObject() ? Get(rs, sym::FnWidth).AsInt() : 0;
}
// The painted cell height: the pitch less its divider pixels.
inline long long CellHeight(Object& self) {
  const long long style = Int(self, sym::FnRowDividerStyle);
  long long h = Int(self, sym::nIntRowHeight);
  if (style > 0) --h;
  if (style == 5 || style == 6) --h;
  return h;
}

inline bool HasStyleBit(Object& self, long long bit) { return (Int(self, sym::nCtlStyle) & bit) != 0; }

int RowPitchOf(Object& self, bool withImages);
inline long long ComputedPitch(Object& self, bool withImages) { return RowPitchOf(self, withImages); }

// Adds or removes the bar's style bit and shows or hides the bar.
void ShowBar(Object& self, long long bit, int bar, bool on);
// The vertical bar: range 1..len, position key (scaled when the count
// does not fit the bar's range).
void SetVerticalBar(Object& self, long long len, long long key);
// The thumb alone moved to a record position, scaled as above.
void SetVerticalBarPos(Object& self, long long key);
// The record position of a thumb position.
long long VerticalBarKey(Object& self, long long pos);
// The horizontal bar mapped onto the columns in pixels.
void MapHorizontalBar(Object& self);

}  // namespace zv::brw
