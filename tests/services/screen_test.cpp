// The screen object, its display monitors and the cursors it shares.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/catalog.h"
#include "framework/core/globals.h"
#include "framework/services/cursor.h"
#include "framework/services/screen.h"
#include "support/error_trap.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
namespace sym = zv::sym;

// Every DestroyCursor call the program makes, by handle: the program's
// import of DestroyCursor is pointed at a counter that calls the system's.
// The tests' own probes call the system's function directly.
std::map<HCURSOR, int> g_destroyCalls;
std::size_t g_destroyTotal = 0;
BOOL(WINAPI* g_systemDestroyCursor)(HCURSOR) = nullptr;

BOOL WINAPI CountingDestroyCursor(HCURSOR h) {
  ++g_destroyCalls[h];
  ++g_destroyTotal;
  return g_systemDestroyCursor(h);
}

bool CountDestroyCursorCalls() {
  if (g_systemDestroyCursor) return true;
  const auto target = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA("user32.dll"), "DestroyCursor"));
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!target || !dir.VirtualAddress) return false;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); slot->u1.Function; ++slot) {
      if (slot->u1.Function != target) continue;
      DWORD was = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &was)) return false;
      g_systemDestroyCursor = reinterpret_cast<BOOL(WINAPI*)(HCURSOR)>(target);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(&CountingDestroyCursor);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, was, &was);
      return true;
    }
  }
  return false;
}

int DestroyCalls(HCURSOR h) {
  auto it = g_destroyCalls.find(h);
  return it == g_destroyCalls.end() ? 0 : it->second;
}

// A handle that is no longer a cursor: destroying it again fails.
bool AlreadyDestroyed(HCURSOR h) { return !g_systemDestroyCursor(h); }

// The framework started as a program starts it, with DestroyCursor counted.
// The classes are declared first, so that the application finds the screen
// class by its name.
class ScreenStartUp : public ::testing::Environment {
 public:
  void SetUp() override {
    zv::TCursorClass();
    zv::TDisplayMonitorClass();
    zv::TScreenClass();
    ASSERT_TRUE(CountDestroyCursorCalls());
    zv::FrameworkStartUp();
  }
};
const auto* const g_env = ::testing::AddGlobalTestEnvironment(new ScreenStartUp);

template <typename H>
H AsHandle(long long v) {
  return reinterpret_cast<H>(static_cast<std::intptr_t>(v));
}

// What GetIconInfo tells of a cursor; valid is false for a handle that is
// not (or no longer) a cursor.
struct CursorFacts {
  bool valid = false;
  bool icon = true;
  DWORD hotX = 0, hotY = 0;
  LONG width = 0;
};
CursorFacts Facts(HCURSOR h) {
  CursorFacts f;
  ICONINFO ii{};
  if (!h || !GetIconInfo(h, &ii)) return f;
  f.valid = true;
  f.icon = ii.fIcon != FALSE;
  f.hotX = ii.xHotspot;
  f.hotY = ii.yHotspot;
  BITMAP bm{};
  if (ii.hbmMask && GetObjectA(ii.hbmMask, sizeof bm, &bm)) f.width = bm.bmWidth;
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  return f;
}

// A 32x32 monochrome cursor file with the given hot spot (a black square
// with a white centre).
std::string WriteCursorFile(const std::string& name, std::uint16_t hotX, std::uint16_t hotY) {
  char dir[MAX_PATH] = {};
  GetTempPathA(sizeof dir, dir);
  const std::string path = std::string(dir) + "zv_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  std::vector<std::uint8_t> out;
  auto u8 = [&](unsigned v) { out.push_back(static_cast<std::uint8_t>(v)); };
  auto u16 = [&](unsigned v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); };
  auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const std::uint32_t imageSize = 40 + 8 + 128 + 128;
  u16(0), u16(2), u16(1);                               // a cursor file with one image
  u8(32), u8(32), u8(2), u8(0), u16(hotX), u16(hotY);   // 32x32, two colours, hot spot
  u32(imageSize), u32(22);
  u32(40), u32(32), u32(64), u16(1), u16(1), u32(0), u32(256), u32(0), u32(0), u32(2), u32(0);
  u32(0x00000000), u32(0x00FFFFFF);                     // black, white
  for (int y = 0; y < 32; ++y) u32(y >= 8 && y < 24 ? 0x0000FF00u : 0);  // XOR: the white centre
  for (int y = 0; y < 32; ++y) u32(y < 28 ? 0x0F000000u : 0xFFFFFFFFu);  // AND: 28x28 square shown
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                              static_cast<std::streamsize>(out.size()));
  return path;
}

HCURSOR CursorOf(const Value& cursor) { return zv::ObjectHandle<HCURSOR>(cursor); }

// A screen object of its own, not the global one (its Initialize would
// answer the global object and do nothing).
Value LocalScreen() { return zv::Object::New(zv::TScreenClass()); }

// Runs body with the global Screen emptied, and puts the global one back.
template <typename F>
void WithoutGlobalScreen(F&& body) {
  Value saved = zv::Screen();
  zv::Screen() = Value();
  body();
  zv::Screen() = saved;
}

BOOL CALLBACK AddHandle(HMONITOR m, HDC, LPRECT, LPARAM p) {
  reinterpret_cast<std::vector<HMONITOR>*>(p)->push_back(m);
  return TRUE;
}

std::vector<HMONITOR> SystemMonitors() {
  std::vector<HMONITOR> out;
  EnumDisplayMonitors(nullptr, nullptr, &AddHandle, reinterpret_cast<LPARAM>(&out));
  return out;
}

// ---------------------------------------------------------------- the screen

TEST(Screen, TheStartUpMakesTheOneScreenObject) {
  ASSERT_TRUE(zv::Screen().IsObject());
  EXPECT_TRUE(zv::Screen().AsObject()->GetClass()->IsDerivedFrom(zv::TScreenClass()));
  EXPECT_TRUE(zv::NewFrameworkObject("TScreen").IsObject());
  zv::TScreenRef screen(zv::Screen());
  const long long monitors = screen.nMonitors();
  const Value arrow = screen.oCursorArrow();
  // Initialised again, the global object keeps what it has.
  EXPECT_EQ(screen.Initialize().AsObject(), zv::Screen().AsObject());
  EXPECT_EQ(screen.nMonitors(), monitors);
  EXPECT_EQ(screen.oCursorArrow().AsObject(), arrow.AsObject());
  // A second screen object answers the global one and takes no values.
  Value other = LocalScreen();
  EXPECT_EQ(other.Send(sym::Initialize).AsObject(), zv::Screen().AsObject());
  zv::TScreenRef o(other);
  EXPECT_EQ(o.nWidth(), 0);
  EXPECT_EQ(o.nMonitors(), 0);
  EXPECT_TRUE(o.oCursorArrow().IsNil());
}

TEST(Screen, MetricsAreThoseOfTheSystem) {
  zv::TScreenRef s(zv::Screen());
  EXPECT_EQ(s.nWidth(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(s.nHeight(), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(s.nCaptionHeight(), GetSystemMetrics(SM_CYSMCAPTION));
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(s.nClientLeft(), work.left);
  EXPECT_EQ(s.nClientTop(), work.top);
  EXPECT_EQ(s.nClientWidth(), work.right - work.left);
  EXPECT_EQ(s.nClientHeight(), work.bottom - work.top);
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_TRUE(dc);
  EXPECT_EQ(s.nPixelsPerInch(), GetDeviceCaps(dc, LOGPIXELSX));
  EXPECT_EQ(s.nBitsPerPixel(), GetDeviceCaps(dc, BITSPIXEL));
  EXPECT_EQ(s.nColorPlanes(), GetDeviceCaps(dc, PLANES));
  EXPECT_GT(s.nBitsPerPixel(), 0);
  EXPECT_EQ(AsHandle<HWND>(s.Handle()), GetDesktopWindow());
  EXPECT_EQ(s.hDC(), 0);
  // The display in a printer's shapes.
  auto pair = [](const Value& v) { return std::make_pair(v.Item(1).AsInt(), v.Item(2).AsInt()); };
  using P = std::pair<std::int64_t, std::int64_t>;
  EXPECT_EQ(pair(s.Resolution()), P(GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)));
  EXPECT_EQ(pair(s.PaperRes()), P(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)));
  const P tenths(GetDeviceCaps(dc, HORZSIZE) * 10, GetDeviceCaps(dc, VERTSIZE) * 10);
  EXPECT_EQ(pair(s.PaperSize()), tenths);
  EXPECT_EQ(pair(s.PaperPhysicalSize()), tenths);
  EXPECT_EQ(pair(s.PhysicalOffset()), P(0, 0));
  EXPECT_GT(tenths.first, 0);
  DeleteDC(dc);
}

TEST(Screen, MonitorsAreThoseTheSystemEnumerates) {
  zv::TScreenRef s(zv::Screen());
  const std::vector<HMONITOR> system = SystemMonitors();
  ASSERT_FALSE(system.empty());
  const Value list = s.aMonitors();
  ASSERT_TRUE(list.IsList());
  ASSERT_EQ(list.Len(), system.size());
  EXPECT_EQ(s.nMonitors(), static_cast<long long>(system.size()));
  int primaries = 0;
  for (std::size_t i = 0; i < system.size(); ++i) {
    SCOPED_TRACE(i);
    const Value item = list.Item(i + 1);
    zv::TDisplayMonitorRef m(item);
    ASSERT_TRUE(m.IsA(zv::TDisplayMonitorClass()));
    EXPECT_EQ(m.oParent().AsObject(), zv::Screen().AsObject());
    EXPECT_EQ(m.hmonitor(), system[i]);
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetMonitorInfoA(system[i], &info));
    EXPECT_EQ(m.cName(), std::string(info.szDevice));
    EXPECT_FALSE(m.cName().empty());
    EXPECT_EQ(m.lPrimary(), (info.dwFlags & MONITORINFOF_PRIMARY) != 0);
    primaries += m.lPrimary();
    EXPECT_EQ(m.nLeft(), info.rcMonitor.left);
    EXPECT_EQ(m.nTop(), info.rcMonitor.top);
    EXPECT_EQ(m.nWidth(), info.rcMonitor.right - info.rcMonitor.left);
    EXPECT_EQ(m.nHeight(), info.rcMonitor.bottom - info.rcMonitor.top);
    EXPECT_EQ(m.nClientLeft(), info.rcWork.left);
    EXPECT_EQ(m.nClientTop(), info.rcWork.top);
    EXPECT_EQ(m.nClientWidth(), info.rcWork.right - info.rcWork.left);
    EXPECT_EQ(m.nClientHeight(), info.rcWork.bottom - info.rcWork.top);
  }
  EXPECT_EQ(primaries, 1);
}

TEST(Screen, GetValuesAgainAppendsTheMonitorsTheCountFollowsTheListTheRestIsReadOnly) {
  Value local = LocalScreen();
  zv::TScreenRef s(local);
  const std::size_t n = SystemMonitors().size();
  s.GetValues();
  EXPECT_EQ(s.nWidth(), GetSystemMetrics(SM_CXSCREEN));
  ASSERT_EQ(s.nMonitors(), static_cast<long long>(n));
  s.GetValues();
  EXPECT_EQ(s.nMonitors(), static_cast<long long>(2 * n));
  EXPECT_EQ(s.aMonitors().Len(), 2 * n);
  const Value list = s.aMonitors();
  EXPECT_EQ(zv::ObjectHandle<HMONITOR>(list.Item(n + 1)), zv::ObjectHandle<HMONITOR>(list.Item(1)));
  // The list may be replaced from outside; the count is its length.
  s.aMonitors(Value::List({}));
  EXPECT_EQ(s.nMonitors(), 0);
  s.AddMonitor(zv::HandleValue(SystemMonitors().front()));
  EXPECT_EQ(s.nMonitors(), 1);
  // Everything else is read-only from outside.
  zvtest::ErrorTrap trap;
  local.Send(sym::set::nWidth, 5);
  local.Send(sym::set::nMonitors, 9);
  local.Send(sym::set::hDC, 1);
  local.Send(sym::set::oCursorArrow, Value());
  EXPECT_EQ(trap.errors.size(), 4u);
  EXPECT_EQ(s.nWidth(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(s.nMonitors(), 1);
  EXPECT_EQ(s.hDC(), 0);
}

TEST(Screen, AMonitorTheSystemDoesNotKnowHasZerosAndNoName) {
  // The same object, first initialised from a real monitor: its values go.
  Value mon = zv::NewObject(zv::TDisplayMonitorClass());
  zv::TDisplayMonitorRef m(mon);
  for (HMONITOR bogus : {static_cast<HMONITOR>(nullptr), AsHandle<HMONITOR>(0x7FFF1234)}) {
    m.Initialize(zv::HandleValue(SystemMonitors().front()));
    ASSERT_GT(m.nWidth(), 0);
    m.Initialize(zv::HandleValue(bogus));
    EXPECT_EQ(m.hmonitor(), bogus);
    EXPECT_EQ(m.cName(), "");
    EXPECT_FALSE(m.lPrimary());
    EXPECT_EQ(m.nLeft(), 0);
    EXPECT_EQ(m.nWidth(), 0);
    EXPECT_EQ(m.nHeight(), 0);
    EXPECT_EQ(m.nClientWidth(), 0);
    EXPECT_EQ(m.nClientHeight(), 0);
  }
}

TEST(Screen, CreateDCTwiceAndDeleteDCTwiceLeaveNoContext) {
  Value local = LocalScreen();
  zv::TScreenRef s(local);
  s.DeleteDC();  // none yet: nothing happens
  EXPECT_EQ(s.hDC(), 0);
  for (int i = 0; i < 200; ++i) {
    HDC first = AsHandle<HDC>(s.CreateDC().AsInt());
    ASSERT_EQ(AsHandle<HDC>(s.hDC()), first);
    ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(GetDeviceCaps(first, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    HDC second = AsHandle<HDC>(s.CreateDC().AsInt());
    ASSERT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_DC));
    if (second != first) {
      ASSERT_EQ(GetObjectType(first), 0u) << "the first context was kept";
    }
    s.DeleteDC();
    ASSERT_EQ(GetObjectType(second), 0u);
    ASSERT_EQ(s.hDC(), 0);
    s.DeleteDC();
  }
}

// ---------------------------------------------------------------- the shared cursors

TEST(ScreenCursors, TheDragCursorsAreTheResourceAndTheSystemsShared) {
  zv::TScreenRef s(zv::Screen());
  EXPECT_EQ(CursorOf(s.oCursorArrow()), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(CursorOf(s.oCursorDropNo()), LoadCursorA(nullptr, IDC_NO));
  HCURSOR yes = CursorOf(s.oCursorDropYes());
  const CursorFacts f = Facts(yes);
  ASSERT_TRUE(f.valid);
  EXPECT_FALSE(f.icon);
  EXPECT_EQ(f.width, 32);
  EXPECT_EQ(f.hotX, 0u);
  EXPECT_EQ(f.hotY, 0u);
  EXPECT_NE(yes, CursorOf(s.oCursorArrow()));
  const Value drop = s.oCursorDropYes();
  EXPECT_EQ(zv::TCursorRef(drop).cName().AsString(), "QV_CUR_DRAG");
  EXPECT_TRUE(FindResourceA(GetModuleHandleA(nullptr), "QV_CUR_DRAG", MAKEINTRESOURCEA(12)));  // RT_GROUP_CURSOR
}

TEST(ScreenCursors, EndDestroysTheCursorsTheScreenOwnsOnly) {
  WithoutGlobalScreen([] {
    Value screen = LocalScreen();
    zv::TScreenRef s(screen);
    ASSERT_EQ(s.Initialize().AsObject(), screen.AsObject());
    EXPECT_EQ(zv::Screen().AsObject(), screen.AsObject());
    EXPECT_GT(s.nMonitors(), 0);
    const Value arrow = s.oCursorArrow(), yes = s.oCursorDropYes(), no = s.oCursorDropNo();
    HCURSOR yesHandle = CursorOf(yes), arrowHandle = CursorOf(arrow), noHandle = CursorOf(no);
    ASSERT_TRUE(Facts(yesHandle).valid);
    const int arrowCalls = DestroyCalls(arrowHandle), noCalls = DestroyCalls(noHandle);
    s.CreateDC();
    HDC dc = AsHandle<HDC>(s.hDC());
    const std::size_t calls = g_destroyTotal;
    s.End();
    EXPECT_TRUE(s.oCursorArrow().IsNil());
    EXPECT_TRUE(s.oCursorDropYes().IsNil());
    EXPECT_TRUE(s.oCursorDropNo().IsNil());
    for (const Value& c : {arrow, yes, no}) EXPECT_EQ(CursorOf(c), nullptr);
    EXPECT_FALSE(Facts(yesHandle).valid);
    // Only the screen's own copy of the resource was destroyed: the system's
    // shared cursors were not, and live on.
    EXPECT_EQ(g_destroyTotal - calls, 1u);
    EXPECT_EQ(DestroyCalls(arrowHandle), arrowCalls);
    EXPECT_EQ(DestroyCalls(noHandle), noCalls);
    EXPECT_TRUE(Facts(LoadCursorA(nullptr, IDC_ARROW)).valid);
    EXPECT_TRUE(Facts(LoadCursorA(nullptr, IDC_NO)).valid);
    EXPECT_EQ(GetObjectType(dc), 0u);
    s.End();  // twice: nothing left to end
    EXPECT_EQ(g_destroyTotal - calls, 1u);
  });
}

// Each cycle takes the monitors anew: screen and monitors point at each
// other, so only the collector frees them.
TEST(ScreenCursors, ManyScreensInitialisedAndEndedLeaveNoCursorNorObject) {
  zv::Collect();
  const std::size_t live = zv::GcObject::LiveCount();
  const std::size_t calls = g_destroyTotal;
  WithoutGlobalScreen([] {
    for (int i = 0; i < 1000; ++i) {
      Value screen = LocalScreen();
      zv::TScreenRef s(screen);
      s.Initialize();
      HCURSOR yes = CursorOf(s.oCursorDropYes());
      ASSERT_TRUE(Facts(yes).valid) << i;
      s.End();
      ASSERT_TRUE(AlreadyDestroyed(yes)) << i;
      zv::Screen() = Value();
    }
  });
  zv::Collect();
  EXPECT_EQ(zv::GcObject::LiveCount(), live);
  EXPECT_EQ(g_destroyTotal - calls, 1000u);  // one cursor of each screen, once
}

// A control without a cursor of its own shows the screen's arrow; given a
// cursor, it shows that one in its client area.
using ControlCursor = zvtest::FormTest;

TEST_F(ControlCursor, AFormShowsTheScreensArrowOrItsOwnCursor) {
  const Value arrow = zv::Screen().Send(sym::oCursorArrow);
  EXPECT_EQ(form_.Send(sym::oCursor).AsObject(), arrow.AsObject());
  HWND h = zv::ObjectHwnd(form_);
  ASSERT_TRUE(h);
  auto over = [&] { return SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)); };
  EXPECT_EQ(over(), 1);
  EXPECT_EQ(GetCursor(), CursorOf(arrow));
  Value drag = zv::NewObject(zv::TCursorClass(), "QV_CUR_DRAG");
  form_.Send(sym::set::oCursor, drag);
  EXPECT_EQ(over(), 1);
  EXPECT_EQ(GetCursor(), CursorOf(drag));
  form_.Send(sym::set::oCursor, arrow);
  over();
  drag.Send(sym::End);
}

// ---------------------------------------------------------------- TCursor

TEST(Cursor, ANumberIsTheSystemsSharedCursor) {
  Value c = zv::NewObject(zv::TCursorClass(), 32512);
  zv::TCursorRef cur(c);
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_EQ(cur.hcursor(), arrow);
  EXPECT_EQ(cur.cName().AsInt(), 32512);
  cur.Destroy();
  EXPECT_EQ(cur.Handle(), 0);
  EXPECT_EQ(cur.cName().AsString(), "");
  EXPECT_EQ(DestroyCalls(arrow), 0);  // a shared cursor is never destroyed
  EXPECT_TRUE(Facts(arrow).valid);
  // Numbers no system cursor has.
  for (int id : {0, -1, 70000, 1}) {
    EXPECT_TRUE(zv::NewObject(zv::TCursorClass(), id).Send(sym::Handle).AsInt() == 0) << id;
  }
}

TEST(Cursor, AResourceNameGivesEachObjectItsOwnCopy) {
  Value a = zv::NewObject(zv::TCursorClass(), "QV_CUR_DRAG");
  Value b = zv::Object::New(zv::TCursorClass()).Send(sym::Create, "qv_cur_drag");
  HCURSOR ha = CursorOf(a), hb = CursorOf(b);
  ASSERT_TRUE(Facts(ha).valid);
  ASSERT_TRUE(Facts(hb).valid);
  EXPECT_NE(ha, hb);
  a.Send(sym::End);
  EXPECT_FALSE(Facts(ha).valid);
  EXPECT_TRUE(Facts(hb).valid);
  b.Send(sym::End);
  EXPECT_FALSE(Facts(hb).valid);
  a = Value();
  b = Value();
  EXPECT_EQ(DestroyCalls(ha), 1);
  EXPECT_EQ(DestroyCalls(hb), 1);
  // A name the program does not have is looked up among the system's.
  Value none = zv::NewObject(zv::TCursorClass(), "QV_NO_SUCH_CURSOR");
  EXPECT_EQ(CursorOf(none), nullptr);
  EXPECT_EQ(zv::TCursorRef(none).cName().AsString(), "QV_NO_SUCH_CURSOR");
}

TEST(Cursor, AFileNameLoadsTheFileAndAMissingFileLoadsNothing) {
  const std::string file = WriteCursorFile("file.cur", 5, 7);
  Value c = zv::NewObject(zv::TCursorClass(), file);
  zv::TCursorRef cur(c);
  const CursorFacts f = Facts(cur.hcursor());
  ASSERT_TRUE(f.valid);
  EXPECT_FALSE(f.icon);
  EXPECT_EQ(f.hotX, 5u);
  EXPECT_EQ(f.hotY, 7u);
  EXPECT_EQ(cur.cName().AsString(), file);
  {
    zvtest::ErrorTrap trap;
    HCURSOR before = cur.hcursor();
    cur.Load(file + ".missing.cur");
    EXPECT_EQ(cur.Handle(), 0);
    EXPECT_FALSE(Facts(before).valid);  // the cursor it had went
    EXPECT_TRUE(trap.errors.empty());
    EXPECT_EQ(zv::NewObject(zv::TCursorClass(), "C:\\no\\such\\dir\\x.cur").Send(sym::Handle).AsInt(), 0);
  }
  // Assigning the name loads the cursor of the name.
  cur.cName(Value(file));
  HCURSOR loaded = cur.hcursor();
  EXPECT_TRUE(Facts(loaded).valid);
  cur.cName(Value(32648));
  EXPECT_FALSE(Facts(loaded).valid);
  EXPECT_EQ(cur.hcursor(), LoadCursorA(nullptr, IDC_NO));
  cur.End();
  DeleteFileA(file.c_str());
}

TEST(Cursor, ACloneHasTheNameAndAHandleOfItsOwn) {
  const std::string file = WriteCursorFile("clone.cur", 3, 4);
  Value c = zv::NewObject(zv::TCursorClass(), file);
  Value copy = c.Send(sym::Clone);
  ASSERT_TRUE(copy.IsObject());
  EXPECT_NE(copy.AsObject(), c.AsObject());
  EXPECT_EQ(zv::TCursorRef(copy).cName().AsString(), file);
  HCURSOR original = CursorOf(c), cloned = CursorOf(copy);
  ASSERT_TRUE(Facts(cloned).valid);
  EXPECT_NE(cloned, original);
  EXPECT_EQ(Facts(cloned).hotX, 3u);
  c.Send(sym::End);
  EXPECT_TRUE(Facts(cloned).valid);
  copy.Send(sym::End);
  EXPECT_FALSE(Facts(cloned).valid);
  DeleteFileA(file.c_str());
}

TEST(Cursor, FileCursorsOverManyCyclesAreDestroyedOnce) {
  const std::string file = WriteCursorFile("census.cur", 1, 1);
  zv::Collect();
  const std::size_t live = zv::GcObject::LiveCount();
  // Ended explicitly: the handle is destroyed at End, and not again when the
  // object goes.
  for (int i = 0; i < 1000; ++i) {
    const std::size_t calls = g_destroyTotal;
    HCURSOR h = nullptr;
    {
      Value c = zv::NewObject(zv::TCursorClass(), file);
      h = CursorOf(c);
      ASSERT_TRUE(Facts(h).valid) << i;
      c.Send(sym::End);
      ASSERT_EQ(CursorOf(c), nullptr);
      ASSERT_EQ(g_destroyTotal - calls, 1u) << i;
      c.Send(sym::Destroy);  // nothing left to destroy
    }
    ASSERT_EQ(g_destroyTotal - calls, 1u) << i << ": destroyed again when the object went";
    ASSERT_TRUE(AlreadyDestroyed(h)) << i;
  }
  // Reloaded in place: each load destroys the cursor before it.
  Value one = zv::NewObject(zv::TCursorClass());
  for (int i = 0; i < 1000; ++i) {
    HCURSOR before = CursorOf(one);
    const std::size_t calls = g_destroyTotal;
    one.Send(sym::set::cName, file);
    ASSERT_TRUE(Facts(CursorOf(one)).valid) << i;
    ASSERT_EQ(g_destroyTotal - calls, before ? 1u : 0u) << i;
    if (before) {
      ASSERT_TRUE(AlreadyDestroyed(before)) << i;
    }
  }
  one.Send(sym::Destroy);
  // Dropped without End: the cursor goes with the object, once.
  const std::size_t calls = g_destroyTotal;
  std::vector<HCURSOR> dropped;
  for (int i = 0; i < 1000; ++i) dropped.push_back(CursorOf(zv::NewObject(zv::TCursorClass(), file)));
  EXPECT_EQ(g_destroyTotal - calls, 1000u);
  std::size_t stillThere = 0;
  for (HCURSOR h : dropped) stillThere += !h || Facts(h).valid;
  EXPECT_EQ(stillThere, 0u);
  one = Value();
  zv::Collect();
  EXPECT_EQ(g_destroyTotal - calls, 1000u);
  EXPECT_EQ(zv::GcObject::LiveCount(), live);
  DeleteFileA(file.c_str());
}

}  // namespace
