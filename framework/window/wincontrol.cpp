#include "framework/window/wincontrol.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/core/application.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"

namespace zv {
namespace {

Value Controls(Object& self) {
  Value list = Get(self, "aControls");
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, "aControls", list);
  }
  return list;
}

Value WinCreate(Object& self, Args a) {
  Controls(self).AsList().items.reserve(16);
  return Super(self, "Create", a);
}

// When the window exists: the tab-stop state, and WS_EX_CONTROLPARENT exactly
// when the container itself is not a tab stop (its children are reached).
Value WinCreateHandle(Object& self, Args a) {
  const bool tabStop = Get(self, "lTabStop").AsBool();
  std::int64_t ex = Get(self, "nExStyle").AsInt();
  ex = tabStop ? (ex & ~static_cast<std::int64_t>(WS_EX_CONTROLPARENT)) : (ex | WS_EX_CONTROLPARENT);
  Put(self, "nExStyle", ex);
  return Super(self, "CreateHandle", a);
}

Value InsertControl(Object& self, Args a) {
  Value control = a.Get(0);
  if (!control.IsObject()) return {};
  Controls(self).Append(control);
  if (Get(control, "nAlign").AsInt() != 0) self.Send("AlignControls");
  Value form = self.Send("GetForm");
  if (form.IsObject()) {
    Value message = Has(control, ZV_SYM("cMessage")) ? Get(control, "cMessage") : Value();
    if (message.IsString() && !message.AsString().empty() && Has(form, ZV_SYM("lMsgAuto")))
      form.Send("_lMsgAuto", true);
    if (Has(form, ZV_SYM("AddShortCut"))) form.Send("AddShortCut", control);
  }
  return {};
}

// Removes the control's entry: the entry that is the control itself, else
// the first one with the control's window (a handle of 0 matches nothing:
// every control without a window has one). The form's shortcuts of the
// control go in any case.
Value RemoveControl(Object& self, Args a) {
  Value control = a.Get(0);
  if (!control.IsObject()) return {};
  const Value handle = Get(control, "Handle");
  auto& items = Controls(self).AsList().items;
  auto it = std::find_if(items.begin(), items.end(), [&](const Value& c) { return c.AsObject() == control.AsObject(); });
  if (it == items.end() && handle.AsInt() != 0)
    it = std::find_if(items.begin(), items.end(), [&](const Value& c) { return Get(c, "Handle") == handle; });
  if (it != items.end()) items.erase(it);
  Value form = self.Send("GetForm");
  if (form.IsObject() && Has(form, ZV_SYM("DelShortCut"))) form.Send("DelShortCut", control);
  return {};
}

Value WMDestroy(Object& self, Args a) {
  Value r = Super(self, "WMDestroy", a);
  Controls(self).AsList().items.clear();  // the children's windows go after this one's WM_DESTROY
  return r;
}

Value Free(Object& self, Args a) {
  if (HBRUSH b = ValueHandle<HBRUSH>(Get(self, "hBkgnd"))) {
    DeleteObject(b);
    Put(self, "hBkgnd", 0);
  }
  // Ended and cleared: the members must not point at dead objects.
  Value bkgnd = Get(self, "FoBkgnd");
  Put(self, "FoBkgnd", Value());
  if (bkgnd.IsObject()) bkgnd.Send("End");
  Value menu = Get(self, "FoMenu");
  Put(self, "FoMenu", Value());
  if (menu.IsObject()) menu.Send("Destroy");
  return Super(self, "Free", a);
}

// WM_COMMAND: menus and accelerators, or reflection to the child control.
Value WMCommand(Object& self, Args a) {
  const WPARAM w = ValueWParam(a.Get(0));
  const LPARAM l = ValueLParam(a.Get(1));
  const int code = HIWORD(w);
  const int id = LOWORD(w);
  if (l == 0) {
    if (code == 0) {
      Value form = self.Send("GetForm");
      Value popup = form.IsObject() && Has(form, ZV_SYM("oPopup")) ? Get(form, "oPopup") : Value();
      if (Get(self, "lPopup").AsBool() && popup.IsObject()) popup.Send("DoAction", id);
      else if (Value menu = Get(self, "oMenu"); menu.IsObject()) menu.Send("DoAction", id);
    }
    return {};  // code 1 (accelerator): nothing here
  }
  HWND sender = reinterpret_cast<HWND>(l);
  if (sender == ObjectHwnd(self)) return {};
  Value child = GETCONTROLFROMHANDLE(sender);
  if (child.IsObject()) return child.Send("Command", code, id);
  return {};
}

// WM_NOTIFY: tooltip text requests, and reflection to the sending child.
Value WMNotify(Object& self, Args a) {
  const LPARAM l = ValueLParam(a.Get(1));
  const auto* hdr = reinterpret_cast<const NMHDR*>(l);
  if (!hdr) return {};
  Value sender = GETCONTROLFROMHANDLE(hdr->hwndFrom);
  if (hdr->code == TTN_GETDISPINFOA) {
    // The tool's identifier is the control's window (TTF_IDISHWND).
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(a.Get(1).AsInt());
    Value control = GETCONTROLFROMHANDLE(reinterpret_cast<HWND>(hdr->idFrom));
    if (!control.IsObject()) {
      TOOLINFOA ti{};
      ti.cbSize = sizeof ti;
      if (SendMessageA(hdr->hwndFrom, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&ti)))
        control = GETCONTROLFROMHANDLE(ti.hwnd);
    }
    if (control.IsObject()) {
      const bool balloon = hdr->hwndFrom == ApplicationBalloonWindow();
      Value title = Get(control, "cTooltipTitle");
      SendMessageA(hdr->hwndFrom, TTM_SETTITLEA, static_cast<WPARAM>(Get(control, "nTooltipIcon").AsInt()),
                   reinterpret_cast<LPARAM>(title.IsString() ? title.AsString().c_str() : ""));
      Value text = balloon ? Get(control, "cBalloon") : control.Send("GetTooltip", static_cast<long long>(hdr->idFrom));
      // The text must outlive this call: the tooltip reads it after we return.
      static std::string shown;
      shown = text.IsString() ? text.AsString() : std::string();
      info->lpszText = shown.data();
      info->hinst = nullptr;
      if (!sender.IsObject()) sender = control;
    }
  }
  if (sender.IsObject() && sender.AsObject() != &self) return sender.Send("Notify", a.Get(0), a.Get(1));
  return {};
}

// The five WM_CTLCOLOR... messages.
Value CtlColor(Object& self, Args a) {
  HWND controlWnd = ValueHwnd(a.Get(1));
  Value control = GETCONTROLFROMHANDLE(controlWnd);
  if (control.IsObject() && control.AsObject() != &self) return control.Send("GetCtlColor", a.Get(0));
  HBRUSH brush = ValueHandle<HBRUSH>(Get(self, "hBrush"));
  if (GetParent(controlWnd) == ObjectHwnd(self) && brush) return HandleValue(brush);
  return {};
}

// WM_ERASEBKGND: the client area in the control's background (its brush,
// else its pane colour); the class has no brush of its own to do it.
Value WMEraseBkgnd(Object& self, Args a) {
  HDC dc = ValueHandle<HDC>(a.Get(0));
  HWND hwnd = ValueHwnd(a.Get(2));
  if (!dc || !hwnd) return {};
  RECT r{};
  GetClientRect(hwnd, &r);
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, "hBrush"))) {
    FillRect(dc, &r, brush);
  } else {
    const COLORREF old = SetBkColor(dc, static_cast<COLORREF>(Get(self, "nClrPane").AsInt()));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
  }
  return true;
}

Value WMExitMenuLoop(Object& self, Args a) {
  Put(self, "lPopup", a.Get(0).AsInt() != 0);
  return {};
}

Value WMSize(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (hwnd) {
    RECT c{};
    GetClientRect(hwnd, &c);
    Put(self, "FnClientWidth", static_cast<long long>(c.right));
    Put(self, "FnClientHeight", static_cast<long long>(c.bottom));
  }
  self.Send("AlignControls");
  return {};
}

// The focus arriving at a container goes on to its active (or first) child.
Value WMSetFocus(Object& self, Args a) {
  if (Get(self, "lTabStop").AsBool()) return Super(self, "WMSetFocus", a);
  Value active = Get(self, "oActiveControl");
  if (!active.IsObject() || !ObjectHwnd(active) || !IsWindow(ObjectHwnd(active)))
    Put(self, "oActiveControl", self.Send("GoFirstControl"));
  else
    active.Send("SetFocus");
  return 0;
}

// The active child; the chain of containers up to the form follows it.
Value SetActiveControl(Object& self, Args a) {
  Put(self, "FoActiveControl", a.Get(0));
  Value parent = Get(self, "oParent");
  if (a.Get(0).IsObject() && parent.IsObject() && Has(parent, ZV_SYM("oActiveControl")) &&
      parent.AsObject() != Application().AsObject())
    parent.Send("_oActiveControl", Value(&self));
  return a.Get(0);
}

// A radio button, also one built on "BUTTON" through a class of the framework.
bool IsRadioButton(HWND hwnd) {
  const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE) & 0x0F;
  return (style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON) &&
         SendMessageA(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON;
}

Value GoFirstControl(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) {
    self.Send("GoNextControl", HandleValue(hwnd));
    return {};
  }
  const std::vector<Value> children = Controls(self).AsList().items;
  for (const Value& child : children) {
    HWND h = ObjectHwnd(child);
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    const bool tabStop = Get(child, "lTabStop").AsBool();
    if (tabStop && (!IsRadioButton(h) || (Has(child, ZV_SYM("lChecked")) ? Get(child, "lChecked").AsBool()
                                                                          : SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED))) {
      child.Send("SetFocus");
      return child;
    }
    if (Has(child, ZV_SYM("GoFirstControl")) && Has(child, ZV_SYM("aControls"))) {
      Value r = child.Send("GoFirstControl");
      if (r.IsObject()) return r;
    }
  }
  return {};
}

// The first visible, enabled tab stop among a window's descendants.
HWND FirstTabStop(HWND container) {
  for (HWND c = GetWindow(container, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) continue;
    if (GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP) return c;
    if (HWND inner = FirstTabStop(c)) return inner;
  }
  return nullptr;
}

HWND FindTarget(HWND self, HWND form, HWND start, bool previous) {
  HWND container = self;
  HWND first = FirstTabStop(container);
  while (!first && container && container != form) {
    container = GetParent(container);
    first = container ? FirstTabStop(container) : nullptr;
  }
  if (!first) return nullptr;
  for (int guard = 0; container && guard < 64; ++guard) {
    HWND cand = GetNextDlgTabItem(container, start, previous);
    const bool ok = cand && cand != start && (GetWindowLongPtrA(cand, GWL_STYLE) & WS_TABSTOP) &&
                    (previous || cand != FirstTabStop(container) || start == container);
    if (ok) return cand;
    if (container == form) return FirstTabStop(form);
    start = container;
    container = GetParent(container);
  }
  return nullptr;
}

Value GoDirection(Object& self, Args a, bool previous) {
  if (!a.Get(1).AsBool()) self.Send("RequestState");
  HWND start = ValueHwnd(a.Get(0));
  if (!start) start = GetFocus();
  HWND hwnd = ObjectHwnd(self);
  Value form = self.Send("GetForm");
  HWND formWnd = ObjectHwnd(form.IsObject() ? form : Value(&self));
  HWND target = FindTarget(hwnd, formWnd, start, previous);
  Value from = GETCONTROLFROMHANDLE(start);
  if (target && from.IsObject()) {
    Value to = GETCONTROLFROMHANDLE(target);
    if (Has(from, ZV_SYM("Valid")) && from.Send("Valid", to).IsFalse()) return 0;
    if (Has(from, ZV_SYM("lFocused"))) Put(*from.AsObject(), "lFocused", false);
    HWND again = FindTarget(hwnd, formWnd, start, previous);  // validation may have changed the form
    if (again) ::SetFocus(again);
    RethrowDeferred();
  } else if (target) {
    ::SetFocus(target);
    RethrowDeferred();
  }
  return HandleValue(target);
}

Value GoNextControl(Object& self, Args a) { return GoDirection(self, a, false); }
Value GoPrevControl(Object& self, Args a) { return GoDirection(self, a, true); }

// Its own request, then every standard child's, from the last to the first.
Value RequestState(Object& self, Args a) {
  Super(self, "RequestState", a);
  const std::vector<Value> children = Controls(self).AsList().items;
  for (auto it = children.rbegin(); it != children.rend(); ++it)
    if (it->IsObject() && it->AsObject()->GetClass()->IsDerivedFrom(TStdControlClass())) it->Send("RequestState");
  return {};
}

Value SetMenu(Object& self, Args a) {
  Put(self, "FoMenu", a.Get(0));
  return a.Get(0);
}

Value SetBkgnd(Object& self, Args a) {
  Put(self, "FoBkgnd", a.Get(0));
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return a.Get(0);
}

Value SetBkgndMode(Object& self, Args a) {
  Put(self, "FnBkgndMode", a.Get(0));
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return a.Get(0);
}

Value Redraw(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
  return {};
}

}  // namespace

Class* QWinControlClass() {
  static Class* c = [] {
    QVClass b("QWinControl", {TStdControlClass()});
    b.AddProperty({.name = "lTabStop", .dflt = false});
    b.AddProperty({.name = "oBkgnd", .valueClass = "TPicture", .setter = "SetBkgnd", .editor = "PE_Picture"});
    b.AddProperty({.name = "nBkgndMode", .dflt = 0, .setter = "SetBkgndMode",
                   .valueNames = Value::List({Value::List({"blCOPY", 0}), Value::List({"blCENTER", 1}),
                                              Value::List({"blTILED", 2}), Value::List({"blSTRETCH", 3})})});
    b.AddProperty({.name = "oMenu", .visibility = kPublic, .setter = "SetMenu"});
    b.AddProperty({.name = "oActiveControl", .visibility = kPublic, .setter = "SetActiveControl"});
    b.Data("nCtlStyle", static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), kProtected);
    b.Data("nExStyle", static_cast<long long>(WS_EX_CONTROLPARENT), kProtected);
    b.Data("hBkgnd", 0, kProtected);
    b.Data("lPopup", false, kProtected);
    b.Data("aControls", Value::List({}), kPublic | kReadOnly);
    b.Constructor("Create", &WinCreate);
    b.Method("CreateHandle", &WinCreateHandle);
    b.Method("Free", &Free);
    b.Method("InsertControl", &InsertControl);
    b.Method("RemoveControl", &RemoveControl);
    b.Method("GoNextControl", &GoNextControl);
    b.Method("GoPrevControl", &GoPrevControl);
    b.Method("GoFirstControl", &GoFirstControl);
    b.Method("RequestState", &RequestState);
    b.Method("CtlColor", &CtlColor);
    b.Method("SetMenu", &SetMenu);
    b.Method("SetBkgnd", &SetBkgnd);
    b.Method("SetBkgndMode", &SetBkgndMode);
    b.Method("SetActiveControl", &SetActiveControl);
    b.Method("Redraw", &Redraw);
    b.Method("WMSetFocus", &WMSetFocus);
    b.Method("WMCommand", &WMCommand);
    b.Method("WMNotify", &WMNotify);
    b.Method("WMSize", &WMSize);
    b.Method("WMDestroy", &WMDestroy);
    b.Method("WMExitMenuLoop", &WMExitMenuLoop);
    b.Method("WMEraseBkgnd", &WMEraseBkgnd);
    for (const char* m : {"WMCtlColorStatic", "WMCtlColorBtn", "WMCtlColorEdit", "WMCtlColorListBox",
                          "WMCtlColorScrollBar"})
      b.Method(m, &CtlColor);
    return b.Create();
  }();
  return c;
}

Class* TWinControlClass() {
  static Class* c = DeclarePublicClass("TWinControl", QWinControlClass());
  return c;
}

}  // namespace zv
