#include "framework/window/winobject.h"

#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "framework/core/loop.h"
#include "framework/window/message_names.h"
#include "framework/window/messages.h"

namespace zv {
namespace {

// One record per linked window. The signature and the set of live records
// let the procedure reject user data it did not put there without reading
// foreign memory.
struct LinkRecord {
  char signature[4] = {'W', 'L', 'N', 'K'};
  Value object;                 // keeps the object alive while linked
  std::string windowClass;      // the class its pending window is created with (empty: any)
  WNDPROC prevProc = nullptr;   // default processing of a sub- or superclassed control
  HWND hwnd = nullptr;          // 0 while the window is still to be created
  Symbol catchAll;              // HandleEvent, when the class has it
  bool child = false;           // WS_CHILD when attached
  bool mdiChild = false;        // default processing goes to DefMDIChildProc
  HWND mdiClient = nullptr;     // non-zero: default processing goes to DefFrameProc
  bool unlinked = false;
  bool released = false;
  bool inUse = false;           // allocated from the pool and not yet freed
  LinkRecord* prev = nullptr;   // chain links
  LinkRecord* next = nullptr;
};

struct Chain {
  LinkRecord* head = nullptr;
  std::size_t count = 0;
  void Push(LinkRecord* r) {
    r->prev = nullptr;
    r->next = head;
    if (head) head->prev = r;
    head = r;
    ++count;
  }
  void Remove(LinkRecord* r) {
    if (r->prev) r->prev->next = r->next;
    else head = r->next;
    if (r->next) r->next->prev = r->prev;
    r->prev = r->next = nullptr;
    --count;
  }
};

// Records come from blocks that are never given back, so that whether a
// window's user data is one of ours is a range check over a few blocks
// (done for every message), not a lookup in a set.
class RecordPool {
 public:
  LinkRecord* Allocate() {
    if (free_.empty()) {
      auto* block = new (std::nothrow) LinkRecord[kBlock];
      if (!block) return nullptr;
      blocks_.push_back(block);
      for (std::size_t i = kBlock; i-- > 0;) free_.push_back(&block[i]);
    }
    LinkRecord* r = free_.back();
    free_.pop_back();
    r->inUse = true;
    return r;
  }
  void Free(LinkRecord* r) {
    *r = LinkRecord{};
    free_.push_back(r);
  }
  // Whether p is a record in use (any pointer value may be asked about).
  bool Owns(const void* p) const {
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    for (const LinkRecord* block : blocks_) {
      const auto begin = reinterpret_cast<std::uintptr_t>(block);
      if (a < begin || a >= begin + kBlock * sizeof(LinkRecord)) continue;
      if ((a - begin) % sizeof(LinkRecord) != 0) return false;
      return block[(a - begin) / sizeof(LinkRecord)].inUse;
    }
    return false;
  }

 private:
  static constexpr std::size_t kBlock = 64;
  std::vector<LinkRecord*> blocks_;
  std::vector<LinkRecord*> free_;
};

struct Links {
  Chain live;
  Chain release;
  LinkRecord* pending = nullptr;
  RecordPool all;  // every record not yet freed
  std::size_t freed = 0;
  // Window classes the framework registered on top of a system class: the
  // system class's procedure, by class atom (default processing of such a
  // window when no record speaks for it).
  std::unordered_map<ATOM, WNDPROC> baseProcs;
  // Windows unlinked while another procedure was subclassed on top of the
  // framework's (comctl32's tooltip subclassing): the framework procedure
  // stays in their chain, so it passes their messages on to the procedure
  // they had before they were linked.
  std::unordered_map<HWND, WNDPROC> orphans;
  // The records of recently seen windows, by window handle: the window
  // procedure finds a window's record here without asking the system for
  // the user data (the dearest step of the dispatch under Wine). An entry
  // is dropped whenever its record is attached elsewhere, unlinked or freed;
  // a window not found here takes the checked way through its user data.
  struct Recent {
    HWND hwnd = nullptr;
    LinkRecord* rec = nullptr;
  };
  static constexpr std::size_t kRecent = 64;
  Recent recent[kRecent];
  static std::size_t RecentSlot(HWND h) {
    const auto a = reinterpret_cast<std::uintptr_t>(h);
    return (a ^ (a >> 6)) & (kRecent - 1);
  }
  void Forget(HWND h) {
    Recent& e = recent[RecentSlot(h)];
    if (e.hwnd == h) e = Recent{};
  }
};

Links& links() {
  static Links* l = new Links;
  return *l;
}

HINSTANCE g_instance = nullptr;

// A window's record, or nullptr when its user data is not one of ours.
LinkRecord* RecordOf(HWND hwnd) {
  Links& l = links();
  Links::Recent& seen = l.recent[Links::RecentSlot(hwnd)];
  if (seen.hwnd == hwnd && hwnd) return seen.rec;
  const LONG_PTR data = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
  if (data <= 4) return nullptr;
  auto* rec = reinterpret_cast<LinkRecord*>(data);
  if (!l.all.Owns(rec)) return nullptr;
  if (std::memcmp(rec->signature, "WLNK", 4) != 0 || rec->unlinked || rec->hwnd != hwnd) return nullptr;
  seen = {hwnd, rec};
  return rec;
}

bool WindowHasClass(HWND hwnd, const std::string& name) {
  if (name.empty()) return true;
  char cls[256] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return SameName(cls, name);
}

// Attaching: the record goes into the window's user data. Without a record
// given, the pending one is taken, but only by a window of the class it
// waits for: a window of another object created meanwhile (inside a
// creation message) must not take it.
LinkRecord* Attach(HWND hwnd, LinkRecord* rec) {
  Links& l = links();
  if (!rec) {
    rec = l.pending;
    if (!rec || !WindowHasClass(hwnd, rec->windowClass)) return nullptr;
    l.pending = nullptr;
  }
  if (!rec || !l.all.Owns(rec)) return nullptr;
  if (l.pending == rec) l.pending = nullptr;
  l.Forget(hwnd);
  if (rec->hwnd) l.Forget(rec->hwnd);
  rec->hwnd = hwnd;
  rec->child = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  if (rec->prevProc == &FrameworkWindowProc) rec->prevProc = nullptr;
  // The object knows its window from here on, also during the creation messages.
  if (Object* o = rec->object.AsObject()) {
    if (const DataMember* d = o->GetClass()->FindData(sym::Handle))
      if (!d->classWide() && o->Slot(d->slot).AsInt() == 0) o->Slot(d->slot) = HandleValue(hwnd);
  }
  return rec;
}

void FreeRecord(LinkRecord* rec) {
  Links& l = links();
  if (rec->hwnd) l.Forget(rec->hwnd);
  if (!rec->released) {
    rec->released = true;
    rec->object = Value();
  }
  l.all.Free(rec);
  ++l.freed;
}

void UnlinkRecord(LinkRecord* rec);

LRESULT CALLBACK DefaultOnlyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

const std::array<Symbol, kHandlerTableSize>& handlerTable() {
  static const auto* table = [] {
    auto* t = new std::array<Symbol, kHandlerTableSize>();
    for (std::size_t i = 0; i < kMessageNameCount; ++i)
      if (kMessageNames[i].message < kHandlerTableSize)
        (*t)[kMessageNames[i].message] = Symbol(kMessageNames[i].handler);
    return t;
  }();
  return *table;
}

LRESULT DefaultProcessing(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC prev, bool mdiChild,
                          HWND mdiClient) {
  if (mdiClient) return DefFrameProcA(hwnd, mdiClient, msg, wParam, lParam);
  if (mdiChild) return DefMDIChildProcA(hwnd, msg, wParam, lParam);
  if (prev) return CallWindowProcA(prev, hwnd, msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Default processing of a window no record speaks for: the procedure it had
// before an unlinking left the framework procedure in its chain, else the
// system class its framework class was built on, else DefWindowProc.
LRESULT Unowned(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Links& l = links();
  WNDPROC proc = nullptr;
  if (auto it = l.orphans.find(hwnd); it != l.orphans.end()) {
    proc = it->second;
  } else {
    auto atom = static_cast<ATOM>(GetClassLongPtrA(hwnd, GCW_ATOM));
    if (auto b = l.baseProcs.find(atom); b != l.baseProcs.end()) proc = b->second;
  }
  const LRESULT r = proc ? CallWindowProcA(proc, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) l.orphans.erase(hwnd);
  return r;
}

// The procedure of a registered window class (system classes first).
WNDPROC ClassProc(std::string_view name) {
  if (name.empty()) return nullptr;
  std::string cls(name);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(nullptr, cls.c_str(), &wc)) return wc.lpfnWndProc;
  if (GetClassInfoExA(GETINSTANCE(), cls.c_str(), &wc)) return wc.lpfnWndProc;
  return nullptr;
}

}  // namespace

HWND ObjectHwnd(const Value& obj) {
  if (!obj.IsObject()) return nullptr;
  return ValueHwnd(SendUnchecked(obj, sym::Handle, Args()));
}

HINSTANCE GETINSTANCE() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }
void SetProgramInstance(HINSTANCE h) { g_instance = h; }

Symbol HandlerSymbol(UINT msg) { return msg < kHandlerTableSize ? handlerTable()[msg] : Symbol(); }

ATOM REGISTERCLASS(std::string_view className, UINT classStyle, HCURSOR cursor, HBRUSH brush) {
  std::string name(className);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = &FrameworkWindowProc;
  wc.hInstance = GETINSTANCE();
  wc.hCursor = cursor;
  wc.hbrBackground = brush;
  wc.lpszClassName = name.c_str();
  return RegisterClassExA(&wc);
}

HWND CREATEWINDOW(std::string_view windowClass, std::string_view text, DWORD style, DWORD exStyle, int left,
                  int top, int width, int height, HWND parent, UINT_PTR id) {
  std::string cls(windowClass), caption(text);
  return CreateWindowExA(exStyle, cls.c_str(), caption.c_str(), style, left, top, width, height, parent,
                         reinterpret_cast<HMENU>(id), GETINSTANCE(), nullptr);
}

LRESULT PREVWINDOWPROC(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LinkRecord* rec = RecordOf(hwnd);
  if (rec && rec->prevProc) return CallWindowProcA(rec->prevProc, hwnd, msg, wParam, lParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

Value RunHandler(Object& o, const Method& handler, const WinMsg& m) {
  if (handler.packetFn) return InvokePacket(o, handler, &m);
  Value argv[] = {WParamValue(m.wParam), LParamValue(m.lParam), HandleValue(m.hwnd), Value(static_cast<int>(m.message))};
  return Invoke(o, handler, Args(argv, 4, &handler), SourceLocation::current());
}

Value CallHandler(const Value& object, Symbol handler, const WinMsg& m) {
  Object* o = object.AsObject();
  const Method* meth = (o && handler.valid()) ? o->GetClass()->FindMethod(handler) : nullptr;
  return meth ? RunHandler(*o, *meth, m) : Value();
}

Value SuperHandler(Object& self, Symbol handler, const WinMsg& m) {
  const Method* meth = SuperMethod(self, handler);
  return meth ? RunHandler(self, *meth, m) : Value();
}

Value GETCONTROLFROMHANDLE(HWND hwnd) {
  if (!hwnd) return {};
  LinkRecord* rec = RecordOf(hwnd);
  return rec ? rec->object : Value();
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LinkRecord* rec = RecordOf(hwnd);
  if (!rec) {
    if (msg == WM_NCCREATE) rec = Attach(hwnd, nullptr);
    // Before WM_NCCREATE, and for windows without an object: the window's own
    // default processing (its system class for a superclassed control).
    if (!rec) return Unowned(hwnd, msg, wParam, lParam);
  }
  // Everything needed after the handler is copied now: the handler may
  // destroy the window, unlink it, or cause the record to be freed.
  const Value object = rec->object;
  const WNDPROC prev = rec->prevProc;
  const bool mdiChild = rec->mdiChild;
  const HWND mdiClient = rec->mdiClient;
  const Symbol catchAll = rec->catchAll;
  Object* o = object.AsObject();
  if (!o) return DefaultProcessing(hwnd, msg, wParam, lParam, prev, mdiChild, mdiClient);

  bool handled = false;
  LRESULT result = 0;
  try {
    Value r;
    bool called = false;
    const Symbol handler = HandlerSymbol(msg);
    const Method* m = handler.valid() ? o->GetClass()->FindMethod(handler) : nullptr;
    if (m) {
      r = RunHandler(*o, *m, WinMsg{hwnd, msg, wParam, lParam});
      called = true;
    } else if (catchAll.valid()) {
      Value argv[] = {Value(static_cast<int>(msg)), WParamValue(wParam), LParamValue(lParam), HandleValue(hwnd)};
      r = SendUnchecked(object, Msg(catchAll), Args(argv, 4));
      called = true;
    }
    if (called) {
      const Value& v = r.Deref();
      if (v.IsNumber()) {
        handled = true;
        result = static_cast<LRESULT>(v.AsInt());
      } else if (v.IsLogical()) {
        handled = true;
        result = v.AsBool() ? 1 : 0;
      }
    }
  } catch (...) {
    // Never through Windows' frames: the loop rethrows it after DispatchMessage.
    DeferException(std::current_exception());
    handled = true;
    result = 0;
  }

  if (msg == WM_NCDESTROY) {
    // A window object must not outlive its window in the chains: when the
    // handler did not unlink it, do it now. The procedure the window had (a
    // system control's, a subclassed window's own) always sees the message
    // too, whatever the handler answered: it frees its per-window state here.
    if (RecordOf(hwnd) == rec) UnlinkRecord(rec);
    links().orphans.erase(hwnd);
    const LRESULT r = DefaultProcessing(hwnd, msg, wParam, lParam, prev, mdiChild, mdiClient);
    return handled ? result : r;
  }
  if (handled) return result;
  if (!IsWindow(hwnd)) return 0;  // destroyed by its own handler
  return DefaultProcessing(hwnd, msg, wParam, lParam, prev, mdiChild, mdiClient);
}

bool LinkWindow(Object& obj, bool mdiChild, std::string_view baseClass) {
  FreeReleasedLinks();
  Links& l = links();
  const HWND hwnd = ObjectHwnd(Value(&obj));
  LinkRecord* rec = l.all.Allocate();
  if (!rec) return false;
  rec->object = Value(&obj);
  rec->hwnd = hwnd;
  rec->mdiChild = mdiChild;
  if (!hwnd) rec->windowClass = SendUnchecked(Value(&obj), sym::ClassName, Args()).AsString();
  if (obj.GetClass()->HasMessage(sym::HandleEvent)) rec->catchAll = sym::HandleEvent;
  if (!hwnd || (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
    WNDPROC base = ClassProc(baseClass);
    if (base && base != &FrameworkWindowProc) rec->prevProc = base;
  }
  l.live.Push(rec);
  l.pending = rec;
  if (hwnd) {
    if (LinkRecord* old = RecordOf(hwnd); old && old != rec) UnlinkRecord(old);
    Attach(hwnd, rec);
    // Subclass the existing window.
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    rec->prevProc = current == &FrameworkWindowProc ? nullptr : current;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc));
  }
  return true;
}

namespace {

// Puts back the procedure the window had. When another procedure sits on top
// of the framework's, the chain cannot be changed under it: the window is
// remembered so that the framework procedure passes its messages on.
void RestoreProcedure(HWND hwnd, LinkRecord* rec) {
  WNDPROC before = rec->prevProc ? rec->prevProc : &DefaultOnlyProc;
  auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  if (current == &FrameworkWindowProc)
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before));
  else
    links().orphans[hwnd] = before;
}

void UnlinkRecord(LinkRecord* rec) {
  Links& l = links();
  const HWND hwnd = rec->hwnd;
  if (hwnd && IsWindow(hwnd) && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(rec)) {
    RestoreProcedure(hwnd, rec);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  }
  if (hwnd) l.Forget(hwnd);
  rec->unlinked = true;
  if (l.pending == rec) l.pending = nullptr;
  l.live.Remove(rec);
  l.release.Push(rec);
}

}  // namespace

void UnlinkWindow(Object& obj) {
  const HWND hwnd = ObjectHwnd(Value(&obj));
  LinkRecord* rec = hwnd ? RecordOf(hwnd) : nullptr;
  if (rec && rec->object.AsObject() == &obj) UnlinkRecord(rec);
}

void CancelPendingLink(Object& obj) {
  Links& l = links();
  LinkRecord* rec = l.pending;
  if (!rec || rec->object.AsObject() != &obj || rec->hwnd) return;
  l.pending = nullptr;
  rec->unlinked = true;
  l.live.Remove(rec);
  l.release.Push(rec);
}

void SetLinkMdiClient(HWND frame, HWND mdiClient) {
  if (LinkRecord* rec = RecordOf(frame)) rec->mdiClient = mdiClient;
}

void FreeReleasedLinks() {
  Links& l = links();
  while (LinkRecord* rec = l.release.head) {
    l.release.Remove(rec);
    FreeRecord(rec);
  }
}

void FreeAllLinks() {
  Links& l = links();
  FreeReleasedLinks();
  while (LinkRecord* rec = l.live.head) {
    if (rec->hwnd && IsWindow(rec->hwnd) && RecordOf(rec->hwnd) == rec) {
      SetWindowLongPtrA(rec->hwnd, GWLP_USERDATA, 0);
      RestoreProcedure(rec->hwnd, rec);
    }
    l.live.Remove(rec);
    FreeRecord(rec);
  }
  l.pending = nullptr;
}

void RegisterBaseProcedure(ATOM windowClass, WNDPROC systemProc) {
  if (windowClass && systemProc && systemProc != &FrameworkWindowProc) links().baseProcs[windowClass] = systemProc;
}

LinkStats GetLinkStats() {
  Links& l = links();
  return {l.live.count, l.release.count, l.freed};
}

// ------------------------------------------------------------------ TWinObject

Class* QWinObjectClass() {
  static Class* c = [] {
    QVClass b("QWinObject", {TComponentClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QWINOBJECT_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TWinObjectClass() {
  static Class* c = DeclarePublicClass("TWinObject", QWinObjectClass());
  return c;
}

std::wstring WidenText(const std::string& s) {
  if (s.empty()) return {};
  const int len = static_cast<int>(s.size() > 0x3fffffff ? 0x3fffffff : s.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), len, nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), len, w.data(), n);
  return w;
}

std::string NarrowText(std::wstring_view w) {
  if (w.empty()) return {};
  const int len = static_cast<int>(w.size() > 0x3fffffff ? 0x3fffffff : w.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), len, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, w.data(), len, s.data(), n, nullptr, nullptr);
  return s;
}

}  // namespace zv
