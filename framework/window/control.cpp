#include "framework/window/control.h"

#include "framework/core/application.h"
#include "framework/core/environment.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"

namespace zv {
namespace {

// The next identifier for a child window when no form hands one out.
UINT_PTR g_nextId = 100;

// The parent's window, and the parent's client origin.
HWND ParentHwnd(Object& self) {
  Value parent = Get(self, "oParent");
  return parent.IsObject() && parent.AsObject() != Application().AsObject() ? ObjectHwnd(parent) : nullptr;
}

// ---------------------------------------------------------------- life cycle

Value ControlNew(Object& self, Args a) {
  if (a.Has(0)) self.Send("_oParent", a.Get(0));
  return Super(self, "New", Args());
}

Value ControlCreate(Object& self, Args a) {
  Super(self, "Create", a);
  if (!ObjectHwnd(self)) self.Send("CreateHandle");
  self.Send("OnCreate");
  return Value(&self);
}

Value GetForm(Object& self, Args) {
  Value form = Get(self, "FoForm");
  if (form.IsObject()) return form;
  Value parent = Get(self, "oParent");
  if (parent.IsObject() && Has(parent, ZV_SYM("GetForm"))) {
    form = parent.Send("GetForm");
    if (form.IsObject()) return form;
  }
  // A window without a parent control is a form of its own.
  if (!(Get(self, "nCtlStyle").AsInt() & WS_CHILD)) return Value(&self);
  return {};
}

// Before the class is registered: a control without a base class and
// without a cursor takes the screen's shared arrow; a control with a pane
// colour and no brush gets a brush of that colour (the window's own, deleted
// with the window).
Value Register(Object& self, Args) {
  if (Get(self, "cWinClassName").AsString().empty() && !Get(self, "FoCursor").IsObject() && Screen().IsObject() &&
      Has(Screen(), ZV_SYM("oCursorArrow"))) {
    Value arrow = Get(Screen(), "oCursorArrow");
    if (arrow.IsObject()) Put(self, "FoCursor", arrow);
  }
  const Value pane = Get(self, "nClrPane");
  if (!Get(self, "hBrush").AsInt() && pane.IsNumber())
    Put(self, "hBrush", HandleValue(CreateSolidBrush(static_cast<COLORREF>(pane.AsInt()))));
  return self.Send("RegisterClass");
}

// Registers the window class named ClassName, on top of the system class
// `cWinClassName` when there is one (its style, cursor, brush and extra bytes
// are copied; its procedure becomes the default processing).
Value RegisterClassMethod(Object& self, Args a) {
  const std::string name = Get(self, "ClassName").AsString();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GETINSTANCE(), name.c_str(), &wc)) return true;
  wc = WNDCLASSEXA{};
  wc.cbSize = sizeof wc;
  wc.style = a.Has(1) ? static_cast<UINT>(a.Get(1).AsInt()) : static_cast<UINT>(Get(self, "nClassStyle").AsInt());
  std::string base = a.Has(0) ? a.Get(0).AsString() : Get(self, "cWinClassName").AsString();
  if (!base.empty()) {
    WNDCLASSEXA sys{};
    sys.cbSize = sizeof sys;
    if (GetClassInfoExA(nullptr, base.c_str(), &sys) || GetClassInfoExA(GETINSTANCE(), base.c_str(), &sys)) {
      wc = sys;
      wc.cbSize = sizeof wc;
    }
  }
  const WNDPROC systemProc = base.empty() ? nullptr : wc.lpfnWndProc;
  wc.lpszClassName = name.c_str();
  wc.lpfnWndProc = &FrameworkWindowProc;
  wc.hInstance = GETINSTANCE();
  wc.lpszMenuName = nullptr;
  const ATOM atom = RegisterClassExA(&wc);
  if (atom && systemProc) RegisterBaseProcedure(atom, systemProc);
  return atom != 0;
}

Value Link(Object& self, Args a) {
  return LinkWindow(self, a.Get(0).AsBool(), Get(self, "cWinClassName").AsString());
}

Value Unlink(Object& self, Args a) {
  UnlinkWindow(self);
  if (a.Get(0).AsBool() && Has(Value(&self), ZV_SYM("aControls"))) {
    Value children = Get(self, "aControls");
    if (children.IsList()) {
      const std::vector<Value> copy = children.AsList().items;
      for (const Value& c : copy) c.Send("Unlink", true);
    }
  }
  return {};
}

// Creates the window: class registration, styles, identifier, the pending
// link record, CreateWindow, then the parent's InsertControl.
Value CreateHandle(Object& self, Args) {
  Value form = self.Send("GetForm");
  if (form.IsObject()) Put(self, "FoForm", form);
  self.Send("Register");
  std::int64_t style = Get(self, "nCtlStyle").AsInt();
  if (Get(self, "lVisible").AsBool()) style |= WS_VISIBLE;
  else style &= ~static_cast<std::int64_t>(WS_VISIBLE);
  if (!Get(self, "lEnabled").AsBool()) style |= WS_DISABLED;
  else style &= ~static_cast<std::int64_t>(WS_DISABLED);
  Put(self, "nCtlStyle", style);
  Put(self, "hTheme", 0);
  UINT_PTR id = 0;
  if (style & WS_CHILD) {
    if (form.IsObject() && form.AsObject() != &self && Has(form, ZV_SYM("GetNewID")))
      id = static_cast<UINT_PTR>(form.Send("GetNewID").AsInt());
    else
      id = g_nextId++;
  }
  Put(self, "nId", static_cast<long long>(id));
  self.Send("OnBeforeCreate");
  self.Send("Link");
  Value parent = Get(self, "oParent");
  HWND parentWnd = ParentHwnd(self);
  int left = static_cast<int>(Get(self, "nLeft").AsInt());
  int top = static_cast<int>(Get(self, "nTop").AsInt());
  if (parentWnd && parent.IsObject()) {
    left += static_cast<int>(Get(parent, "nClientLeft").AsInt());
    top += static_cast<int>(Get(parent, "nClientTop").AsInt());
  }
  HWND hwnd = CREATEWINDOW(Get(self, "ClassName").AsString(), Get(self, "FcText").AsString(),
                           static_cast<DWORD>(style), static_cast<DWORD>(Get(self, "nExStyle").AsInt()), left, top,
                           static_cast<int>(Get(self, "nWidth").AsInt()), static_cast<int>(Get(self, "nHeight").AsInt()),
                           parentWnd, id);
  RethrowDeferred();  // an abort raised during the creation messages
  if (!hwnd) {
    CancelPendingLink(self);
    Put(self, "Handle", 0);
    return 0;
  }
  Put(self, "Handle", HandleValue(hwnd));
  self.Send("UpdateBounds");
  self.Send("ApplyTooltips");
  if (parent.IsObject() && (style & WS_CHILD) && Has(parent, ZV_SYM("InsertControl")))
    parent.Send("InsertControl", Value(&self));
  return HandleValue(hwnd);
}

Value Destroy(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !IsWindow(hwnd)) return Super(self, "Destroy", a);  // no window: the component protocol
  Put(self, "lFree", a.Get(0).AsBool());
  DestroyWindow(hwnd);
  RethrowDeferred();
  return Value(&self);
}

// WM_DESTROY: the text survives the window; OnDestroy fires.
Value WMDestroy(Object& self, Args a) {
  HWND hwnd = ValueHwnd(a.Get(2));
  if (hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    Put(self, "FcText", text);
  }
  self.Send("OnDestroy");
  Put(self, "hTheme", 0);
  return {};
}

// WM_NCDESTROY: resources freed when asked; the window unlinked and removed
// from its parent.
Value WMNCDestroy(Object& self, Args) {
  if (Get(self, "lFree").AsBool()) self.Send("Free");
  self.Send("RemoveTooltips");
  // The window's brush goes with the window (Register makes a new one for
  // the next window).
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, "hBrush"))) {
    DeleteObject(brush);
    Put(self, "hBrush", 0);
  }
  self.Send("Unlink");
  Value parent = Get(self, "oParent");
  if (Get(self, "nId").AsInt() != 0 && parent.IsObject() && Has(parent, ZV_SYM("RemoveControl")))
    parent.Send("RemoveControl", Value(&self));
  Put(self, "Handle", 0);
  Put(self, "lCreated", false);
  Put(self, "lFocused", false);
  return {};
}

Value Free(Object& self, Args) {
  self.Send("OnDestroyed");
  return {};
}

// ---------------------------------------------------------------- geometry and state

Value SetBounds(Object& self, Args a) {
  const char* names[] = {"FnLeft", "FnTop", "FnWidth", "FnHeight"};
  for (std::size_t i = 0; i < 4; ++i)
    if (a.Has(i)) Put(self, names[i], a.Get(i).AsInt());
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  const bool repaint = a.Has(4) ? a.Get(4).AsBool() : true;
  int left = static_cast<int>(Get(self, "FnLeft").AsInt());
  int top = static_cast<int>(Get(self, "FnTop").AsInt());
  Value parent = Get(self, "oParent");
  if (ParentHwnd(self) && parent.IsObject()) {
    left += static_cast<int>(Get(parent, "nClientLeft").AsInt());
    top += static_cast<int>(Get(parent, "nClientTop").AsInt());
  }
  MoveWindow(hwnd, left, top, static_cast<int>(Get(self, "FnWidth").AsInt()),
             static_cast<int>(Get(self, "FnHeight").AsInt()), repaint);
  RethrowDeferred();
  return {};
}

Value SetLeft(Object& self, Args a) { return self.Send("SetBounds", a.Get(0)), a.Get(0); }
Value SetTop(Object& self, Args a) { return self.Send("SetBounds", Value(), a.Get(0)), a.Get(0); }
Value SetWidth(Object& self, Args a) { return self.Send("SetBounds", Value(), Value(), a.Get(0)), a.Get(0); }
Value SetHeight(Object& self, Args a) { return self.Send("SetBounds", Value(), Value(), Value(), a.Get(0)), a.Get(0); }

// Reads the window's rectangle back into the storage (no setter runs).
Value UpdateBounds(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  RECT r{};
  GetWindowRect(hwnd, &r);
  POINT p{r.left, r.top};
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) {
    if (HWND parentWnd = GetParent(hwnd)) ScreenToClient(parentWnd, &p);
    Value parent = Get(self, "oParent");
    if (parent.IsObject() && Has(parent, ZV_SYM("nClientLeft"))) {
      p.x -= static_cast<LONG>(Get(parent, "nClientLeft").AsInt());
      p.y -= static_cast<LONG>(Get(parent, "nClientTop").AsInt());
    }
  }
  Put(self, "FnLeft", static_cast<long long>(p.x));
  Put(self, "FnTop", static_cast<long long>(p.y));
  Put(self, "FnWidth", static_cast<long long>(r.right - r.left));
  Put(self, "FnHeight", static_cast<long long>(r.bottom - r.top));
  RECT c{};
  GetClientRect(hwnd, &c);
  Put(self, "FnClientWidth", static_cast<long long>(c.right));
  Put(self, "FnClientHeight", static_cast<long long>(c.bottom));
  return {};
}

Value WMWindowPosChanged(Object& self, Args) {
  self.Send("UpdateBounds");
  return {};
}

Value SetText(Object& self, Args a) {
  Value text = a.Get(0);
  Put(self, "FcText", text.IsString() ? text : Value(text.ToDisplay()));
  if (HWND hwnd = ObjectHwnd(self)) {
    Value form = Get(self, "oForm");
    const bool shortcuts = form.IsObject() && Has(form, ZV_SYM("DelShortCut"));
    if (shortcuts) form.Send("DelShortCut", Value(&self));
    SetWindowTextA(hwnd, Get(self, "FcText").AsString().c_str());
    InvalidateRect(hwnd, nullptr, TRUE);
    if (shortcuts) form.Send("AddShortCut", Value(&self));
  }
  return a.Get(0);
}

Value GetText(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    Put(self, "FcText", text);
  }
  return Get(self, "FcText");
}

Value Show(Object& self, Args a) {
  Put(self, "FlVisible", true);
  if (HWND hwnd = ObjectHwnd(self)) {
    if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, a.Has(0) ? static_cast<int>(a.Get(0).AsInt()) : SW_SHOW);
    Value parent = Get(self, "oParent");
    if (Get(self, "nAlign").AsInt() != 0 && parent.IsObject() && Has(parent, ZV_SYM("AlignControls")))
      parent.Send("AlignControls");
    else
      UpdateWindow(hwnd);
    RethrowDeferred();
  }
  self.Send("OnShow");
  return {};
}

Value Hide(Object& self, Args) {
  Put(self, "FlVisible", false);
  Put(self, "lFocused", false);
  if (HWND hwnd = ObjectHwnd(self)) {
    ShowWindow(hwnd, SW_HIDE);
    const auto align = Get(self, "nAlign").AsInt();
    Value parent = Get(self, "oParent");
    if (align != 0 && align != 5 && parent.IsObject() && Has(parent, ZV_SYM("AlignControls")))
      parent.Send("AlignControls");
    RethrowDeferred();
  }
  self.Send("OnHide");
  return {};
}

Value SetVisible(Object& self, Args a) {
  if (a.Get(0).AsBool()) self.Send("Show");
  else self.Send("Hide");
  return a.Get(0);
}

Value Enable(Object& self, Args) {
  Put(self, "FlEnabled", true);
  if (HWND hwnd = ObjectHwnd(self)) {
    EnableWindow(hwnd, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return true;
}

Value Disable(Object& self, Args) {
  Put(self, "FlEnabled", false);
  if (HWND hwnd = ObjectHwnd(self)) {
    EnableWindow(hwnd, FALSE);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return true;
}

Value SetEnabled(Object& self, Args a) {
  if (a.Get(0).AsBool()) self.Send("Enable");
  else self.Send("Disable");
  return a.Get(0);
}

Value SetParent(Object& self, Args a) {
  Put(self, "FoParent", a.Get(0));
  HWND hwnd = ObjectHwnd(self);
  if (hwnd && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
    HWND parentWnd = ParentHwnd(self);
    if (parentWnd) ::SetParent(hwnd, parentWnd);
  }
  return a.Get(0);
}

// ---------------------------------------------------------------- focus

Value SetFocusMethod(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  if (hwnd && IsWindowVisible(hwnd)) {
    if (a.Get(0).AsBool()) Put(self, "lFocused", true);
    ::SetFocus(hwnd);
    RethrowDeferred();
    if (GetFocus() == hwnd) Put(self, "lFocused", true);
  }
  return Get(self, "lFocused");
}

// The object of a window, or of its nearest ancestor that has one.
Value ObjectOfWindowOrParent(HWND hwnd) {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    Value o = GETCONTROLFROMHANDLE(h);
    if (o.IsObject()) return o;
  }
  return {};
}

bool SameForm(const Value& a, const Value& form) {
  if (!a.IsObject() || !form.IsObject()) return false;
  if (a.AsObject() == form.AsObject()) return true;
  Value f = Has(a, ZV_SYM("GetForm")) ? a.Send("GetForm") : Value();
  return f.AsObject() == form.AsObject();
}

// Focus arrival: lFocused, the form's active control, OnEnter.
Value WMSetFocus(Object& self, Args a) {
  const HWND hwnd = ValueHwnd(a.Get(2));
  Put(self, "lFocused", Get(self, "lTabStop"));
  Value form = self.Send("GetForm");
  if (form.IsObject() && form.AsObject() != &self) form.Send("_oActiveControl", Value(&self));
  if (Application().IsObject()) Put(*Application().AsObject(), "oActiveControl", Value(&self));
  PREVWINDOWPROC(hwnd, WM_SETFOCUS, ValueWParam(a.Get(0)), ValueLParam(a.Get(1)));
  HWND lost = ValueHwnd(a.Get(0));
  Value previous = ObjectOfWindowOrParent(IsWindow(lost) ? lost : GetFocus());
  if (SameForm(previous, form)) {
    if (Has(form, ZV_SYM("OnChangeFocus"))) form.Send("OnChangeFocus", previous, Value(&self));
    if (Has(form, ZV_SYM("RequestState"))) form.Send("RequestState");
    if (Get(self, "lFocused").AsBool() || GetFocus() == hwnd) {
      self.Send("GotFocus");
      self.Send("OnEnter", previous);
    }
  }
  return 0;
}

// Focus departure: Valid (OnExit) may keep the focus here.
Value WMKillFocus(Object& self, Args a) {
  const HWND hwnd = ValueHwnd(a.Get(2));
  PREVWINDOWPROC(hwnd, WM_KILLFOCUS, ValueWParam(a.Get(0)), ValueLParam(a.Get(1)));
  Value form = self.Send("GetForm");
  if (!form.IsObject() || !Has(form, ZV_SYM("oActiveControl"))) return 0;
  if (Get(form, "oActiveControl").AsObject() != &self) return 0;
  Value next = ObjectOfWindowOrParent(ValueHwnd(a.Get(0)));
  if (!next.IsObject() || next.AsObject() == &self || !SameForm(next, form)) return 0;
  Put(self, "lFocused", false);
  if (Has(next, ZV_SYM("lFocused")) && Get(next, "lFocused").AsBool()) return 0;
  if (self.Send("Valid", next).IsFalse()) {
    ::SetFocus(hwnd);
  }
  return 0;
}

// Valid(next control): OnExit decides; no value counts as acceptance.
Value Valid(Object& self, Args a) {
  Value r = self.Send("OnExit", a.Get(0));
  return r.IsFalse() ? Value(false) : Value(true);
}

Value GoNext(Object& self, Args a) {
  Value form = self.Send("GetForm");
  if (!form.IsObject() || form.AsObject() == &self) return 0;
  return form.Send("GoNextControl", a.Get(0), a.Get(1));
}

Value GoPrev(Object& self, Args a) {
  Value form = self.Send("GetForm");
  if (!form.IsObject() || form.AsObject() == &self) return 0;
  return form.Send("GoPrevControl", a.Get(0), a.Get(1));
}

// ---------------------------------------------------------------- keyboard and mouse

UINT DialogCode(HWND hwnd) { return static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, 0, 0)); }

Value Bubble(Object& self, const char* handler, Args a) {
  Value parent = Get(self, "oParent");
  if (parent.IsObject() && parent.AsObject() != Application().AsObject() && Has(parent, Symbol(handler)))
    return SendUnchecked(parent, Msg(handler), a);
  return {};
}

Value WMKeyDown(Object& self, Args a) {
  Value r = self.Send("OnKeyDown", a.Get(0), a.Get(1));
  if (!r.IsNil()) return r;
  const auto key = a.Get(0).AsInt();
  HWND hwnd = ValueHwnd(a.Get(2));
  if (key == VK_DOWN || key == VK_RIGHT || key == VK_UP || key == VK_LEFT) {
    if (!(DialogCode(hwnd) & (DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
      if (key == VK_DOWN || key == VK_RIGHT) self.Send("GoNextControl");
      else self.Send("GoPrevControl");
    }
    return {};
  }
  return Bubble(self, "WMKeyDown", a);
}

Value WMKeyUp(Object& self, Args a) {
  Value r = self.Send("OnKeyUp", a.Get(0), a.Get(1));
  return r;
}

Value WMChar(Object& self, Args a) {
  Value r = self.Send("OnChar", a.Get(0), a.Get(1));
  if (!r.IsNil()) return r;
  if (a.Get(0).AsInt() == VK_TAB) {
    if (DialogCode(ValueHwnd(a.Get(2))) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return {};
    if (GetKeyState(VK_SHIFT) < 0) self.Send("GoPrevControl");
    else self.Send("GoNextControl");
    return 0;
  }
  return Bubble(self, "WMChar", a);
}

Value WMLButtonDown(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnLButtonDown", a.Get(0), LowSigned(l), HighSigned(l));
}
Value WMLButtonUp(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnLButtonUp", a.Get(0), LowSigned(l), HighSigned(l));
}
Value WMLButtonDblClk(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnDblClick", a.Get(0), static_cast<int>(LOWORD(l)), static_cast<int>(HIWORD(l)));
}
Value WMRButtonDown(Object& self, Args a) {
  if (Get(self, "lTabStop").AsBool()) self.Send("SetFocus");
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnRButtonDown", a.Get(0), LowSigned(l), HighSigned(l));
}
Value WMRButtonUp(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnRButtonUp", a.Get(0), LowSigned(l), HighSigned(l));
}
Value WMMouseMove(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  return self.Send("OnMouseMove", a.Get(0), LowSigned(l), HighSigned(l));
}

// WM_SETCURSOR for the control's own window: the wait cursor while the
// application is busy; in the client area the control's cursor (its oCursor,
// else the arrow for a control that has no system class to choose one).
Value WMSetCursor(Object& self, Args a) {
  const HWND hwnd = ValueHwnd(a.Get(2));
  if (ValueHwnd(a.Get(0)) != hwnd) return {};
  if (Application().IsObject() && Get(Application(), "FlBusy").AsBool()) {
    SetCursor(WaitCursor());
    return true;
  }
  if (LOWORD(ValueLParam(a.Get(1))) != HTCLIENT) return {};
  HCURSOR cursor = ObjectHandle<HCURSOR>(Get(self, "FoCursor"));
  if (!cursor && Get(self, "cWinClassName").AsString().empty()) cursor = LoadCursorA(nullptr, IDC_ARROW);
  if (!cursor) return {};
  SetCursor(cursor);
  return true;
}

Value SetCursorMethod(Object& self, Args a) {
  Put(self, "FoCursor", a.Get(0));
  return a.Get(0);
}

// ---------------------------------------------------------------- reflection and colours

// Reflected WM_COMMAND: code 0 is a click.
Value Command(Object& self, Args a) {
  if (a.Get(0).AsInt() == 0) return self.Send("Click");
  return {};
}

Value Click(Object& self, Args) { return self.Send("OnClick"); }

// Colour request: without a brush of its own the parent answers.
Value GetCtlColor(Object& self, Args a) {
  const HBRUSH brush = ValueHandle<HBRUSH>(Get(self, "hBrush"));
  if (brush) {
    HDC dc = ValueHandle<HDC>(a.Get(0));
    SetBkColor(dc, static_cast<COLORREF>(Get(self, "nClrPane").AsInt()));
    SetTextColor(dc, static_cast<COLORREF>(Get(self, "nClrText").AsInt()));
    return HandleValue(brush);
  }
  Value parent = Get(self, "oParent");
  if (parent.IsObject() && Has(parent, ZV_SYM("GetCtlColor"))) return parent.Send("GetCtlColor", a.Get(0));
  return {};
}

Value SendMsgMethod(Object& self, Args a) {
  return static_cast<long long>(SendMsg(ObjectHwnd(self), static_cast<UINT>(a.Get(0).AsInt()), ValueWParam(a.Get(1)),
                                        ValueLParam(a.Get(2))));
}

Value PostMsgMethod(Object& self, Args a) {
  return PostMessageA(ObjectHwnd(self), static_cast<UINT>(a.Get(0).AsInt()), ValueWParam(a.Get(1)),
                      ValueLParam(a.Get(2))) != 0;
}

// ---------------------------------------------------------------- tooltips

// Registers the control with the application's shared tooltip windows, by
// its cTooltip and cBalloon (an empty text removes it).
void RegisterTool(Object& self, const char* textMember, const char* appMember) {
  if (!Application().IsObject() || !ObjectHwnd(self)) return;
  Value tip = Get(Application(), appMember);
  if (!tip.IsObject()) return;
  Value text = Get(self, textMember);
  const bool has = !text.IsNil() && !(text.IsString() && text.AsString().empty());
  tip.Send("DelTool", Value(&self));
  if (has) tip.Send("AddTool", Value(&self));
}

Value SetTooltip(Object& self, Args a) {
  Put(self, "FcTooltip", a.Get(0));
  RegisterTool(self, "FcTooltip", "oTooltip");
  return a.Get(0);
}

Value SetBalloon(Object& self, Args a) {
  Put(self, "FcBalloon", a.Get(0));
  RegisterTool(self, "FcBalloon", "oBalloon");
  return a.Get(0);
}

Value ApplyTooltips(Object& self, Args) {
  RegisterTool(self, "FcTooltip", "oTooltip");
  RegisterTool(self, "FcBalloon", "oBalloon");
  return {};
}

Value RemoveTooltips(Object& self, Args) {
  if (!Application().IsObject()) return {};
  for (const char* m : {"oTooltip", "oBalloon"}) {
    Value tip = Get(Application(), m);
    if (tip.IsObject() && ObjectHwnd(tip)) tip.Send("DelTool", Value(&self));
  }
  return {};
}

// Text of a tooltip request for this control (the control base adds zones).
Value GetTooltip(Object& self, Args) { return Get(self, "FcTooltip"); }

// ---------------------------------------------------------------- TStdControl

Value SetTabStop(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, "FlTabStop", on);
  std::int64_t style = Get(self, "nCtlStyle").AsInt();
  style = on ? (style | WS_TABSTOP) : (style & ~static_cast<std::int64_t>(WS_TABSTOP));
  Put(self, "nCtlStyle", style);
  if (HWND hwnd = ObjectHwnd(self)) {
    LONG_PTR ws = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, on ? (ws | WS_TABSTOP) : (ws & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  return on;
}

Value StdCreateHandle(Object& self, Args a) {
  self.Send("SetTabStop", Get(self, "lTabStop"));
  return Super(self, "CreateHandle", a);
}

// State request: OnCheckState decides whether the control is enabled. An
// answer that changes nothing leaves the window alone (no repaint).
Value RequestState(Object& self, Args) {
  Value r = self.Send("OnCheckState");
  if (r.IsLogical() && r.AsBool() != Get(self, "lEnabled").AsBool()) {
    if (!r.AsBool() && ObjectHwnd(self) && GetFocus() == ObjectHwnd(self)) self.Send("GoNextControl", Value(), true);
    self.Send("_lEnabled", r);
  }
  return {};
}

}  // namespace

Value ControlForm(const Value& control) { return control.IsObject() ? control.Send("GetForm") : Value(); }
Value ControlParent(const Value& control) { return Get(control, "oParent"); }

Class* QControlClass() {
  static Class* c = [] {
    QVClass b("QControl", {TWinObjectClass()});
    b.AddProperty({.name = "nLeft", .dflt = 0, .setter = "SetLeft"});
    b.AddProperty({.name = "nTop", .dflt = 0, .setter = "SetTop"});
    b.AddProperty({.name = "nWidth", .dflt = 10, .setter = "SetWidth"});
    b.AddProperty({.name = "nHeight", .dflt = 10, .setter = "SetHeight"});
    b.AddProperty({.name = "cText", .dflt = "", .getter = "GetText", .setter = "SetText", .editor = "PE_ExtendedString"});
    b.AddProperty({.name = "nAlign", .dflt = 0,
                   .valueNames = Value::List({Value::List({"alNONE", 0}), Value::List({"alLEFT", 1}),
                                              Value::List({"alTOP", 2}), Value::List({"alRIGHT", 3}),
                                              Value::List({"alBOTTOM", 4}), Value::List({"alCLIENT", 5})})});
    b.AddProperty({.name = "nAnchors", .dflt = 3, .editor = "PE_Anchors"});
    b.AddProperty({.name = "oCursor", .valueClass = "TCursor", .setter = "SetCursor", .editor = "PE_Cursor"});
    b.AddProperty({.name = "cTooltip", .setter = "SetTooltip", .editor = "PE_Tooltip"});
    b.AddProperty({.name = "cBalloon", .setter = "SetBalloon", .editor = "PE_Tooltip"});
    b.AddProperty({.name = "cTooltipTitle", .editor = "PE_StringOrNil"});
    b.AddProperty({.name = "nTooltipIcon", .dflt = 0});
    b.AddProperty({.name = "lVisible", .dflt = true, .setter = "SetVisible"});
    b.AddProperty({.name = "lEnabled", .dflt = true, .setter = "SetEnabled"});
    b.AddProperty({.name = "HelpId", .editor = "PE_StringOrNil"});
    b.AddProperty({.name = "oParent", .visibility = kPublic, .setter = "SetParent"});
    b.AddProperty({.name = "oForm", .visibility = kPublic});
    b.AddProperty({.name = "nClientTop", .dflt = 0, .visibility = kPublic});
    b.AddProperty({.name = "nClientLeft", .dflt = 0, .visibility = kPublic});
    b.AddProperty({.name = "nClientWidth", .dflt = 0, .visibility = kPublic});
    b.AddProperty({.name = "nClientHeight", .dflt = 0, .visibility = kPublic});
    b.AddProperty({.name = "lFocused", .dflt = false, .visibility = kPublic, .readOnly = true});
    b.AddProperty({.name = "oActiveControl", .visibility = kPublic});
    b.AddProperty({.name = "lTabStop", .dflt = false, .visibility = kProtected, .readOnly = true});
    b.Data("cWinClassName", Value(), kProtected);
    b.Data("nCtlStyle", static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), kProtected);
    b.Data("nExStyle", 0, kProtected);
    b.Data("nClassStyle", 0, kProtected);
    b.Data("hBkgnd", 0, kProtected);
    b.Data("hBrush", 0, kProtected);
    b.Data("nClrText", static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), kProtected);
    b.Data("nClrPane", static_cast<long long>(GetSysColor(COLOR_BTNFACE)), kProtected);
    b.Data("hTheme", 0, kProtected);
    b.Data("nId", Value(), kPublic | kReadOnly);
    for (const char* e : {"OnCreate", "OnDestroy", "OnDestroyed", "OnShow", "OnHide", "OnClick", "OnBeforeCreate",
                          "OnBeginDrag"})
      b.AddEvent(e, kPublished, "oSender");
    b.AddEvent("OnPaint", kPublished, "oSender, hDC, @cPaintStruct");
    b.AddEvent("OnPainted", kPublished, "oSender, hDC, @cPaintStruct");
    for (const char* e : {"OnLButtonDown", "OnLButtonUp", "OnDblClick", "OnRButtonDown", "OnRButtonUp", "OnMouseMove"})
      b.AddEvent(e, kPublished, "oSender, nKeyFlags, nPosX, nPosY");
    b.AddEvent("OnContextMenu", kPublished, "oSender, nPosX, nPosY");
    b.AddEvent("OnEndDrag", kPublished, "oSender, oFrom");
    b.AddEvent("OnDragOver", kPublished, "oSender, oFrom");
    b.AddEvent("OnRClick", kPublished);
    for (const char* e : {"OnChar", "OnKeyDown", "OnKeyUp"}) b.AddEvent(e, kPublished, "oSender, nKey, nFlags");
    b.AddEvent("OnEnter", kPublished, "oSender, oControl");
    b.AddEvent("OnExit", kPublished, "oSender, oControl");
    b.AddEvent("OnDropFiles", kPublished, "oSender, aPoint");

    b.Constructor("New", &ControlNew);
    b.Constructor("Create", &ControlCreate);
    b.Method("Destroy", &Destroy);
    b.Method("Free", &Free);
    b.Method("GetForm", &GetForm);
    b.Method("Register", &Register);
    b.Method("RegisterClass", &RegisterClassMethod);
    b.Method("Link", &Link);
    b.Method("Unlink", &Unlink);
    b.Method("CreateHandle", &CreateHandle);
    b.Method("SetBounds", &SetBounds);
    b.Method("SetLeft", &SetLeft);
    b.Method("SetTop", &SetTop);
    b.Method("SetWidth", &SetWidth);
    b.Method("SetHeight", &SetHeight);
    b.Method("UpdateBounds", &UpdateBounds);
    b.Method("SetText", &SetText);
    b.Method("GetText", &GetText);
    b.Method("Show", &Show);
    b.Method("Hide", &Hide);
    b.Method("SetVisible", &SetVisible);
    b.Method("Enable", &Enable);
    b.Method("Disable", &Disable);
    b.Method("SetEnabled", &SetEnabled);
    b.Method("SetParent", &SetParent);
    b.Method("SetFocus", &SetFocusMethod);
    b.Method("Valid", &Valid);
    b.Abstract("GotFocus");
    b.Method("GoNextControl", &GoNext);
    b.Method("GoPrevControl", &GoPrev);
    b.Method("Click", &Click);
    b.Method("QVClick", [](Object& self, Args) -> Value { return self.Send("Click"); });
    b.Method("Command", &Command);
    b.Abstract("Notify");
    b.Abstract("AlignControls");
    b.Abstract("InsertComponent");
    b.Abstract("RemoveComponent");
    b.Abstract("DrawItem");
    b.Method("GetCtlColor", &GetCtlColor);
    b.Method("SendMsg", &SendMsgMethod);
    b.Method("PostMsg", &PostMsgMethod);
    b.Method("SetTooltip", &SetTooltip);
    b.Method("SetBalloon", &SetBalloon);
    b.Method("GetTooltip", &GetTooltip);
    b.Method("ApplyTooltips", &ApplyTooltips, kProtected);
    b.Method("RemoveTooltips", &RemoveTooltips, kProtected);
    b.Method("WMDestroy", &WMDestroy);
    b.Method("WMNCDestroy", &WMNCDestroy);
    b.Method("WMWindowPosChanged", &WMWindowPosChanged);
    b.Method("WMSetFocus", &WMSetFocus);
    b.Method("WMKillFocus", &WMKillFocus);
    b.Method("WMKeyDown", &WMKeyDown);
    b.Method("WMKeyUp", &WMKeyUp);
    b.Method("WMChar", &WMChar);
    b.Method("WMLButtonDown", &WMLButtonDown);
    b.Method("WMLButtonUp", &WMLButtonUp);
    b.Method("WMLButtonDblClk", &WMLButtonDblClk);
    b.Method("WMRButtonDown", &WMRButtonDown);
    b.Method("WMRButtonUp", &WMRButtonUp);
    b.Method("WMMouseMove", &WMMouseMove);
    b.Method("WMSetCursor", &WMSetCursor);
    b.Method("SetCursor", &SetCursorMethod);
    return b.Create();
  }();
  return c;
}

Class* TControlClass() {
  static Class* c = DeclarePublicClass("TControl", QControlClass());
  return c;
}

Class* QStdControlClass() {
  static Class* c = [] {
    QVClass b("QStdControl", {TControlClass()});
    b.AddProperty({.name = "cMessage", .editor = "PE_StringOrNil"});
    b.AddProperty({.name = "lBorder", .dflt = false});
    b.AddProperty({.name = "lTabStop", .dflt = true, .setter = "SetTabStop"});
    b.AddProperty({.name = "lDragAcceptFiles", .dflt = false});
    b.AddProperty({.name = "l3D", .dflt = true});
    b.Data("nCtlStyle", static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), kProtected);
    b.Data("nClassStyle", static_cast<long long>(CS_DBLCLKS), kProtected);
    b.Data("aDropFiles", Value::List({}), kPublic | kReadOnly);
    for (const char* e : {"OnChar", "OnKeyDown", "OnKeyUp"}) b.AddEvent(e, kPublished, "oSender, nKey, nFlags");
    b.AddEvent("OnEnter", kPublished, "oSender, oPrevCtl");
    b.AddEvent("OnExit", kPublished, "oSender, oNextCtl");
    b.AddEvent("OnDropFiles", kPublished, "oSender, aFiles, aPoint");
    b.AddEvent("OnCheckState", kPublished, "oSender");
    b.Method("SetTabStop", &SetTabStop);
    b.Method("CreateHandle", &StdCreateHandle);
    b.Method("RequestState", &RequestState);
    return b.Create();
  }();
  return c;
}

Class* TStdControlClass() {
  static Class* c = DeclarePublicClass("TStdControl", QStdControlClass());
  return c;
}

}  // namespace zv
