// The declaration tables of the framework's classes against the finished
// classes (the class check), the typed views, and handlers taking their
// messages unpacked.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/core/appdata.h"
#include "framework/core/application.h"
#include "framework/controls/btnbmp.h"
#include "framework/controls/button.h"
#include "framework/controls/edit.h"
#include "framework/controls/frames.h"
#include "framework/controls/label.h"
#include "framework/controls/memo.h"
#include "framework/core/declare.h"
#include "framework/graphics/brush_pen.h"
#include "framework/graphics/canvas.h"
#include "framework/graphics/font.h"
#include "framework/graphics/icon.h"
#include "framework/graphics/image_control.h"
#include "framework/graphics/image_list.h"
#include "framework/graphics/picture.h"
#include "framework/ole/oleauto.h"
#include "framework/services/cursor.h"
#include "framework/services/screen.h"
#include "framework/services/tooltip.h"
#include "framework/window/message_names.h"
#include "framework/window/messages.h"
#include "framework/window/form.h"
#include "framework/window/msgbar.h"
#include "framework/window/scrolling.h"
#include "framework/window/wincontrol.h"
#include "framework/error/error_form.h"
#include "framework/grid/array_browse.h"
#include "framework/grid/browse.h"
#include "framework/grid/column.h"
#include "framework/grid/header.h"
#include "framework/grid/recsel.h"
#include "support/error_trap.h"
#include "support/test_forms.h"

namespace {

using zv::Args;
using zv::Class;
using zv::Method;
using zv::Object;
using zv::Value;
namespace sym = zv::sym;

// Every class of the framework, implementation and public class.
std::vector<Class*> FrameworkClasses() {
  return {zv::QComponentClass(), zv::TComponentClass(), zv::QWinObjectClass(), zv::TWinObjectClass(),
          zv::QControlClass(),   zv::TControlClass(),   zv::QStdControlClass(), zv::TStdControlClass(),
          zv::QWinControlClass(), zv::TWinControlClass(), zv::QApplicationClass(), zv::TApplicationClass(),
          zv::QToolTipClass(),   zv::TToolTipClass(),   zv::QBalloonClass(),   zv::TBalloonClass(),
          zv::QAppDataClass(),   zv::TAppDataClass(),   zv::TOleAutoClass(),   zv::VTWrapperClass(),
          zv::QFontClass(),      zv::TFontClass(),      zv::QBrushClass(),     zv::TBrushClass(),
          zv::QPenClass(),       zv::TPenClass(),       zv::QScreenClass(),    zv::TScreenClass(),
          zv::QDisplayMonitorClass(), zv::TDisplayMonitorClass(), zv::QCursorClass(), zv::TCursorClass(),
          zv::QScrollingWinControlClass(), zv::TScrollingWinControlClass(),
          zv::QFormClass(), zv::TFormClass(), zv::QMDIClientClass(), zv::TMDIClientClass(),
          zv::QMsgBarClass(), zv::TMsgBarClass(), zv::QMsgItemClass(), zv::TMsgItemClass(),
          zv::QCanvasClass(), zv::TCanvasClass(), zv::QRectClass(), zv::TRectClass(),
          zv::QImageListClass(), zv::TImageListClass(), zv::QPictureClass(), zv::TPictureClass(),
          zv::QIconClass(), zv::TIconClass(), zv::QImageClass(), zv::TImageClass(),
          zv::QButtonClass(), zv::TButtonClass(), zv::QBtnBmpClass(), zv::TBtnBmpClass(),
          zv::QLabelClass(), zv::TLabelClass(), zv::QBevelClass(), zv::TBevelClass(),
          zv::QGroupBoxClass(), zv::TGroupBoxClass(), zv::QEditClass(), zv::TEditClass(),
          zv::QHeaderClass(), zv::THeaderClass(), zv::QHeaderItemClass(), zv::THeaderItemClass(),
          zv::QBrowseClass(), zv::TBrowseClass(), zv::QBrwColumnClass(), zv::TBrwColumnClass(),
          zv::QBrwRecSelClass(), zv::TBrwRecSelClass(), zv::QArrayBrowseClass(), zv::TArrayBrowseClass(),
          zv::QArrayBrwColumnClass(), zv::TArrayBrwColumnClass(), zv::QMemoClass(), zv::TMemoClass(),
          zv::QErrorFormClass(), zv::TErrorFormClass()};
}

// One row of a table checked against its class: what kind it declares and
// what the finished class must then answer.
struct RowCheck {
  Class* cls;
  std::vector<std::string> failures;

  void Fail(const std::string& what, zv::Symbol name) { failures.push_back(cls->Name() + ":" + name.name() + " " + what); }
  const Method* Message(zv::Symbol s) { return cls->FindMethod(s); }

  void Property(zv::Symbol name, zv::SetterSymbol setter, char kind) {
    const Method* get = Message(name);
    const Method* set = Message(setter.symbol());
    if (!get || !set) return Fail("is not a property of the class", name);
    const bool restricted = (get->visibility & (zv::kProtected | zv::kHidden)) != 0;
    if (kind == 'P' && !restricted) Fail("is declared protected but is not", name);
    if (kind != 'P' && restricted) Fail("has a view but is protected", name);
    const bool writable = !(set->visibility & (zv::kReadOnly | zv::kProtected | zv::kHidden));
    if (kind == 'R' && writable) Fail("is read-only in its view but writable", name);
    if (kind == 'W' && !writable) Fail("is writable in its view but read-only", name);
  }
  void Data(zv::Symbol name, std::uint16_t visibility) {
    const zv::DataMember* d = cls->FindData(name);
    if (!d) return Fail("is not a data member", name);
    if ((d->visibility & 0x3F) != visibility) Fail("has another visibility than its row", name);
  }
  void Event(zv::Symbol name) {
    const Method* m = Message(name);
    if (!m || m->fn != &zv::QV_CALLEVENT) Fail("is not an event", name);
  }
  void Method_(zv::Symbol name, bool handler) {
    const Method* m = Message(name);
    if (!m) return Fail("is not a method", name);
    if (handler && !m->packetFn) Fail("does not take its message unpacked", name);
  }
};

#define CHECK_ROW(kind, ...) CHECK_##kind(__VA_ARGS__)
#define CHECK_PROPERTY(type, n, ...) check.Property(sym::n, sym::set::n, 'W');
#define CHECK_PROPERTY_R(type, n, ...) check.Property(sym::n, sym::set::n, 'R');
#define CHECK_PROPERTY_P(type, n, ...) check.Property(sym::n, sym::set::n, 'P');
#define CHECK_DATA(type, n, ...) check.Data(sym::n, zv::kPublic);
#define CHECK_DATA_R(type, n, ...) check.Data(sym::n, zv::kPublic | zv::kReadOnly);
#define CHECK_DATA_P(type, n, ...) check.Data(sym::n, zv::kProtected);
#define CHECK_DATA_H(type, n, ...) check.Data(sym::n, zv::kHidden);
#define CHECK_DATA_PUB(type, n, ...) check.Data(sym::n, zv::kPublished);
#define CHECK_COMPONENT(type, n, ...) check.Data(sym::n, zv::kPublic);
#define CHECK_EVENT(n, ...) check.Event(sym::n);
#define CHECK_EVENT_PUBLIC(n, ...) check.Event(sym::n);
#define CHECK_CONSTRUCTOR(n, ...) check.Method_(sym::n, false);
#define CHECK_METHOD(n, ...) check.Method_(sym::n, false);
#define CHECK_METHOD_PUB(n, ...) check.Method_(sym::n, false);
#define CHECK_METHOD_P(n, ...) check.Method_(sym::n, false);
#define CHECK_METHOD_NV(n, ...) check.Method_(sym::n, false);
#define CHECK_SETTER(n, ...) check.Method_(sym::set::n.symbol(), false);
#define CHECK_ABSTRACT(n) check.Method_(sym::n, false);
#define CHECK_ABSTRACT_P(n) check.Method_(sym::n, false);
#define CHECK_HANDLER(n, ...) check.Method_(sym::n, true);

#define CHECK_TABLE(clsFn, TABLE)      \
  {                                    \
    RowCheck check{clsFn(), {}};       \
    TABLE(CHECK_ROW)                   \
    for (auto& f : check.failures) failures.push_back(f); \
  }

TEST(ClassCheck, EveryTableRowIsWhatItsClassAnswers) {
  std::vector<std::string> failures;
  CHECK_TABLE(zv::QComponentClass, ZV_QCOMPONENT_MEMBERS)
  CHECK_TABLE(zv::QWinObjectClass, ZV_QWINOBJECT_MEMBERS)
  CHECK_TABLE(zv::QControlClass, ZV_QCONTROL_MEMBERS)
  CHECK_TABLE(zv::QStdControlClass, ZV_QSTDCONTROL_MEMBERS)
  CHECK_TABLE(zv::QWinControlClass, ZV_QWINCONTROL_MEMBERS)
  CHECK_TABLE(zv::QApplicationClass, ZV_QAPPLICATION_MEMBERS)
  CHECK_TABLE(zv::QToolTipClass, ZV_QTOOLTIP_MEMBERS)
  CHECK_TABLE(zv::QBalloonClass, ZV_QBALLOON_MEMBERS)
  CHECK_TABLE(zv::QAppDataClass, ZV_QAPPDATA_MEMBERS)
  CHECK_TABLE(zv::TOleAutoClass, ZV_TOLEAUTO_MEMBERS)
  CHECK_TABLE(zv::VTWrapperClass, ZV_VTWRAPPER_MEMBERS)
  CHECK_TABLE(zv::QFontClass, ZV_QFONT_MEMBERS)
  CHECK_TABLE(zv::QBrushClass, ZV_QBRUSH_MEMBERS)
  CHECK_TABLE(zv::QPenClass, ZV_QPEN_MEMBERS)
  CHECK_TABLE(zv::QScreenClass, ZV_QSCREEN_MEMBERS)
  CHECK_TABLE(zv::QDisplayMonitorClass, ZV_QDISPLAYMONITOR_MEMBERS)
  CHECK_TABLE(zv::QCursorClass, ZV_QCURSOR_MEMBERS)
  CHECK_TABLE(zv::QScrollingWinControlClass, ZV_QSCROLLINGWINCONTROL_MEMBERS)
  CHECK_TABLE(zv::QFormClass, ZV_QFORM_MEMBERS)
  CHECK_TABLE(zv::QMDIClientClass, ZV_QMDICLIENT_MEMBERS)
  CHECK_TABLE(zv::QMsgBarClass, ZV_QMSGBAR_MEMBERS)
  CHECK_TABLE(zv::QMsgItemClass, ZV_QMSGITEM_MEMBERS)
  CHECK_TABLE(zv::QCanvasClass, ZV_QCANVAS_MEMBERS)
  CHECK_TABLE(zv::QImageListClass, ZV_QIMAGELIST_MEMBERS)
  CHECK_TABLE(zv::QPictureClass, ZV_QPICTURE_MEMBERS)
  CHECK_TABLE(zv::QIconClass, ZV_QICON_MEMBERS)
  CHECK_TABLE(zv::QImageClass, ZV_QIMAGE_MEMBERS)
  CHECK_TABLE(zv::QButtonClass, ZV_QBUTTON_MEMBERS)
  CHECK_TABLE(zv::QBtnBmpClass, ZV_QBTNBMP_MEMBERS)
  CHECK_TABLE(zv::QLabelClass, ZV_QLABEL_MEMBERS)
  CHECK_TABLE(zv::QBevelClass, ZV_QBEVEL_MEMBERS)
  CHECK_TABLE(zv::QGroupBoxClass, ZV_QGROUPBOX_MEMBERS)
  CHECK_TABLE(zv::QEditClass, ZV_QEDIT_MEMBERS)
  CHECK_TABLE(zv::QHeaderClass, ZV_QHEADER_MEMBERS)
  CHECK_TABLE(zv::QHeaderItemClass, ZV_QHEADERITEM_MEMBERS)
  CHECK_TABLE(zv::QBrowseClass, ZV_QBROWSE_MEMBERS)
  CHECK_TABLE(zv::QBrwColumnClass, ZV_QBRWCOLUMN_MEMBERS)
  CHECK_TABLE(zv::QBrwRecSelClass, ZV_QBRWRECSEL_MEMBERS)
  CHECK_TABLE(zv::QArrayBrowseClass, ZV_QARRAYBROWSE_MEMBERS)
  CHECK_TABLE(zv::QArrayBrwColumnClass, ZV_QARRAYBRWCOLUMN_MEMBERS)
  CHECK_TABLE(zv::QMemoClass, ZV_QMEMO_MEMBERS)
  CHECK_TABLE(zv::QErrorFormClass, ZV_QERRORFORM_MEMBERS)
  CHECK_TABLE(zv::QRectClass, ZV_QRECT_MEMBERS)
  CHECK_TABLE(zvtest::TestFormClass, ZVTEST_TESTFORM_MEMBERS)
  for (const std::string& f : failures) ADD_FAILURE() << f;
}

// Accessors, handlers and events resolve in every framework class: a
// handler method named "WM..." belongs to a window message, each property's
// getter and setter and each event's caller and setter are messages of the
// class.
TEST(ClassCheck, AccessorsHandlersAndEventsResolve) {
  std::set<std::uint32_t> handlers;
  for (UINT msg = 0; msg <= WM_USER + 1; ++msg)
    if (zv::Symbol h = zv::HandlerSymbol(msg); h.valid()) handlers.insert(h.id());
  for (Class* c : FrameworkClasses()) {
    for (const Method* m : c->Methods()) {
      const std::string& name = m->name.name();
      if (name.size() > 2 && name.compare(0, 2, "WM") == 0 && !handlers.count(m->name.id()))
        ADD_FAILURE() << c->Name() << ":" << name << " is no window message's handler";
    }
    const Value props = c->ClassValue(sym::aProperties);
    for (const Value& p : props.AsList().items) {
      const std::string name = p.Item(zv::kPropName).AsString();
      if (name.empty() || name[0] == '*') continue;
      EXPECT_TRUE(c->HasMessage(zv::Symbol(name))) << c->Name() << ":" << name;
      EXPECT_TRUE(c->HasMessage(zv::Symbol("_" + name))) << c->Name() << ":_" << name;
      EXPECT_NE(c->FindData(zv::Symbol("F" + name)), nullptr) << c->Name() << ": storage of " << name;
    }
    const Value events = c->ClassValue(sym::aEvents);
    for (const Value& e : events.AsList().items) {
      const std::string name = e.Item(1).AsString();
      const Method* fire = c->FindMethod(zv::Symbol(name));
      const Method* bind = c->FindMethod(zv::Symbol("_" + name));
      EXPECT_TRUE(fire && fire->fn == &zv::QV_CALLEVENT && bind && bind->fn == &zv::QV_SETEVENT)
          << c->Name() << ":" << name;
    }
  }
}

// Every name the framework declares is defined by one of its classes, and
// the names it only sends to others (user classes, classes still to come)
// are not.
TEST(ClassCheck, EveryDeclaredNameIsDefinedBySomeClass) {
  const std::vector<Class*> classes = FrameworkClasses();
  auto defined = [&](const char* name) {
    const zv::Symbol s(name);
    for (Class* c : classes)
      if (c->HasMessage(s)) return true;
    return false;
  };
  const char* declared[] = ZV_SYMBOL_TEXTS(ZV_FRAMEWORK_NAMES);
  for (const char* name : declared) EXPECT_TRUE(defined(name)) << name << " is declared but no class defines it";
  const char* others[] = ZV_SYMBOL_TEXTS(ZV_SENT_ONLY_NAMES);
  for (const char* name : others)
    EXPECT_FALSE(defined(name)) << name << " is defined by a framework class: move it to ZV_FRAMEWORK_NAMES";
}

// ---------------------------------------------------------------- views

using zvtest::FormTest;
using DeclarationViews = FormTest;

Value OwnerClick(Object& self, Args a) {
  self.Send(zv::sym::set::Cargo, a.Get(0));  // the sender
  return 7;
}

Class* OwnerClass() {
  static Class* c = [] {
    zv::QVClass b("TViewOwner", {zv::TComponentClass()});
    b.Method("ButtonClicked", &OwnerClick);
    return b.Create();
  }();
  return c;
}

TEST_F(DeclarationViews, PropertiesMethodsAndEventsThroughTheView) {
  Value button = zvtest::MakeButton(form_, "&Go", 10, 10);
  zv::TStdControlRef b(button);
  ASSERT_TRUE(b);
  EXPECT_TRUE(b.IsA(zv::TControlClass()));
  EXPECT_EQ(b.cText(), "&Go");
  b.cText("Other");
  char text[32] = {};
  GetWindowTextA(b.hwnd(), text, sizeof text);
  EXPECT_STREQ(text, "Other");
  b.nLeft(25);  // through the setter SetLeft: the window moves
  RECT r{};
  GetWindowRect(b.hwnd(), &r);
  POINT p{r.left, r.top};
  ScreenToClient(zv::ObjectHwnd(form_), &p);
  EXPECT_EQ(p.x, 25);
  EXPECT_EQ(b.nLeft(), 25);
  EXPECT_TRUE(b.lTabStop());
  b.Hide();
  EXPECT_FALSE(b.lVisible());
  EXPECT_FALSE(IsWindowVisible(b.hwnd()));

  // Events: an explicit owner and its method, a C++ function of the owner
  // class found as its method, a callable; Assigned and Clear.
  Value owner = zv::NewObject(OwnerClass());
  EXPECT_FALSE(b.OnClick().Assigned());
  EXPECT_TRUE(b.OnClick().Bind(owner, sym::Cargo));  // any message the owner answers
  EXPECT_FALSE(b.OnClick().Bind(owner, zv::Symbol("NoSuchMethod")));
  EXPECT_TRUE(b.OnClick().Bind(owner, &OwnerClick));
  EXPECT_TRUE(b.OnClick().Assigned());
  EXPECT_EQ(b.Click().AsInt(), 7);
  EXPECT_EQ(zv::TComponentRef(owner).Cargo().AsObject(), button.AsObject());
  int calls = 0;
  struct Counter {
    int* n;
    Value Hit(Args a) { return ++*n + static_cast<int>(a.size()) * 100; }
  } counter{&calls};
  EXPECT_TRUE(b.OnClick().Bind(&counter, &Counter::Hit));
  EXPECT_EQ(b.OnClick()().AsInt(), 101);  // fired directly: the sender is the one argument
  b.OnClick().Clear();
  EXPECT_FALSE(b.OnClick().Assigned());
  EXPECT_TRUE(b.Click().IsNil());
  EXPECT_EQ(calls, 1);
  b.Destroy();
}

TEST(DeclarationViewsNoObject, AnEmptyViewRaisesTheRuntimesError) {
  zvtest::ErrorTrap trap;
  zv::TControlRef none;
  EXPECT_FALSE(none);
  EXPECT_EQ(none.nLeft(), 0);
  EXPECT_EQ(trap.errors.size(), 1u);
}

// ---------------------------------------------------------------- handlers

struct MouseSeen {
  int keys = -1, x = 0, y = 0;
};
MouseSeen g_seen;

Value RecordDblClick(Args a) {
  g_seen.keys = static_cast<int>(a.Get(1).AsInt());
  g_seen.x = static_cast<int>(a.Get(2).AsInt());
  g_seen.y = static_cast<int>(a.Get(3).AsInt());
  return {};
}

// A user class overriding a typed handler by name, with argument values,
// and passing the message on with Super.
Value UserDblClk(Object& self, Args a) {
  self.Send(zv::sym::set::Cargo, a.Get(1));  // lParam as the window sent it
  return zv::Super(self, zv::sym::WMLButtonDblClk, a);
}

TEST_F(DeclarationViews, MouseHandlersGetSignedPositionsAndUserOverridesStillWork) {
  Value button = zvtest::MakeButton(form_, "b", 10, 10);
  zv::TStdControlRef b(button);
  b.OnDblClick().Bind(Value::Callable(&RecordDblClick));
  // Captured mouse left of and above the window: negative coordinates.
  SendMessageA(b.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(-5, -7));
  EXPECT_EQ(g_seen.keys, MK_LBUTTON);
  EXPECT_EQ(g_seen.x, -5);
  EXPECT_EQ(g_seen.y, -7);
  // The same handler sent by name with the four values.
  g_seen = {};
  button.Send("WMLButtonDblClk", 0, static_cast<long long>(MAKELPARAM(3, 4)), zv::HandleValue(b.hwnd()),
              WM_LBUTTONDBLCLK);
  EXPECT_EQ(g_seen.x, 3);
  EXPECT_EQ(g_seen.y, 4);
  b.Destroy();

  static Class* user = [] {
    zv::QVClass c("TUserDblClk", {zvtest::TestButtonClass()});
    c.Method("WMLButtonDblClk", &UserDblClk);
    return c.Create();
  }();
  Value u = zv::NewObject(user, form_);
  zv::TStdControlRef uv(u);
  uv.Create();
  uv.OnDblClick().Bind(Value::Callable(&RecordDblClick));
  g_seen = {};
  SendMessageA(uv.hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(-2, 9));
  EXPECT_EQ(uv.Cargo().AsInt(), static_cast<long long>(MAKELPARAM(-2, 9)));
  EXPECT_EQ(g_seen.x, -2);
  EXPECT_EQ(g_seen.y, 9);
  uv.Destroy();
}

TEST(MessageStructures, UnpackEveryFieldOnce) {
  const zv::WinMsg key{nullptr, WM_KEYDOWN, VK_F5, static_cast<LPARAM>(0x01000003)};
  const zv::KeyMsg k = zv::KeyMsg::From(key);
  EXPECT_EQ(k.key, VK_F5);
  EXPECT_EQ(k.repeat, 3);
  EXPECT_TRUE(k.extended);
  const zv::CommandMsg c = zv::CommandMsg::From({nullptr, WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), 0});
  EXPECT_EQ(c.id, 42);
  EXPECT_EQ(c.code, BN_CLICKED);
  EXPECT_EQ(c.control, nullptr);
  const zv::SetCursorMsg s = zv::SetCursorMsg::From({nullptr, WM_SETCURSOR, 0, MAKELPARAM(HTERROR, WM_LBUTTONDOWN)});
  EXPECT_EQ(s.hitTest, HTERROR);  // negative: the signed word
  EXPECT_EQ(s.mouseMessage, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_NE(zv::NotifyMsg::From({nullptr, WM_NOTIFY, 0, 0}).header, nullptr);
  EXPECT_NE(zv::WindowPosMsg::From({nullptr, WM_WINDOWPOSCHANGED, 0, 0}).pos, nullptr);
}

}  // namespace
