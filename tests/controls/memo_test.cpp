// The memo: lines and columns, Enter and Tab typed or moving on, appending
// at the end, long lines read whole, and memos made and destroyed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/controls/button.h"
#include "framework/controls/memo.h"
#include "framework/core/members.h"
#include "runtime/heap.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

class Memo : public zvtest::FormTest {
 protected:
  Value Make(const std::string& text = "", int top = 10, bool noWrap = false) {
    Value m = zv::NewObject(zv::TMemoClass(), form_);
    m.Send(sym::SetBounds, 10, top, 200, 80);
    if (noWrap) zv::Put(m, sym::set::lAutoHScroll, true);
    m.Send(sym::Create);
    zv::Put(m, sym::set::cText, text);
    return m;
  }
  static void Type(const Value& m, int key) {
    HWND h = zv::ObjectHwnd(m);
    SendMessageA(h, WM_KEYDOWN, key, 1);
    if (IsWindow(h) && GetFocus() == h) SendMessageA(h, WM_CHAR, key, 1);
    zvtest::Pump();
  }
  static long long I(const Value& m, zv::Symbol s) { return zv::Get(m, s).AsInt(); }
};

TEST_F(Memo, LinesColumnsAndLongLines) {
  Value m = Make("one\r\ntwo\r\nthree");
  const long long style = GetWindowLongPtrA(zv::ObjectHwnd(m), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL) << "lVScroll is on by default";
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_EQ(I(m, sym::nLineCount), 2) << "three lines: the index of the last";
  EXPECT_EQ(m.Send(sym::GetLine, 2).AsString(), "two");
  EXPECT_EQ(m.Send(sym::GetLine, 9).AsString(), "");
  zv::Put(m, sym::set::nLine, 3);
  EXPECT_EQ(I(m, sym::nLine), 3);
  EXPECT_EQ(I(m, sym::nColumn), 1);
  zv::Put(m, sym::set::nColumn, 4);
  EXPECT_EQ(I(m, sym::nColumn), 4);
  zv::Put(m, sym::set::nColumn, 40);
  EXPECT_EQ(I(m, sym::nColumn), 4) << "past the end of the line: the caret stays";
  EXPECT_EQ(I(m, sym::nLine), 3);
  // Without wrapping (lAutoHScroll), a line of the text is one line of the
  // control, however long.
  m = Make("", 100, true);
  EXPECT_TRUE(GetWindowLongPtrA(zv::ObjectHwnd(m), GWL_STYLE) & ES_AUTOHSCROLL);
  const std::string longLine(700, 'x');
  zv::Put(m, sym::set::cText, "a\r\n" + longLine);
  EXPECT_EQ(m.Send(sym::GetLine, 2).AsString(), longLine) << "read whole, not cut at a fixed buffer";
  m.Send(sym::ReplaceLine, 0, "first");
  EXPECT_EQ(m.Send(sym::GetLine, 1).AsString(), "first");
  EXPECT_EQ(m.Send(sym::GetLine, 2).AsString(), longLine);
  zv::Put(m, sym::set::lVScroll, false);
  EXPECT_FALSE(GetWindowLongPtrA(zv::ObjectHwnd(m), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(Memo, AppendGoesToTheEndAndCanBeUndone) {
  Value m = Make("abc");
  SendMessageA(zv::ObjectHwnd(m), EM_SETSEL, 0, 2);
  m.Send(sym::Append, "def");
  EXPECT_EQ(zv::Get(m, sym::cText).AsString(), "abcdef");
  SendMessageA(zv::ObjectHwnd(m), EM_UNDO, 0, 0);
  EXPECT_EQ(zv::Get(m, sym::cText).AsString(), "abc");
  m.Send(sym::Clear);
  EXPECT_EQ(zv::Get(m, sym::cText).AsString(), "");
}

TEST_F(Memo, EnterAndTabAreTypedOrMoveOn) {
  int clicks = 0;
  Value b = zv::NewObject(zv::TButtonClass(), form_);
  b.Send(sym::SetBounds, 10, 200, 80, 24);
  zv::Put(b, sym::set::lDefault, true);
  zv::Put(b, sym::set::OnClick, Value::Closure({}, [&](zv::Args, std::span<const Value>) -> Value { return ++clicks, Value(); }));
  b.Send(sym::Create);
  Value m = Make("x");
  Value other = Make("", 100);
  m.Send(sym::SetFocus);
  SendMessageA(zv::ObjectHwnd(m), EM_SETSEL, 1, 1);
  Type(m, VK_RETURN);
  EXPECT_EQ(zv::Get(m, sym::cText).AsString(), "x\r\n") << "lWantReturn: a new line";
  EXPECT_EQ(clicks, 0);
  zv::Put(m, sym::set::lWantReturn, false);
  EXPECT_FALSE(GetWindowLongPtrA(zv::ObjectHwnd(m), GWL_STYLE) & ES_WANTRETURN);
  Type(m, VK_RETURN);
  EXPECT_EQ(clicks, 1) << "without it, Enter reaches the form's default button";
  m.Send(sym::SetFocus);
  Type(m, VK_TAB);
  EXPECT_NE(GetFocus(), zv::ObjectHwnd(m)) << "Tab moves on";
  m.Send(sym::SetFocus);
  zv::Put(m, sym::set::lWantTab, true);
  SendMessageA(zv::ObjectHwnd(m), WM_CHAR, VK_TAB, 1);
  EXPECT_EQ(GetFocus(), zv::ObjectHwnd(m));
  EXPECT_NE(zv::Get(m, sym::cText).AsString().find('\t'), std::string::npos) << "lWantTab: typed";
  (void)other;
}

TEST_F(Memo, MemosMadeAndDestroyedLeaveNothing) {
  for (int i = 0; i < 10; ++i) Make("warm").Send(sym::Destroy, true);
  zvtest::Pump();
  zv::Put(form_, sym::set::aShortCutLog, Value::List({}));
  zv::Collect();
  const std::size_t live = zv::GcObject::LiveCount();
  for (int i = 0; i < 300 && !HasFailure(); ++i) {
    Value m = Make("line one\r\nline two");
    HWND h = zv::ObjectHwnd(m);
    m.Send(sym::Destroy, true);
    zvtest::Pump();
    zv::Put(form_, sym::set::aShortCutLog, Value::List({}));
    EXPECT_FALSE(IsWindow(h)) << i;
  }
  zv::Collect();
  EXPECT_LE(zv::GcObject::LiveCount(), live + 4);
}

}  // namespace
