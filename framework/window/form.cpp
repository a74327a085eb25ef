#include "framework/window/form.h"

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <string>

#include "framework/core/application.h"
#include "framework/core/environment.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/messages.h"

namespace zv {
namespace {

bool IsMdiChild(Object& self) { return Get(self, sym::FnFormType).AsInt() == 2; }
bool IsMdiFrame(Object& self) { return Get(self, sym::FnFormType).AsInt() == 1; }

Value ObjectOfWindow(HWND hwnd) { return hwnd ? GETCONTROLFROMHANDLE(hwnd) : Value(); }

bool IsForm(const Value& v) { return v.IsObject() && v.AsObject()->GetClass()->IsDerivedFrom(QFormClass()); }

// ---------------------------------------------------------------- construction

// New(oParent): the scrolling control's construction, then the subclass's
// CreateForm, OnInitialize and the MDI client of a frame.
Value FormNew(Object& self, Args a) {
  Super(self, sym::New, a);
  self.Send(sym::CreateForm);
  self.Send(sym::OnInitialize);
  self.Send(sym::CreateMDIClient);
  return Value(&self);
}

// The seven border styles: window style, extended style, class style and
// the window class used when the form's class does not name its own.
struct BorderStyle {
  DWORD style;
  DWORD exStyle;
  UINT classStyle;
  const char* className;
};

constexpr DWORD kStartStyle = WS_CAPTION | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU;

BorderStyle StyleOf(long long n) {
  switch (n) {
    case 0: return {WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, "TFormNone"};
    case 1: return {kStartStyle, 0, 0, "TFormSingle"};
    case 3:
      return {WS_DLGFRAME | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER,
              WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE, CS_SAVEBITS, "TDialog"};
    case 4: return {kStartStyle, WS_EX_TOOLWINDOW, 0, "TToolWindow"};
    case 5: return {kStartStyle | WS_THICKFRAME, WS_EX_TOOLWINDOW, 0, "TSizeToolWin"};
    case 6: {
      // The drop shadow exists from Windows XP's successors on (version 6).
      const bool shadow = GETVERSIONEX().Item(1).AsDouble() >= 6.0;
      return {WS_POPUP | WS_CLIPCHILDREN | WS_BORDER, WS_EX_TOPMOST, shadow ? CS_DROPSHADOW : 0u, "TSplash"};
    }
    default: return {kStartStyle | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, 0, "TForm"};
  }
}

bool IsStyleClassName(const std::string& name) {
  for (long long n = 0; n <= 6; ++n)
    if (name == StyleOf(n).className) return true;
  return name.empty() || name == "QForm";
}

// SetBorderStyle(nStyle): the style's window and class styles, and its
// window class unless the form's class names its own. -1 keeps the styles.
Value FormSetBorderStyle(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnBorderStyle, a.Get(0).AsInt());
  const long long n = Get(self, sym::FnBorderStyle).AsInt();
  if (IsStyleClassName(Get(self, sym::ClassName).AsString())) Put(self, sym::set::ClassName, "");
  if (n != -1) {
    const BorderStyle b = StyleOf(n);
    Put(self, sym::set::nCtlStyle, static_cast<long long>(b.style));
    Put(self, sym::set::nExStyle, static_cast<long long>(b.exStyle));
    if (b.classStyle) Put(self, sym::set::nClassStyle, static_cast<long long>(b.classStyle));
    if (Get(self, sym::ClassName).AsString().empty()) Put(self, sym::set::ClassName, b.className);
  }
  return n;
}

// Create(oParent): the window, once; the form is registered with the
// application even when the window could not be made.
Value FormCreate(Object& self, Args a) {
  if (Get(self, sym::lCreated).AsBool()) return Value(&self);
  Value parent = a.Get(0);
  if (!parent.IsObject()) parent = Get(self, sym::oParent);
  if (!parent.IsObject()) parent = ObjectOfWindow(GetActiveWindow());
  if (!parent.IsObject()) parent = Application();
  Value argv[] = {parent};
  return Super(self, sym::Create, Args(argv, 1));
}

// Removes the Close item of the system menu, with the separator before it.
void RemoveCloseItem(HWND hwnd) {
  HMENU menu = GetSystemMenu(hwnd, FALSE);
  if (!menu) return;
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    if (GetMenuItemID(menu, i) != SC_CLOSE) continue;
    DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (i > 0) {
      const UINT before = GetMenuItemID(menu, i - 1);
      if (before == 0 || before == 61455 || before == static_cast<UINT>(-1)) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (GetMenuItemInfoA(menu, static_cast<UINT>(i - 1), TRUE, &info) && (info.fType & MFT_SEPARATOR))
          DeleteMenu(menu, static_cast<UINT>(i - 1), MF_BYPOSITION);
      }
    }
    break;
  }
}

HICON FormIcon(Object& self) {
  const Value icon = self.Send(sym::GetIcon);
  if (icon.IsObject()) return Has(icon, sym::Handle) ? ObjectHandle<HICON>(icon) : nullptr;
  return icon.IsNumber() ? ValueHandle<HICON>(icon) : nullptr;
}

int IntOf(const Value& v) {
  const long long n = v.AsInt();
  return static_cast<int>(static_cast<std::uint32_t>(n));  // CW_USEDEFAULT arrives as 2147483648
}

// Makes the form's window: styles from the border style and the caption
// elements, the window's parent (an MDI child's is its frame's client),
// then the font, bounds, client size and icon.
Value FormCreateHandle(Object& self, Args) {
  Put(self, sym::set::FoForm, Value(&self));
  if (Get(self, sym::FlModal).AsBool() && IsMdiChild(self)) Put(self, sym::set::FnFormType, 0);
  self.Send(sym::SetBorderStyle);
  std::int64_t style = Get(self, sym::nCtlStyle).AsInt();
  std::int64_t ex = Get(self, sym::nExStyle).AsInt() | WS_EX_CONTROLPARENT;
  if (!Get(self, sym::FlSysMenu).AsBool()) style &= ~static_cast<std::int64_t>(WS_SYSMENU);
  if (!Get(self, sym::FlMinimizeBox).AsBool()) style &= ~static_cast<std::int64_t>(WS_MINIMIZEBOX);
  if (!Get(self, sym::FlMaximizeBox).AsBool()) style &= ~static_cast<std::int64_t>(WS_MAXIMIZEBOX);
  if (Get(self, sym::FlHelpIcon).AsBool()) ex |= WS_EX_CONTEXTHELP;
  const bool mdiChild = IsMdiChild(self);
  if (mdiChild) ex |= WS_EX_MDICHILD;
  else if (Get(self, sym::FlAppWindow).AsBool() || !Get(Application(), sym::oMainForm).IsObject()) ex |= WS_EX_APPWINDOW;
  if (Get(self, sym::lVisible).AsBool()) style |= WS_VISIBLE;
  else style &= ~static_cast<std::int64_t>(WS_VISIBLE);
  if (!Get(self, sym::lEnabled).AsBool()) style |= WS_DISABLED;
  Put(self, sym::set::nCtlStyle, style);
  Put(self, sym::set::nExStyle, ex);
  Put(self, sym::set::hTheme, 0);
  Put(self, sym::set::nId, 0);

  self.Send(sym::Register);
  self.Send(sym::OnBeforeCreate);
  self.Send(sym::Link, mdiChild);

  const Value parent = Get(self, sym::oParent);
  HWND parentWnd = nullptr;
  if (mdiChild && IsForm(parent) && Get(parent, sym::oMdiClient).IsObject()) {
    const Value client = Get(parent, sym::oMdiClient);
    Put(self, sym::set::oMdiClient, client);
    parentWnd = ObjectHwnd(client);
  } else if (parent.IsObject() && parent.AsObject() != Application().AsObject()) {
    parentWnd = ObjectHwnd(parent);
  }
  const Value clientW = Get(self, sym::nClientWidth), clientH = Get(self, sym::nClientHeight);
  HWND hwnd = CREATEWINDOW(Get(self, sym::ClassName).AsString(), Get(self, sym::FcText).AsString(),
                           static_cast<DWORD>(style), static_cast<DWORD>(ex), IntOf(Get(self, sym::FnLeft)),
                           IntOf(Get(self, sym::FnTop)), IntOf(Get(self, sym::FnWidth)), IntOf(Get(self, sym::FnHeight)),
                           parentWnd, 0);
  RethrowDeferred();
  if (hwnd) {
    Put(self, sym::set::Handle, HandleValue(hwnd));
    Put(self, sym::set::lCreated, true);
    if ((style & WS_CHILD) && !mdiChild && parent.IsObject() && Has(parent, sym::InsertControl))
      parent.Send(sym::InsertControl, Value(&self));
    if (HFONT font = ObjectHandle<HFONT>(self.Send(sym::GetFont)))
      SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    self.Send(sym::UpdateBounds);
    const long long cw = clientW.IsNumber() ? clientW.AsInt() : 0, ch = clientH.IsNumber() ? clientH.AsInt() : 0;
    if (cw > 0 || ch > 0) self.Send(sym::SetClientSize, cw > 0 ? Value(cw) : Value(), ch > 0 ? Value(ch) : Value());
    if (HICON icon = FormIcon(self)) SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (!Get(self, sym::FlCloseBox).AsBool()) RemoveCloseItem(hwnd);
  } else {
    CancelPendingLink(self);
    Put(self, sym::set::Handle, 0);
  }
  if (Application().IsObject()) Application().Send(sym::InsertForm, Value(&self));
  if (mdiChild) {
    const Value client = Get(self, sym::oMdiClient);
    if (client.IsObject()) client.Send(sym::InsertForm, Value(&self));
  }
  if (hwnd && Get(self, sym::FlDragAcceptFiles).AsBool()) DragAcceptFiles(hwnd, TRUE);
  return HandleValue(hwnd);
}

// A form's own InsertControl is the scrolling control's; the status bar
// lays itself out and is kept out of the virtual area.
Value FormInsertControl(Object& self, Args a) {
  const Value bar = Get(self, sym::oMsgBar);
  if (bar.IsObject() && a.Get(0).AsObject() == bar.AsObject()) return {};
  return Super(self, sym::InsertControl, a);
}

// ---------------------------------------------------------------- showing

void Centre(Object& self, HWND hwnd) {
  RECT area{}, win{};
  const Value client = Get(self, sym::oMdiClient);
  if (IsMdiChild(self) && ObjectHwnd(client)) GetClientRect(ObjectHwnd(client), &area);
  else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(hwnd, &win);
  const int w = win.right - win.left, h = win.bottom - win.top;
  SetWindowPos(hwnd, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2, 0,
               0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Show(nShowMode, lCentered): the window (made when missing), centred
// before it first appears when asked, shown; an MDI child is activated in
// its client, any other form makes its MDI client.
Value FormShow(Object& self, Args a) {
  if (!ObjectHwnd(self)) self.Send(sym::Create);
  HWND hwnd = ObjectHwnd(self);
  const Value mode = a.Has(0) ? a.Get(0) : Get(self, sym::FnShowMode);
  const bool centred = a.Has(1) ? a.Get(1).AsBool() : Get(self, sym::FlCentered).AsBool();
  if (hwnd && centred && !IsWindowVisible(hwnd)) Centre(self, hwnd);
  Value argv[] = {mode};
  Super(self, sym::Show, Args(argv, 1));
  if (!ObjectHwnd(self)) return {};
  self.Send(sym::UpdateBounds);
  if (IsMdiChild(self)) {
    const Value client = Get(self, sym::oMdiClient);
    if (HWND c = ObjectHwnd(client)) SendMessageA(c, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
  } else {
    self.Send(sym::CreateMDIClient);
  }
  return {};
}

Value FormShowModal(Object& self, Args a) {
  if (!ObjectHwnd(self)) self.Send(sym::Create);
  return ShowModalForm(Value(&self), a.Get(0), a.Get(1));
}

// Close(lForce): WM_CLOSE with the flag; true when the form has no window
// any more or is hidden.
Value Close(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  if (hwnd) {
    SendMessageA(hwnd, WM_CLOSE, a.Get(0).AsBool() ? 1 : 0, 0);
    RethrowDeferred();
  }
  hwnd = ObjectHwnd(self);
  return !hwnd || !IsWindow(hwnd) || !IsWindowVisible(hwnd);
}

Value ShowCommand(Object& self, int command) {
  if (HWND hwnd = ObjectHwnd(self)) ShowWindow(hwnd, command);
  RethrowDeferred();
  return {};
}
Value Restore(Object& self, Args) { return ShowCommand(self, SW_RESTORE); }
Value Maximize(Object& self, Args) { return ShowCommand(self, SW_MAXIMIZE); }
Value Minimize(Object& self, Args) { return ShowCommand(self, SW_MINIMIZE); }

// SetFocus: an MDI child is activated through its client; any other form
// gets the focus. Answers false.
Value FormSetFocus(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !IsWindowVisible(hwnd)) return false;
  const Value client = Get(self, sym::oMdiClient);
  HWND c = ObjectHwnd(client);
  if (IsMdiChild(self) && c) {
    const Value forms = Get(client, sym::aForms);
    if (forms.Len() < 2) SendMessageA(c, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hwnd), 0);
    else SendMessageA(c, WM_MDINEXT, reinterpret_cast<WPARAM>(GetWindow(hwnd, GW_HWNDNEXT)), TRUE);
  } else {
    ::SetFocus(hwnd);
  }
  RethrowDeferred();
  return false;
}

// ---------------------------------------------------------------- identifiers, shortcuts, components

Value GetNewID(Object& self, Args) {
  const Value id = Get(self, sym::nLastID);
  Put(self, sym::set::nLastID, id.AsInt() + 1);
  return id;
}

Value Shortcuts(Object& self) {
  Value list = Get(self, sym::aShortCut);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aShortCut, list);
  }
  return list;
}

std::string UpperKey(const Value& key) {
  std::string s = key.IsString() ? key.AsString() : std::string();
  if (s.empty()) return s;
  return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(s[0]))));
}

// AddShortCut(oControl, aKeys): the letter after the first "&" of the
// control's text (implicit), or each given key (explicit).
Value AddShortCut(Object& self, Args a) {
  const Value control = a.Get(0);
  if (!control.IsObject()) return {};
  Value list = Shortcuts(self);
  if (a.Get(1).IsList()) {
    for (const Value& k : a.Get(1).AsList().items) {
      const std::string key = UpperKey(k);
      if (!key.empty()) list.Append(Value::List({control, key, true}));
    }
    return {};
  }
  const Value text = Has(control, sym::cText) ? Get(control, sym::FcText) : Value();
  if (!text.IsString()) return {};
  const std::string& t = text.AsString();
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != '&') continue;
    if (t[i + 1] == '&') {  // "&&" is a literal ampersand
      ++i;
      continue;
    }
    list.Append(Value::List({control, UpperKey(Value(t.substr(i + 1, 1))), false}));
    break;
  }
  return {};
}

Value DelShortCut(Object& self, Args a) {
  const Value control = a.Get(0);
  auto& items = Shortcuts(self).AsList().items;
  std::erase_if(items, [&](const Value& e) { return e.Item(1).AsObject() == control.AsObject(); });
  return {};
}

Value InsertComponent(Object& self, Args a) {
  const Value c = a.Get(0);
  if (!c.IsObject()) return {};
  Value list = Get(self, sym::aComponents);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aComponents, list);
  }
  for (const Value& e : list.AsList().items)
    if (e.AsObject() == c.AsObject()) return {};
  list.Append(c);
  return {};
}

Value RemoveComponent(Object& self, Args a) {
  Value list = Get(self, sym::aComponents);
  if (!list.IsList()) return {};
  auto& items = list.AsList().items;
  std::erase_if(items, [&](const Value& e) { return e.AsObject() == a.Get(0).AsObject(); });
  return {};
}

Value CreateMDIClient(Object& self, Args) {
  if (!IsMdiFrame(self) || !ObjectHwnd(self) || Get(self, sym::oMdiClient).IsObject()) return {};
  Value client = NewObject(TMDIClientClass(), Value(&self));
  Put(self, sym::set::oMdiClient, client);
  client.Send(sym::Create, Value(&self));
  const Value menu = Get(self, sym::FoMDIMenu);
  if (HWND c = ObjectHwnd(client); c && menu.IsObject())
    SendMessageA(c, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(ObjectHandle<HMENU>(menu)));
  return client;
}

// ---------------------------------------------------------------- saved state

Value SaveState(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!hwnd || !GetWindowPlacement(hwnd, &wp)) return "";
  const RECT& r = wp.rcNormalPosition;
  char state = IsIconic(hwnd) ? 'M' : IsZoomed(hwnd) ? 'X' : 'N';
  if (!IsWindowVisible(hwnd)) state = static_cast<char>(std::tolower(state));
  char text[24];
  std::snprintf(text, sizeof text, "%04X%04X%04X%04X%c", static_cast<unsigned>(r.left) & 0xFFFF,
                static_cast<unsigned>(r.top) & 0xFFFF, static_cast<unsigned>(r.right - r.left) & 0xFFFF,
                static_cast<unsigned>(r.bottom - r.top) & 0xFFFF, state);
  return std::string(text);
}

Value RestoreState(Object& self, Args a) {
  const Value text = a.Get(0);
  if (!text.IsString() || text.AsString().size() != 17) return false;
  const std::string& t = text.AsString();
  int fields[4];
  for (int i = 0; i < 4; ++i) {
    unsigned v = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = t[static_cast<std::size_t>(i * 4 + k)];
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
      v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    fields[i] = static_cast<short>(v);
  }
  const char state = t[16];
  self.Send(sym::SetBounds, fields[0], fields[1], fields[2], fields[3]);
  if (a.Get(1).AsBool()) return true;
  if (state == 'X' || state == 'x') self.Send(sym::Maximize);
  else if (state == 'M' || state == 'm') self.Send(sym::Minimize);
  if (std::isupper(static_cast<unsigned char>(state))) self.Send(sym::Show);
  else self.Send(sym::Hide);
  return true;
}

// ---------------------------------------------------------------- icon, limits, help

Value GetIcon(Object& self, Args) {
  const Value own = Get(self, sym::FoIcon);
  if (own.IsObject() || own.IsNumber()) return own;
  if (!Get(self, sym::FlParentIcon).AsBool()) return own;
  const Value parent = Get(self, sym::oParent);
  if (IsForm(parent)) return parent.Send(sym::GetIcon);
  return Application().IsObject() ? Application().Send(sym::GetIcon) : Value();
}

// SetIcon(oIcon, lParentIcon): an icon of the form's own (an icon object
// or handle), or the parent's with the flag.
Value SetIcon(Object& self, Args a) {
  if (a.Has(1)) Put(self, sym::set::FlParentIcon, a.Get(1).AsBool());
  if (a.size() > 0) {
    Put(self, sym::set::FoIcon, a.Get(0));
    if (a.Has(0) && !a.Has(1)) Put(self, sym::set::FlParentIcon, false);
  }
  if (HWND hwnd = ObjectHwnd(self))
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FormIcon(self)));
  return self.Send(sym::GetIcon);
}

Value SetParentIcon(Object& self, Args a) {
  self.Send(sym::SetIcon, Value(), a.Get(0).AsBool());
  return a.Get(0);
}

Value SetFormParentFont(Object& self, Args a) {
  Put(self, sym::set::FlParentFont, a.Get(0).AsBool());
  return a.Get(0);
}

Value SetCentered(Object& self, Args a) {
  Put(self, sym::set::FlCentered, a.Get(0).AsBool());
  if (HWND hwnd = ObjectHwnd(self); hwnd && a.Get(0).AsBool()) Centre(self, hwnd);
  return a.Get(0);
}

template <SetterSymbol const& first, SetterSymbol const& second>
Value SetPair(Object& self, Args a) {
  if (a.Has(0)) Put(self, first, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, second, a.Get(1).AsInt());
  return {};
}
Value SetMinSize(Object& self, Args a) { return SetPair<sym::set::FnMinWidth, sym::set::FnMinHeight>(self, a); }
Value SetMaxSize(Object& self, Args a) { return SetPair<sym::set::FnMaxWidth, sym::set::FnMaxHeight>(self, a); }
Value SetMaxPos(Object& self, Args a) { return SetPair<sym::set::FnMaxPosX, sym::set::FnMaxPosY>(self, a); }
Value SetMinWidth(Object& self, Args a) { return self.Send(sym::SetMinSize, a.Get(0)), a.Get(0); }
Value SetMinHeight(Object& self, Args a) { return self.Send(sym::SetMinSize, Value(), a.Get(0)), a.Get(0); }
Value SetMaxWidth(Object& self, Args a) { return self.Send(sym::SetMaxSize, a.Get(0)), a.Get(0); }
Value SetMaxHeight(Object& self, Args a) { return self.Send(sym::SetMaxSize, Value(), a.Get(0)), a.Get(0); }
Value SetMaxPosX(Object& self, Args a) { return self.Send(sym::SetMaxPos, a.Get(0)), a.Get(0); }
Value SetMaxPosY(Object& self, Args a) { return self.Send(sym::SetMaxPos, Value(), a.Get(0)), a.Get(0); }

Value SetMDIMenu(Object& self, Args a) {
  Put(self, sym::set::FoMDIMenu, a.Get(0));
  const Value client = Get(self, sym::oMdiClient);
  if (HWND c = ObjectHwnd(client); c && a.Get(0).IsObject())
    SendMessageA(c, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(ObjectHandle<HMENU>(a.Get(0))));
  return a.Get(0);
}

// Help(oSender, HelpId, nX, nY): the form's OnHelp when bound, else the
// application's help.
Value Help(Object& self, Args a) {
  if (EventAssigned(self, sym::OnHelp.name())) {
    self.Send(sym::OnHelp, a.Get(0), a.Get(1), a.Get(2), a.Get(3));
    return {};
  }
  if (Application().IsObject()) Application().Send(sym::Help, a.Get(0), a.Get(1), a.Get(2), a.Get(3));
  return {};
}

// ---------------------------------------------------------------- closing and destruction

// WM_CLOSE (wParam: forced): OnClose may refuse; the previous window gets
// back the focus; the form hides or is destroyed.
Value WMClose(Object& self, const WinMsg& m) {
  if (!m.wParam) {
    const Value close = Value::Ref(true);
    const Value r = self.Send(sym::OnClose, close);
    if (r.IsFalse() || close.Deref().IsFalse()) return 0;
  }
  if (!IsWindow(m.hwnd)) return 0;  // the handler destroyed the form
  if (m.lParam == 0) {
    const Value prev = Get(self, sym::oPrevWnd);
    if (HWND p = ObjectHwnd(prev); p && IsWindow(p)) {
      EnableWindow(p, TRUE);
      ::SetFocus(p);
      Put(self, sym::set::oPrevWnd, Value());
    } else if (const Value parent = Get(self, sym::oParent); IsForm(parent) && ObjectHwnd(parent)) {
      EnableWindow(ObjectHwnd(parent), TRUE);
    }
  }
  if (Get(self, sym::FlHideOnClose).AsBool()) {
    self.Send(sym::Hide);
    return 0;
  }
  return {};
}

Value FormNCDestroy(Object& self, const WinMsg& m) {
  const Value client = Get(self, sym::oMdiClient);
  const bool child = IsMdiChild(self);
  Value r = SuperHandler(self, sym::WMNCDestroy, m);
  if (Application().IsObject()) Application().Send(sym::RemoveForm, Value(&self));
  if (child && client.IsObject()) client.Send(sym::RemoveForm, Value(&self));
  Put(self, sym::set::lActive, false);
  return r;
}

// Free: the components the form owns end, last first; an own icon goes.
Value FormFree(Object& self, Args a) {
  Put(self, sym::set::OnSize, Value());
  const Value list = Get(self, sym::aComponents);
  const std::vector<Value> components = list.IsList() ? list.AsList().items : std::vector<Value>();
  for (auto it = components.rbegin(); it != components.rend(); ++it)
    if (it->IsObject() && Has(*it, sym::End)) it->Send(sym::End);
  Put(self, sym::set::aComponents, Value::List({}));
  Put(self, sym::set::FoActiveControl, Value());
  if (!Get(self, sym::FlParentIcon).AsBool()) {
    const Value icon = Get(self, sym::FoIcon);
    Put(self, sym::set::FoIcon, Value());
    if (icon.IsObject() && Has(icon, sym::Destroy)) icon.Send(sym::Destroy);
  }
  return Super(self, sym::Free, a);
}

// ---------------------------------------------------------------- keys

bool Usable(const Value& control) {
  HWND h = ObjectHwnd(control);
  return h && IsWindowEnabled(h) && IsWindowVisible(h);
}

// Alt + letter (and plain letters with lDirectShortCuts): the first enabled,
// visible control with that shortcut.
Value WMSysChar(Object& self, const KeyMsg& m) {
  if (m.key <= 0 || m.key > 255) return {};
  const std::string key(1, static_cast<char>(std::toupper(m.key)));
  const std::vector<Value> entries = Shortcuts(self).AsList().items;
  for (const Value& e : entries) {
    if (e.Item(2).AsString() != key) continue;
    const Value control = e.Item(1);
    if (!Usable(control)) continue;
    return e.Item(3).AsBool() ? control.Send(sym::ShortCut, key) : control.Send(sym::ShortCut);
  }
  return {};
}

Value FormKeyDown(Object& self, const KeyMsg& m) {
  Value r = self.Send(sym::OnKeyDown, m.key, m.flags);
  if (!r.IsNil()) return r;
  if (m.key == VK_RETURN) {
    const Value button = Get(self, sym::oDefaultButton);
    if (Usable(button)) {
      const Value active = Get(self, sym::FoActiveControl);
      if (!(active.IsObject() && active.AsObject() != button.AsObject() && Has(active, sym::Valid) &&
            active.Send(sym::Valid, button).IsFalse()))
        button.Send(sym::Click);
      return 0;
    }
    if (Application().IsObject() && Get(Application(), sym::lUseReturn).AsBool()) {
      self.Send(sym::GoNextControl);
      return 0;
    }
    return {};
  }
  if (m.key == VK_ESCAPE) {
    const Value button = Get(self, sym::oCancelButton);
    if (Usable(button)) {
      button.Send(sym::Click);
      return 0;
    }
    if (Get(self, sym::FnBorderStyle).AsInt() == 3) {
      self.Send(sym::Close);
      return 0;
    }
  }
  return {};
}

Value FormKeyUp(Object& self, const KeyMsg& m) { return self.Send(sym::OnKeyUp, m.key, m.flags); }

Value FormChar(Object& self, const KeyMsg& m) {
  Value r = self.Send(sym::OnChar, m.key, m.flags);
  if (!r.IsNil()) return r;
  if (m.key == VK_RETURN || m.key == VK_ESCAPE) return 0;
  if (Get(self, sym::FlDirectShortCuts).AsBool()) return WMSysChar(self, m);
  return {};
}

Value WMMove(Object& self, const WinMsg& m) {
  return self.Send(sym::OnMove, static_cast<long long>(static_cast<short>(LOWORD(m.lParam))),
                   static_cast<long long>(static_cast<short>(HIWORD(m.lParam))));
}

// ---------------------------------------------------------------- activation, size, focus

Value WMActivate(Object& self, const WinMsg& m) {
  const Value other = ObjectOfWindow(reinterpret_cast<HWND>(m.lParam));
  const Value otherForm = IsForm(other) ? other : Value();
  if (LOWORD(m.wParam) != WA_INACTIVE) {
    Put(self, sym::set::lActive, true);
    if (!Get(self, sym::oPrevWnd).IsObject() && otherForm.IsObject() && otherForm.AsObject() != &self)
      Put(self, sym::set::oPrevWnd, otherForm);
    if (Application().IsObject()) Application().Send(sym::SetActiveForm, Value(&self));
    return self.Send(sym::OnActivate, otherForm);
  }
  Put(self, sym::set::lActive, false);
  return self.Send(sym::OnDeactivate, otherForm);
}

// An MDI child gets no WM_ACTIVATE: its activation arrives as
// WM_NCACTIVATE (the caption drawn active or not), sent by the MDI client
// to the child that gains and to the one that loses. The child then is its
// client's active form and fires OnActivate / OnDeactivate like any form.
// Default processing follows (it draws the caption).
Value WMNCActivate(Object& self, const WinMsg& m) {
  if (!IsMdiChild(self)) return {};
  const bool active = m.wParam != 0;
  if (active == Get(self, sym::lActive).AsBool()) return {};
  const Value client = Get(self, sym::oMdiClient);
  Put(self, sym::set::lActive, active);
  if (active) {
    const Value previous = client.IsObject() ? Get(client, sym::oActiveForm) : Value();
    if (client.IsObject()) client.Send(sym::SetActiveForm, Value(&self));
    self.Send(sym::OnActivate, previous.AsObject() == &self ? Value() : previous);
  } else {
    self.Send(sym::OnDeactivate, Value());
  }
  RethrowDeferred();
  return {};
}

// WM_CHILDACTIVATE (an MDI child activated, moved or sized): the client's
// record of its active child follows the client itself.
Value WMChildActivate(Object& self, const WinMsg& m) {
  if (!IsMdiChild(self)) return {};
  const Value client = Get(self, sym::oMdiClient);
  if (HWND c = ObjectHwnd(client); c && reinterpret_cast<HWND>(SendMessageA(c, WM_MDIGETACTIVE, 0, 0)) == m.hwnd)
    client.Send(sym::SetActiveForm, Value(&self));
  return {};
}

// The tracking limits hold for sizes set by the program too (Windows
// applies WM_GETMINMAXINFO only to sizing by the user and to maximising).
Value WMWindowPosChanging(Object& self, const WinMsg& m) {
  auto* pos = reinterpret_cast<WINDOWPOS*>(m.lParam);
  if (!pos || (pos->flags & SWP_NOSIZE) || IsIconic(m.hwnd) || IsZoomed(m.hwnd)) return {};
  const long long minW = Get(self, sym::FnMinWidth).AsInt(), minH = Get(self, sym::FnMinHeight).AsInt();
  const long long maxW = Get(self, sym::FnMaxWidth).AsInt(), maxH = Get(self, sym::FnMaxHeight).AsInt();
  if (maxW > 0 && pos->cx > maxW) pos->cx = static_cast<int>(maxW);
  if (maxH > 0 && pos->cy > maxH) pos->cy = static_cast<int>(maxH);
  if (minW > 0 && pos->cx < minW) pos->cx = static_cast<int>(minW);
  if (minH > 0 && pos->cy < minH) pos->cy = static_cast<int>(minH);
  return {};
}

Value FormSize(Object& self, const SizeMsg& m) {
  SuperHandler(self, sym::WMSize, m);
  const Value bar = Get(self, sym::oMsgBar);
  if (bar.IsObject() && Has(bar, sym::Resize)) bar.Send(sym::Resize);
  if (m.kind == 0 && m.lParam == 0) return 0;
  Value r = self.Send(sym::OnSize, m.kind, m.width, m.height);
  if (r.IsNil() && !IsMdiChild(self)) return 0;
  return r;
}

Value WMShowWindow(Object& self, const WinMsg& m) {
  if (m.wParam && m.lParam == 0) self.Send(sym::AlignControls);
  return {};
}

// The focus arriving at an MDI frame goes to its active child.
Value FormSetFocusMsg(Object& self, const FocusMsg& m) {
  const Value client = Get(self, sym::oMdiClient);
  if (HWND c = ObjectHwnd(client); c && IsMdiFrame(self)) {
    HWND active = reinterpret_cast<HWND>(SendMessageA(c, WM_MDIGETACTIVE, 0, 0));
    if (active) {
      if (active == m.other) PostMessageA(active, WM_CHILDACTIVATE, 0, 0);
      else SendMessageA(active, WM_CHILDACTIVATE, 0, 0);
      return 0;
    }
  }
  return SuperHandler(self, sym::WMSetFocus, m);
}

// Menu commands: the open pop-up menu, an MDI frame's active child's menu,
// or the form's menu; anything else is the windowed control's.
Value FormCommand(Object& self, const CommandMsg& m) {
  if (!m.control && m.code == 0) {
    Value menu;
    const Value popup = Get(self, sym::oPopup);
    if (Get(self, sym::lPopup).AsBool() && popup.IsObject()) {
      menu = popup;
    } else if (IsMdiFrame(self)) {
      const Value client = Get(self, sym::oMdiClient);
      const Value own = Get(self, sym::FoMenu);
      HWND c = ObjectHwnd(client);
      HWND active = c ? reinterpret_cast<HWND>(SendMessageA(c, WM_MDIGETACTIVE, 0, 0)) : nullptr;
      const Value child = ObjectOfWindow(active);
      const HMENU shown = GetMenu(m.hwnd);
      if (child.IsObject() && (!own.IsObject() || ObjectHandle<HMENU>(own) != shown)) menu = Get(child, sym::FoMenu);
    }
    if (!menu.IsObject()) menu = Get(self, sym::FoMenu);
    if (menu.IsObject() && Has(menu, sym::DoAction) && menu.Send(sym::DoAction, m.id).IsTrue()) return 0;
  }
  return SuperHandler(self, sym::WMCommand, m);
}

Value WMGetMinMaxInfo(Object& self, const WinMsg& m) {
  auto* info = reinterpret_cast<MINMAXINFO*>(m.lParam);
  if (!info) return {};
  bool written = false;
  auto pair = [&](Symbol a, Symbol b, POINT& out) {
    const long long x = Get(self, a).AsInt(), y = Get(self, b).AsInt();
    if (x == 0 && y == 0) return;
    out = {static_cast<LONG>(x), static_cast<LONG>(y)};
    written = true;
  };
  pair(sym::FnMinWidth, sym::FnMinHeight, info->ptMinTrackSize);
  pair(sym::FnMaxWidth, sym::FnMaxHeight, info->ptMaxTrackSize);
  pair(sym::FnMaxPosX, sym::FnMaxPosY, info->ptMaxPosition);
  return written ? Value(0) : Value();
}

// WM_MENUSELECT: OnMenuSelect with the flags, the menu and the item's
// status-bar message (menu objects bring their items later).
Value WMMenuSelect(Object& self, const WinMsg& m) {
  self.Send(sym::OnMenuSelect, static_cast<long long>(HIWORD(m.wParam)), LParamValue(m.lParam), "", Value());
  return {};
}

// The caption's help button: OnHelpClick, then the system's help mode.
Value WMSysCommand(Object& self, const WinMsg& m) {
  if ((m.wParam & 0xFFF0) == SC_CONTEXTHELP) self.Send(sym::OnHelpClick);
  return {};
}

// A form's frame is the system's: the control base's border styles do not
// apply (nBorderStyle means the form's border style here).
Value StandardFrame(Object&, const WinMsg&) { return {}; }

// ---------------------------------------------------------------- TMDIClient

Value SetAlignOfClient(Object& self, Args a) {
  Put(self, sym::set::FnAlign, a.Get(0).AsInt());
  return a.Get(0);
}

Value ClientCreate(Object& self, Args a) { return Super(self, sym::Create, a); }

// The client window: "MDICLIENT" with the frame's window menu, its first
// child identifier 40000, recorded in the frame's link so that the frame's
// default processing is DefFrameProc.
Value ClientCreateHandle(Object& self, Args) {
  const Value form = self.Send(sym::GetForm);
  Put(self, sym::set::FoForm, form);
  Put(self, sym::set::hTheme, 0);
  self.Send(sym::Register);
  const HWND frame = ObjectHwnd(Get(self, sym::oParent));
  if (!frame) return 0;
  const long long id = form.IsObject() && Has(form, sym::GetNewID) ? form.Send(sym::GetNewID).AsInt() : 0;
  Put(self, sym::set::nId, id);
  self.Send(sym::Link);
  CLIENTCREATESTRUCT ccs{};
  const Value menu = Has(form, sym::oMDIMenu) ? Get(form, sym::FoMDIMenu) : Value();
  ccs.hWindowMenu = menu.IsObject() ? ObjectHandle<HMENU>(menu) : nullptr;
  ccs.idFirstChild = 40000;
  HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL |
                                  MDIS_ALLCHILDSTYLES,
                              0, 0, 0, 0, frame, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GETINSTANCE(), &ccs);
  RethrowDeferred();
  if (!hwnd) {
    CancelPendingLink(self);
    return 0;
  }
  Put(self, sym::set::Handle, HandleValue(hwnd));
  SetLinkMdiClient(frame, hwnd);
  self.Send(sym::UpdateBounds);
  const Value parent = Get(self, sym::oParent);
  if (Has(parent, sym::InsertControl)) parent.Send(sym::InsertControl, Value(&self));
  return HandleValue(hwnd);
}

Value ClientInsertForm(Object& self, Args a) {
  Value list = Get(self, sym::aForms);
  if (!list.IsList()) {
    list = Value::List({});
    Put(self, sym::set::aForms, list);
  }
  for (const Value& f : list.AsList().items)
    if (f.AsObject() == a.Get(0).AsObject()) return {};
  list.Append(a.Get(0));
  return {};
}

Value ClientRemoveForm(Object& self, Args a) {
  Value list = Get(self, sym::aForms);
  if (list.IsList()) std::erase_if(list.AsList().items, [&](const Value& f) { return f.AsObject() == a.Get(0).AsObject(); });
  if (Get(self, sym::oActiveForm).AsObject() == a.Get(0).AsObject()) Put(self, sym::set::oActiveForm, Value());
  return {};
}

Value ClientSetActiveForm(Object& self, Args a) {
  Put(self, sym::set::oActiveForm, a.Get(0));
  return a.Get(0);
}

Value ClientRequest(Object& self, UINT msg, WPARAM w = 0) {
  if (HWND h = ObjectHwnd(self)) SendMessageA(h, msg, w, 0);
  RethrowDeferred();
  return {};
}
Value Tile(Object& self, Args) { return ClientRequest(self, WM_MDITILE, MDITILE_VERTICAL); }
Value TileHorizontal(Object& self, Args) { return ClientRequest(self, WM_MDITILE, MDITILE_HORIZONTAL); }
Value Cascade(Object& self, Args) { return ClientRequest(self, WM_MDICASCADE); }
Value ArrangeIcons(Object& self, Args) { return ClientRequest(self, WM_MDIICONARRANGE); }
Value Next(Object& self, Args) { return ClientRequest(self, WM_MDINEXT); }
Value Previous(Object& self, Args) {
  if (HWND h = ObjectHwnd(self)) SendMessageA(h, WM_MDINEXT, 0, TRUE);
  RethrowDeferred();
  return {};
}

template <int command>
Value ShowAll(Object& self, Args) {
  const Value list = Get(self, sym::aForms);
  const std::vector<Value> forms = list.IsList() ? list.AsList().items : std::vector<Value>();
  for (const Value& f : forms)
    if (HWND h = ObjectHwnd(f)) ShowWindow(h, command);
  RethrowDeferred();
  return {};
}
Value MaximizeAll(Object& self, Args a) { return ShowAll<SW_MAXIMIZE>(self, a); }
Value MinimizeAll(Object& self, Args a) { return ShowAll<SW_MINIMIZE>(self, a); }

// CloseAll: the last child closes, again, until none is left or one refuses.
Value CloseAll(Object& self, Args) {
  for (;;) {
    const Value list = Get(self, sym::aForms);
    if (!list.IsList() || list.Len() == 0) return true;
    const Value last = list.Item(static_cast<std::size_t>(list.Len()));
    if (!last.Send(sym::Close).IsTrue()) return false;
    const Value after = Get(self, sym::aForms);
    if (after.Len() == list.Len() && after.Item(static_cast<std::size_t>(after.Len())).AsObject() == last.AsObject())
    {
      Value argv[] = {last};
      ClientRemoveForm(self, Args(argv, 1));  // hidden on close: no longer counted
    }
  }
}

}  // namespace

Class* QFormClass() {
  static Class* c = [] {
    QVClass b("QForm", {TScrollingWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QFORM_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TFormClass() {
  static Class* c = DeclarePublicClass("TForm", QFormClass());
  return c;
}

Class* QMDIClientClass() {
  static Class* c = [] {
    QVClass b("QMDIClient", {TWinControlClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QMDICLIENT_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TMDIClientClass() {
  static Class* c = DeclarePublicClass("TMDIClient", QMDIClientClass());
  return c;
}

}  // namespace zv
