// Fonts, colours, styles and client geometry of controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "framework/core/application.h"
#include "framework/graphics/font.h"
#include "framework/core/members.h"
#include "framework/window/messages.h"
#include "framework/window/wincontrol.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
using Appearance = zvtest::FormTest;

HFONT WindowFont(const Value& control) {
  return reinterpret_cast<HFONT>(SendMessageA(zv::ObjectHwnd(control), WM_GETFONT, 0, 0));
}

TEST_F(Appearance, FontsComeFromTheControlItsParentOrTheApplicationWithTheirCounts) {
  Value button = zvtest::MakeButton(form_, "b", 10, 10);
  zv::TStdControlRef b(button);
  Value appFont = zv::Application().Send(zv::sym::GetFont);
  EXPECT_EQ(b.GetFont().AsObject(), appFont.AsObject());  // nothing of its own, nor the form
  EXPECT_EQ(WindowFont(button), zv::TFontRef(appFont).hfont());

  Value mine = zv::NewObject(zv::TFontClass());
  zv::TFontRef f(mine);
  f.Create("Arial", 14);
  b.SetFont(mine);
  EXPECT_EQ(f.nCount(), 1);
  EXPECT_FALSE(b.lParentFont());
  EXPECT_EQ(b.oFont().AsObject(), mine.AsObject());
  EXPECT_EQ(WindowFont(button), f.hfont());

  // The form takes the same font: it counts two owners.
  zv::TWinControlRef(form_).SetFont(mine);
  EXPECT_EQ(f.nCount(), 2);
  // The button gives its own back: it would inherit the same font anyway.
  b.SetFont(mine);
  EXPECT_EQ(f.nCount(), 1);  // only the form owns it now
  EXPECT_TRUE(b.lParentFont());
  EXPECT_EQ(b.GetFont().AsObject(), mine.AsObject());  // now through the form

  // A value that is not a font becomes one.
  b.SetFont("Courier New");
  Value made = b.oFont();
  ASSERT_TRUE(made.IsObject());
  EXPECT_EQ(zv::TFontRef(made).cName(), "Courier New");
  b.Destroy(true);  // freed: the button's own font goes with it, the shared one stays
  zvtest::Pump();
  EXPECT_EQ(zv::TFontRef(made).Handle(), 0);
  EXPECT_EQ(f.nCount(), 1);
  EXPECT_NE(f.hfont(), nullptr);
}

TEST_F(Appearance, ColoursStylesAndClientGeometry) {
  Value button = zvtest::MakeButton(form_, "b", 10, 10, 80, 24);
  zv::TStdControlRef b(button);
  b.nClrPane(static_cast<int>(RGB(10, 20, 30)));
  HDC dc = GetDC(b.hwnd());
  const HBRUSH brush = zv::ValueHandle<HBRUSH>(b.Send(zv::sym::GetCtlColor, zv::HandleValue(dc)));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(10, 20, 30));
  EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
  b.nClrText(static_cast<int>(RGB(200, 0, 0)));  // a new brush; the old one is gone
  EXPECT_EQ(GetObjectType(brush), 0u);
  b.Send(zv::sym::GetCtlColor, zv::HandleValue(dc));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 0, 0));
  ReleaseDC(b.hwnd(), dc);

  EXPECT_FALSE(b.HasStyle(WS_BORDER).AsBool());
  b.ChangeCtlStyle(WS_BORDER);
  EXPECT_TRUE(b.HasStyle(WS_BORDER).AsBool());
  EXPECT_TRUE(GetWindowLongPtrA(b.hwnd(), GWL_STYLE) & WS_BORDER);
  b.ReplaceStyle(WS_BORDER, WS_DLGFRAME);
  EXPECT_FALSE(GetWindowLongPtrA(b.hwnd(), GWL_STYLE) & WS_BORDER);
  EXPECT_TRUE(b.HasStyle(WS_DLGFRAME).AsBool());
  b.RemoveStyle(WS_DLGFRAME);
  EXPECT_FALSE(b.HasStyle(WS_DLGFRAME).AsBool());
  b.ChangeExStyle(WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongPtrA(b.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  b.SetClientSize(100, 40);
  RECT c{};
  GetClientRect(b.hwnd(), &c);
  EXPECT_EQ(c.right, 100);
  EXPECT_EQ(c.bottom, 40);
  EXPECT_EQ(b.nClientWidth(), 100);
  const Value origin = b.ClientToScreen(0, 0);
  const Value back = b.ScreenToClient(origin);
  EXPECT_EQ(back.Item(1).AsInt(), 0);
  EXPECT_EQ(back.Item(2).AsInt(), 0);
  EXPECT_EQ(zv::ValueHandle<HMONITOR>(b.GetMonitor()), MonitorFromWindow(b.hwnd(), MONITOR_DEFAULTTONEAREST));
}

Value g_menuAt;
Value RecordMenu(zv::Args a) {
  g_menuAt = Value::List({a.Get(1), a.Get(2)});
  return {};
}

TEST_F(Appearance, ContextMenuRequestsArriveInClientCoordinates) {
  Value button = zvtest::MakeButton(form_, "b", 10, 10, 80, 24);
  zv::TStdControlRef b(button);
  POINT p{5, 6};
  ClientToScreen(b.hwnd(), &p);
  EXPECT_NE(SendMessageA(b.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b.hwnd()), MAKELPARAM(p.x, p.y)), 0 + 1);
  EXPECT_TRUE(g_menuAt.IsNil());  // no handler: default processing
  b.OnContextMenu().Bind(Value::Callable(&RecordMenu));
  EXPECT_EQ(SendMessageA(b.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b.hwnd()), MAKELPARAM(p.x, p.y)), 0);
  ASSERT_TRUE(g_menuAt.IsList());
  EXPECT_EQ(g_menuAt.Item(1).AsInt(), 5);
  EXPECT_EQ(g_menuAt.Item(2).AsInt(), 6);
  SendMessageA(b.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(b.hwnd()), MAKELPARAM(-1, -1));  // keyboard
  EXPECT_EQ(g_menuAt.Item(1).AsInt(), 0);
  g_menuAt = Value();
}

}  // namespace

namespace {

// A drop of two files at (7, 8), as the shell hands it over.
HGLOBAL MakeDrop() {
  const char files[] = "C:\\one.txt\0C:\\two.txt\0";
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof files);
  auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
  df->pFiles = sizeof(DROPFILES);
  df->pt = {7, 8};
  std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), files, sizeof files);
  GlobalUnlock(mem);
  return mem;
}

Value g_dropped;
Value RecordDrop(zv::Args a) {
  g_dropped = Value::List({a.Get(1), a.Get(2)});
  return {};
}

// Ends the menu loop of the pop-up menu under test.
void CALLBACK CloseMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

Value g_sysChar;
Value FormSysChar(zv::Object&, const zv::KeyMsg& m) {
  g_sysChar = m.key;
  return 0;
}

TEST_F(Appearance, BordersDroppedFilesSystemKeysHitTestsAndPopupMenus) {
  Value button = zvtest::MakeButton(form_, "b", 10, 10, 80, 24);
  zv::TStdControlRef b(button);
  b.lBorder(true);  // three-dimensional by default: the client edge
  EXPECT_TRUE(GetWindowLongPtrA(b.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  b.l3D(false);
  EXPECT_FALSE(GetWindowLongPtrA(b.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongPtrA(b.hwnd(), GWL_STYLE) & WS_BORDER);
  b.lBorder(false);
  EXPECT_FALSE(GetWindowLongPtrA(b.hwnd(), GWL_STYLE) & WS_BORDER);

  b.lDragAcceptFiles(true);
  EXPECT_TRUE(GetWindowLongPtrA(b.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  b.OnDropFiles().Bind(Value::Callable(&RecordDrop));
  SendMessageA(b.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop()), 0);
  ASSERT_TRUE(g_dropped.IsList());
  EXPECT_EQ(g_dropped.Item(1).Len(), 2u);
  EXPECT_EQ(g_dropped.Item(1).Item(2).AsString(), "C:\\two.txt");
  EXPECT_EQ(g_dropped.Item(2).Item(1).AsInt(), 7);
  EXPECT_EQ(b.aDropFiles().Len(), 2u);
  g_dropped = Value();

  POINT centre{40, 12};
  ClientToScreen(b.hwnd(), &centre);
  EXPECT_EQ(SendMessageA(b.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLIENT);

  SendMessageA(b.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(b.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(zv::Get(button, zv::sym::nOnDrag).AsInt(), 0);  // a press and release without a move: no drag pending

  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "one");
  SetTimer(nullptr, 0, 100, &CloseMenuSoon);
  EXPECT_TRUE(b.ShowPopupMenu(zv::HandleValue(menu), 5, 5).AsBool());
  EXPECT_FALSE(b.ShowPopupMenu(0).AsBool());
  DestroyMenu(menu);
  b.Destroy();

  // System keys reach the form's handler.
  static zv::Class* keyForm = [] {
    zv::QVClass c("TSysKeyForm", {zvtest::TestFormClass()});
    zv::AddHandler(c, zv::sym::WMSysChar, &FormSysChar);
    return c.Create();
  }();
  Value f = zv::NewObject(keyForm);
  zv::TWinControlRef fv(f);
  fv.Create();
  Value inner = zvtest::MakeButton(f, "i", 1, 1);
  SendMessageA(zv::ObjectHwnd(inner), WM_SYSCHAR, 'x', 0);
  EXPECT_EQ(g_sysChar.AsInt(), 'x');
  fv.Destroy(true);
}

}  // namespace
