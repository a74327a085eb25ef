// The label, bevel, group box and edit box: sizing and painting read back as
// pixels, the group box's frame and children, and the edit box's value,
// change events, colours, styles and the shared overwrite mode.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/controls/edit.h"
#include "framework/controls/frames.h"
#include "framework/controls/label.h"
#include "framework/core/members.h"
#include "framework/window/form.h"
#include "framework/window/theme.h"
#include "support/test_forms.h"
#include "surface.h"

namespace {

using zv::Value;
namespace sym = zv::sym;
using zvtest::Surface;

class Standard : public ::testing::Test {
 protected:
  void SetUp() override { form_ = zvtest::MakeForm("standard", true, 40, 40, 400, 300); }
  void TearDown() override {
    if (HWND h = zv::ObjectHwnd(form_); h && IsWindow(h)) zv::TFormRef(form_).Close(true);
    zvtest::Pump();
  }
  Value form_;
};

RECT InkOf(const Surface& s, int w, int h, COLORREF ink) {
  RECT r{w, h, -1, -1};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (s.At(x, y) == ink) {
        r.left = std::min<LONG>(r.left, x), r.right = std::max<LONG>(r.right, x);
        r.top = std::min<LONG>(r.top, y), r.bottom = std::max<LONG>(r.bottom, y);
      }
  return r;
}

TEST_F(Standard, ALabelSizesItselfToItsTextAndTurnsMultiLineAtALineBreak) {
  Value l = zv::NewObject(zv::TLabelClass(), form_);
  zv::TLabelRef label(l);
  label.SetBounds(10, 10, 20, 10);
  label.cText("Hello there");
  label.Create();
  HWND h = zv::ObjectHwnd(l);
  ASSERT_NE(h, nullptr);
  const long long oneLineWidth = label.nWidth(), oneLineHeight = label.nHeight();
  EXPECT_GT(oneLineWidth, 40) << "grown to the text";
  EXPECT_EQ(label.nLeft(), 10) << "in place";
  label.cText("Hello\r\nthere");
  EXPECT_TRUE(label.lMultiLine());
  EXPECT_GT(label.nHeight(), oneLineHeight + 5);
  EXPECT_LT(label.nWidth(), oneLineWidth);

  // Painted on the parent's background, in the text colour, right-aligned.
  label.lAutoSize(false);
  label.SetBounds(10, 10, 120, 40);
  label.cText("Right");
  label.lMultiLine(false);
  label.nAlignment(2);
  label.nClrText(static_cast<long long>(RGB(200, 0, 0)));
  Surface s(120, 40);
  s.Fill(RGB(0, 0, 255));
  SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
  const RECT ink = InkOf(s, 120, 40, RGB(200, 0, 0));
  ASSERT_GE(ink.right, 0) << "the text is drawn";
  EXPECT_GT(ink.left, 60) << "right-aligned";
  EXPECT_GE(ink.right, 110);
  label.nVAlignment(2);
  SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
  EXPECT_GT(InkOf(s, 120, 40, RGB(200, 0, 0)).bottom, 30) << "bottom-aligned";
}

TEST_F(Standard, AGroupBoxFramesItsChildrenAndSwallowsClicks) {
  const zv::GroupBoxLayout l = zv::LayOutGroupBox(120, 90, 40, 14, 0);
  EXPECT_EQ(l.caption.left, 7);
  EXPECT_EQ(l.caption.right, 7 + 44);
  EXPECT_EQ(l.frame.top, 7);
  EXPECT_EQ(zv::LayOutGroupBox(120, 90, 40, 14, 2).caption.right, 120 - 7);
  EXPECT_EQ(zv::LayOutGroupBox(120, 90, 40, 14, 6).caption.left, (120 - 44) / 2);

  zv::theme::ForceClassic(true);
  Value g = zv::NewObject(zv::TGroupBoxClass(), form_);
  zv::TGroupBoxRef box(g);
  box.SetBounds(10, 10, 160, 100);
  box.cText("Group");
  box.Create();
  Value child = zvtest::MakeButton(g, "inside", 20, 30, 80, 24);
  HWND h = zv::ObjectHwnd(g);
  EXPECT_FALSE(box.lTabStop());
  Surface s(160, 100);
  s.Fill(RGB(0, 0, 255));
  SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc()), PRF_CLIENT);
  // The etched frame at half a text line, interrupted by the caption.
  int frameRow = -1;
  for (int y = 0; y < 20 && frameRow < 0; ++y)
    if (s.At(100, y) == GetSysColor(COLOR_BTNSHADOW)) frameRow = y;
  ASSERT_GT(frameRow, 2);
  EXPECT_NE(s.At(20, frameRow), GetSysColor(COLOR_BTNSHADOW)) << "the caption sits in the frame";
  EXPECT_EQ(s.At(0, 50), GetSysColor(COLOR_BTNSHADOW)) << "the left side";

  EXPECT_EQ(SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 50)), 0);
  box.Disable();
  EXPECT_FALSE(IsWindowEnabled(zv::ObjectHwnd(child)));
  EXPECT_FALSE(IsWindowEnabled(h));
  box.Enable();
  EXPECT_TRUE(IsWindowEnabled(zv::ObjectHwnd(child)));

  zv::theme::ForceClassic(false);
  Value b = zv::NewObject(zv::TBevelClass(), form_);
  zv::TBevelRef bevel(b);
  bevel.SetBounds(200, 10, 100, 100);
  bevel.Create();
  EXPECT_EQ(zv::Get(b, sym::nBorderStyle).AsInt(), 6);
  EXPECT_NE(zv::ObjectHwnd(b), nullptr);
}

int g_changes = 0;

TEST_F(Standard, AnEditKeepsItsValueAndFiresOnChangeForRealChanges) {
  g_changes = 0;
  Value e = zv::NewObject(zv::TEditClass(), form_);
  zv::TEditRef edit(e);
  edit.SetBounds(10, 10, 120, 22);
  edit.OnChange().Bind(Value::Callable([](zv::Args) -> Value { return ++g_changes, Value(); }));
  edit.Create();
  HWND h = zv::ObjectHwnd(e);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(edit.SetValue("abc  ").AsString(), "abc");
  EXPECT_EQ(g_changes, 0) << "a trimmed value fires no OnChange";
  char buf[32] = {};
  GetWindowTextA(h, buf, sizeof buf);
  EXPECT_STREQ(buf, "abc");
  edit.SetValue("abc  ", true);
  EXPECT_EQ(g_changes, 1);
  EXPECT_EQ(edit.GetValue().AsString(), "abc  ");
  edit.SetValue(42);
  EXPECT_EQ(edit.cText(), "42");
  edit.SetValue(Value());
  EXPECT_EQ(edit.cText(), "");
  // Typing is a change.
  SetFocus(h);
  SendMessageA(h, WM_CHAR, 'x', 0);
  EXPECT_EQ(g_changes, 2) << "values set by program (trimmed) fire nothing, typing does";
  EXPECT_EQ(edit.GetValue().AsString(), "x");
}

TEST_F(Standard, EditStylesColoursAndTheSharedOverwriteMode) {
  Value e = zv::NewObject(zv::TEditClass(), form_);
  zv::TEditRef edit(e);
  edit.SetBounds(10, 10, 120, 22);
  edit.Create();
  HWND h = zv::ObjectHwnd(e);
  EXPECT_EQ(edit.SetAlignment(6).AsInt(), 6);
  EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_CENTER);
  EXPECT_EQ(edit.SetAlignment(5).AsInt(), 6) << "an invalid alignment is ignored";
  edit.lNumeric(true);
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & ES_NUMBER);
  edit.nCharCase(1);
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & ES_UPPERCASE);
  edit.lPassword(true);
  EXPECT_EQ(SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0), '*');
  edit.lPassword(false);
  EXPECT_EQ(SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0), 0);
  edit.nMaxLength(3);
  SetWindowTextA(h, "abcdef");
  SendMessageA(h, EM_SETSEL, 0, -1);
  for (char c : std::string("1234")) SendMessageA(h, WM_CHAR, c, 0);  // digits: the edit is numeric
  EXPECT_EQ(edit.GetValue().AsString(), "123") << "the length limit";
  SendMessageA(h, WM_CHAR, 'a', 0);
  EXPECT_EQ(edit.GetValue().AsString(), "123") << "numeric";
  edit.lNumeric(false);
  edit.lReadOnly(true);
  EXPECT_TRUE(GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY);
  edit.lReadOnly(false);

  // The colour of each state, from GetCtlColor.
  edit.nClrPaneFocus(static_cast<long long>(RGB(255, 255, 0)));
  edit.nClrPaneDisabled(static_cast<long long>(RGB(90, 90, 90)));
  HDC dc = GetDC(h);
  SetFocus(zv::ObjectHwnd(form_));
  edit.GetCtlColor(zv::HandleValue(dc));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
  SetFocus(h);
  edit.GetCtlColor(zv::HandleValue(dc));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
  EnableWindow(h, FALSE);
  HBRUSH disabled = zv::ValueHandle<HBRUSH>(edit.GetCtlColor(zv::HandleValue(dc)));
  EXPECT_EQ(GetBkColor(dc), RGB(90, 90, 90));
  LOGBRUSH lb{};
  GetObjectA(disabled, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(90, 90, 90));
  ReleaseDC(h, dc);
  // A disabled edit paints its text in its disabled colours.
  edit.nClrTextDisabled(static_cast<long long>(RGB(250, 0, 0)));
  edit.SetValue("WWW");
  Surface s(120, 22);
  SendMessageA(h, WM_PAINT, reinterpret_cast<WPARAM>(s.dc()), 0);
  EXPECT_GE(InkOf(s, 120, 22, RGB(250, 0, 0)).right, 0);
  EXPECT_FALSE(IsWindowEnabled(h)) << "disabled again after the paint";
  EnableWindow(h, TRUE);

  // Insert in one edit switches every edit to overwrite.
  Value e2 = zv::NewObject(zv::TEditClass(), form_);
  zv::TEditRef other(e2);
  other.SetBounds(10, 40, 120, 22);
  other.Create();
  other.SetValue("abc");
  ASSERT_TRUE(edit.lInsert());
  SetFocus(h);
  SendMessageA(h, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_FALSE(other.lInsert());
  HWND h2 = zv::ObjectHwnd(e2);
  SetFocus(h2);
  SendMessageA(h2, EM_SETSEL, 0, 0);
  SendMessageA(h2, WM_KEYDOWN, 'Z', 0);
  SendMessageA(h2, WM_CHAR, 'Z', 0);
  EXPECT_EQ(other.GetValue().AsString(), "Zbc") << "overwrite replaces the next character";
  SendMessageA(h2, WM_KEYDOWN, VK_INSERT, 0);
  EXPECT_TRUE(edit.lInsert());
  SendMessageA(h2, WM_KEYDOWN, 'Y', 0);
  SendMessageA(h2, WM_CHAR, 'Y', 0);
  EXPECT_EQ(other.GetValue().AsString(), "ZYbc");
  // Selection wrappers.
  other.SetSel(1, 3);
  EXPECT_EQ(other.GetSelText().AsString(), "Yb");
  EXPECT_EQ(other.nPos().AsInt(), 4);
  EXPECT_TRUE(other.CanCopy().AsBool());
  other.SelectNone();
  EXPECT_FALSE(other.CanCut().AsBool());
}

}  // namespace
