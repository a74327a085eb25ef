#include "framework/window/control.h"

#include <shellapi.h>

#include "framework/core/application.h"
#include "framework/core/catalog.h"
#include "framework/core/environment.h"
#include "framework/core/loop.h"
#include "framework/core/members.h"
#include "framework/window/control_paint.h"
#include "framework/window/messages.h"
#include "framework/window/paint_frame.h"

namespace zv {
namespace {

// The next identifier for a child window when no form hands one out.
UINT_PTR g_nextId = 100;

// The parent's window, and the parent's client origin.
HWND ParentHwnd(Object& self) {
  Value parent = Get(self, sym::oParent);
  return parent.IsObject() && parent.AsObject() != Application().AsObject() ? ObjectHwnd(parent) : nullptr;
}

// ---------------------------------------------------------------- life cycle

Value ControlNew(Object& self, Args a) {
  if (a.Has(0)) self.Send(sym::set::oParent, a.Get(0));
  return Super(self, sym::New, Args());
}

Value ControlCreate(Object& self, Args a) {
  Super(self, sym::Create, a);
  if (!ObjectHwnd(self)) self.Send(sym::CreateHandle);
  self.Send(sym::OnCreate);
  return Value(&self);
}

Value GetForm(Object& self, Args) {
  Value form = Get(self, sym::FoForm);
  if (form.IsObject()) return form;
  Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && Has(parent, sym::GetForm)) {
    form = parent.Send(sym::GetForm);
    if (form.IsObject()) return form;
  }
  // A window without a parent control is a form of its own.
  if (!(Get(self, sym::nCtlStyle).AsInt() & WS_CHILD)) return Value(&self);
  return {};
}

// Before the class is registered: a control without a base class and
// without a cursor takes the screen's shared arrow; a control with a pane
// colour and no brush gets a brush of that colour (the window's own, deleted
// with the window).
Value Register(Object& self, Args) {
  if (Get(self, sym::cWinClassName).AsString().empty() && !Get(self, sym::FoCursor).IsObject() && Screen().IsObject() &&
      Has(Screen(), sym::oCursorArrow)) {
    Value arrow = Get(Screen(), sym::oCursorArrow);
    if (arrow.IsObject()) Put(self, sym::set::FoCursor, arrow);
  }
  const Value pane = Get(self, sym::nClrPane);
  if (!Get(self, sym::hBrush).AsInt() && pane.IsNumber())
    Put(self, sym::set::hBrush, HandleValue(CreateSolidBrush(static_cast<COLORREF>(pane.AsInt()))));
  return self.Send(sym::RegisterClass);
}

// Registers the window class named ClassName, on top of the system class
// `cWinClassName` when there is one (its style, cursor, brush and extra bytes
// are copied; its procedure becomes the default processing).
Value RegisterClassMethod(Object& self, Args a) {
  const std::string name = Get(self, sym::ClassName).AsString();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GETINSTANCE(), name.c_str(), &wc)) return true;
  wc = WNDCLASSEXA{};
  wc.cbSize = sizeof wc;
  wc.style = a.Has(1) ? static_cast<UINT>(a.Get(1).AsInt()) : static_cast<UINT>(Get(self, sym::nClassStyle).AsInt());
  std::string base = a.Has(0) ? a.Get(0).AsString() : Get(self, sym::cWinClassName).AsString();
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
  return LinkWindow(self, a.Get(0).AsBool(), Get(self, sym::cWinClassName).AsString());
}

Value Unlink(Object& self, Args a) {
  UnlinkWindow(self);
  if (a.Get(0).AsBool() && Has(Value(&self), sym::aControls)) {
    Value children = Get(self, sym::aControls);
    if (children.IsList()) {
      const std::vector<Value> copy = children.AsList().items;
      for (const Value& c : copy) c.Send(sym::Unlink, true);
    }
  }
  return {};
}

// Creates the window: class registration, styles, identifier, the pending
// link record, CreateWindow, then the parent's InsertControl.
Value CreateHandle(Object& self, Args) {
  Value form = self.Send(sym::GetForm);
  if (form.IsObject()) Put(self, sym::set::FoForm, form);
  self.Send(sym::Register);
  std::int64_t style = Get(self, sym::nCtlStyle).AsInt();
  if (Get(self, sym::lVisible).AsBool()) style |= WS_VISIBLE;
  else style &= ~static_cast<std::int64_t>(WS_VISIBLE);
  if (!Get(self, sym::lEnabled).AsBool()) style |= WS_DISABLED;
  else style &= ~static_cast<std::int64_t>(WS_DISABLED);
  Put(self, sym::set::nCtlStyle, style);
  Put(self, sym::set::hTheme, 0);
  UINT_PTR id = 0;
  if (style & WS_CHILD) {
    if (form.IsObject() && form.AsObject() != &self && Has(form, sym::GetNewID))
      id = static_cast<UINT_PTR>(form.Send(sym::GetNewID).AsInt());
    else
      id = g_nextId++;
  }
  Put(self, sym::set::nId, static_cast<long long>(id));
  self.Send(sym::OnBeforeCreate);
  self.Send(sym::Link);
  Value parent = Get(self, sym::oParent);
  HWND parentWnd = ParentHwnd(self);
  int left = static_cast<int>(Get(self, sym::nLeft).AsInt());
  int top = static_cast<int>(Get(self, sym::nTop).AsInt());
  if (parentWnd && parent.IsObject()) {
    left += static_cast<int>(Get(parent, sym::nClientLeft).AsInt());
    top += static_cast<int>(Get(parent, sym::nClientTop).AsInt());
  }
  HWND hwnd = CREATEWINDOW(Get(self, sym::ClassName).AsString(), Get(self, sym::FcText).AsString(),
                           static_cast<DWORD>(style), static_cast<DWORD>(Get(self, sym::nExStyle).AsInt()), left, top,
                           static_cast<int>(Get(self, sym::nWidth).AsInt()), static_cast<int>(Get(self, sym::nHeight).AsInt()),
                           parentWnd, id);
  RethrowDeferred();  // an abort raised during the creation messages
  if (!hwnd) {
    CancelPendingLink(self);
    Put(self, sym::set::Handle, 0);
    return 0;
  }
  Put(self, sym::set::Handle, HandleValue(hwnd));
  self.Send(sym::UpdateBounds);
  if (parentWnd) self.Send(sym::SetAnchors);
  self.Send(sym::ApplyTooltips);
  ctlpaint::ApplyTheme(self);
  if (Has(Value(&self), sym::oBkgnd)) UpdateBackgroundBrush(self);
  if (HFONT font = ObjectHandle<HFONT>(self.Send(sym::GetFont)))
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (parent.IsObject() && (style & WS_CHILD) && Has(parent, sym::InsertControl))
    parent.Send(sym::InsertControl, Value(&self));
  return HandleValue(hwnd);
}

Value Destroy(Object& self, Args a) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd || !IsWindow(hwnd)) return Super(self, sym::Destroy, a);  // no window: the component protocol
  Put(self, sym::set::lFree, a.Get(0).AsBool());
  DestroyWindow(hwnd);
  RethrowDeferred();
  return Value(&self);
}

// WM_DESTROY: the text survives the window; OnDestroy fires.
Value WMDestroy(Object& self, const WinMsg& m) {
  HWND hwnd = m.hwnd;
  if (hwnd) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    Put(self, sym::set::FcText, text);
  }
  self.Send(sym::OnDestroy);
  return {};
}

// WM_NCDESTROY: resources freed when asked; the window unlinked and removed
// from its parent.
Value WMNCDestroy(Object& self, const WinMsg& m) {
  if (Get(self, sym::lFree).AsBool()) self.Send(sym::Free);
  self.Send(sym::RemoveTooltips);
  ctlpaint::ReleasePaintResources(self, m.hwnd);
  // The window's brush goes with the window (Register makes a new one for
  // the next window).
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush))) {
    DeleteObject(brush);
    Put(self, sym::set::hBrush, 0);
  }
  self.Send(sym::Unlink);
  Value parent = Get(self, sym::oParent);
  if (Get(self, sym::nId).AsInt() != 0 && parent.IsObject() && Has(parent, sym::RemoveControl))
    parent.Send(sym::RemoveControl, Value(&self));
  Put(self, sym::set::Handle, 0);
  Put(self, sym::set::lCreated, false);
  Put(self, sym::set::lFocused, false);
  return {};
}

Value Free(Object& self, Args) {
  // The control's own font: its share of it goes (the font lives on while
  // other owners hold it).
  const Value font = Get(self, sym::FoFont);
  Put(self, sym::set::FoFont, Value());
  if (font.IsObject()) font.Send(sym::Destroy);
  self.Send(sym::OnDestroyed);
  return {};
}

// ---------------------------------------------------------------- geometry and state

Value SetBounds(Object& self, Args a) {
  const SetterSymbol fields[] = {sym::set::FnLeft, sym::set::FnTop, sym::set::FnWidth, sym::set::FnHeight};
  for (std::size_t i = 0; i < 4; ++i)
    if (a.Has(i)) Put(self, fields[i], a.Get(i).AsInt());
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  const bool repaint = a.Has(4) ? a.Get(4).AsBool() : true;
  int left = static_cast<int>(Get(self, sym::FnLeft).AsInt());
  int top = static_cast<int>(Get(self, sym::FnTop).AsInt());
  Value parent = Get(self, sym::oParent);
  if (ParentHwnd(self) && parent.IsObject()) {
    left += static_cast<int>(Get(parent, sym::nClientLeft).AsInt());
    top += static_cast<int>(Get(parent, sym::nClientTop).AsInt());
  }
  MoveWindow(hwnd, left, top, static_cast<int>(Get(self, sym::FnWidth).AsInt()),
             static_cast<int>(Get(self, sym::FnHeight).AsInt()), repaint);
  RethrowDeferred();
  if (ParentHwnd(self) && parent.IsObject()) {
    // The new edge distances are the ones anchoring keeps from now on; an
    // aligned control's place is its parent's to decide.
    self.Send(sym::SetAnchors);
    const auto align = Get(self, sym::nAlign).AsInt();
    if (align != 0 && align != 5 && Has(parent, sym::AlignControls)) parent.Send(sym::AlignControls);
  }
  return {};
}

// Two signed 16-bit distances in one number, the first in the low half.
long long PackDistances(long long first, long long second) {
  return static_cast<long long>((static_cast<std::uint32_t>(first) & 0xFFFF) |
                                ((static_cast<std::uint32_t>(second) & 0xFFFF) << 16));
}

// SetAnchors(nAnchors): stores the anchor bits when given, then records the
// distances to the parent's client edges (left and right in nAnchorX, top
// and bottom in nAnchorY) that AlignControls keeps.
Value SetAnchors(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnAnchors, a.Get(0).AsInt() & 15);
  const Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && Has(parent, sym::nClientWidth)) {
    const long long left = Get(self, sym::FnLeft).AsInt(), top = Get(self, sym::FnTop).AsInt();
    const long long width = Get(self, sym::FnWidth).AsInt(), height = Get(self, sym::FnHeight).AsInt();
    Put(self, sym::set::nAnchorX, PackDistances(left, Get(parent, sym::nClientWidth).AsInt() - left - width - 1));
    Put(self, sym::set::nAnchorY, PackDistances(top, Get(parent, sym::nClientHeight).AsInt() - top - height - 1));
  }
  return Get(self, sym::FnAnchors);
}

// SetClientSize(nWidth, nHeight): the window sized so that its client area
// gets the size asked for (either may be absent).
Value SetClientSize(Object& self, Args a) {
  if (a.Has(0)) Put(self, sym::set::FnClientWidth, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnClientHeight, a.Get(1).AsInt());
  if (HWND hwnd = ObjectHwnd(self)) {
    RECT w{}, c{};
    GetWindowRect(hwnd, &w);
    GetClientRect(hwnd, &c);
    const long long cw = a.Has(0) ? a.Get(0).AsInt() : c.right, chh = a.Has(1) ? a.Get(1).AsInt() : c.bottom;
    SetWindowPos(hwnd, nullptr, 0, 0, static_cast<int>(w.right - w.left + cw - c.right),
                 static_cast<int>(w.bottom - w.top + chh - c.bottom), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RethrowDeferred();
    self.Send(sym::UpdateBounds);
  }
  return {};
}

Value UpdateClientRect(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) {
    RECT c{};
    GetClientRect(hwnd, &c);
    Put(self, sym::set::FnClientWidth, static_cast<long long>(c.right));
    Put(self, sym::set::FnClientHeight, static_cast<long long>(c.bottom));
  }
  return {};
}

// ScreenToClient / ClientToScreen (x, y) or ({x, y}): the converted {x, y}.
template <bool toClient>
Value MapPoint(Object& self, Args a) {
  POINT p{};
  if (a.Get(0).IsList()) {
    p = {static_cast<LONG>(a.Get(0).Item(1).AsInt()), static_cast<LONG>(a.Get(0).Item(2).AsInt())};
  } else {
    p = {static_cast<LONG>(a.Get(0).AsInt()), static_cast<LONG>(a.Get(1).AsInt())};
  }
  if (HWND hwnd = ObjectHwnd(self)) {
    if (toClient) ::ScreenToClient(hwnd, &p);
    else ::ClientToScreen(hwnd, &p);
  }
  return Value::List({static_cast<long long>(p.x), static_cast<long long>(p.y)});
}
Value ScreenToClientMethod(Object& self, Args a) { return MapPoint<true>(self, a); }
Value ClientToScreenMethod(Object& self, Args a) { return MapPoint<false>(self, a); }

// The monitor the window is on (the nearest one), as a handle.
Value GetMonitor(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  return HandleValue(MonitorFromWindow(hwnd ? hwnd : GetDesktopWindow(), MONITOR_DEFAULTTONEAREST));
}

// ---------------------------------------------------------------- appearance

Value Refresh(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) InvalidateRect(hwnd, nullptr, TRUE);
  return {};
}

Value Update(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) UpdateWindow(hwnd);
  RethrowDeferred();
  return {};
}

Value SetRedraw(Object& self, Args a) {
  const bool on = !a.Has(0) || a.Get(0).AsBool();
  Put(self, sym::set::FlRedraw, on);
  if (HWND hwnd = ObjectHwnd(self)) {
    SendMessageA(hwnd, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE | RDW_FRAME);
  }
  return on;
}

// SetColor(nText, nPane): the control's brush is dropped, the given colours
// stored, and a brush of the pane colour made when there is one.
Value SetColor(Object& self, Args a) {
  if (HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush))) DeleteObject(brush);
  Put(self, sym::set::hBrush, 0);
  if (a.Has(0)) Put(self, sym::set::FnClrText, a.Get(0).AsInt());
  if (a.Has(1)) Put(self, sym::set::FnClrPane, a.Get(1).AsInt());
  const Value pane = Get(self, sym::FnClrPane);
  if (pane.IsNumber()) Put(self, sym::set::hBrush, HandleValue(CreateSolidBrush(static_cast<COLORREF>(pane.AsInt()))));
  self.Send(sym::Refresh);
  return {};
}

// The font the control draws with: its own, else (lParentFont) its
// parent's, else the application's.
// The font the control inherits: its parent's, else the application's.
Value InheritedFont(Object& self) {
  const Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && parent.AsObject() != Application().AsObject() && Has(parent, sym::GetFont)) {
    Value f = parent.Send(sym::GetFont);
    if (f.IsObject()) return f;
  }
  return Application().IsObject() ? Application().Send(sym::GetFont) : Value();
}

Value GetFont(Object& self, Args) {
  Value own = Get(self, sym::FoFont);
  if (own.IsObject()) return own;
  if (Get(self, sym::FlParentFont).AsBool()) return InheritedFont(self);
  return Application().IsObject() ? Application().Send(sym::GetFont) : Value();
}

// SetFont(oFont, lParentFont): a font of its own (a value that is not a font
// object is made into one), its owner count raised; the font the control
// would inherit anyway is given back and the control follows its parent.
// Without a font, only the flag changes. The window gets the font.
Value SetFont(Object& self, Args a) {
  const bool flag = a.Has(1) ? a.Get(1).AsBool() : Get(self, sym::FlParentFont).AsBool();
  if (a.size() > 0) {
    const Value own = Get(self, sym::FoFont);
    Put(self, sym::set::FoFont, Value());
    if (own.IsObject()) own.Send(sym::Destroy);
  }
  if (a.Has(0)) {
    Value font = a.Get(0);
    if (!font.IsObject()) {
      Value made = NewFrameworkObject("TFont");
      font = made.IsObject() ? made.Send(sym::Create, font) : Value();
    }
    if (font.IsObject()) {
      if (Has(font, sym::nCount)) font.Send(sym::set::nCount, Get(font, sym::nCount).AsInt() + 1);
      if (InheritedFont(self).AsObject() == font.AsObject()) {
        font.Send(sym::Destroy);
        Put(self, sym::set::FlParentFont, true);
      } else {
        Put(self, sym::set::FoFont, font);
        Put(self, sym::set::FlParentFont, false);
      }
    }
  } else {
    Put(self, sym::set::FlParentFont, flag);
  }
  const Value current = self.Send(sym::GetFont);
  if (HWND hwnd = ObjectHwnd(self))
    if (HFONT h = ObjectHandle<HFONT>(current)) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(h), TRUE);
  return current;
}


// The style helpers: bit operations on nCtlStyle (nExStyle), applied to
// the window when there is one (its frame is recomputed).
template <bool ex>
void ApplyStyle(Object& self, std::int64_t style) {
  Put(self, ex ? sym::set::nExStyle : sym::set::nCtlStyle, style);
  if (HWND hwnd = ObjectHwnd(self)) {
    SetWindowLongPtrA(hwnd, ex ? GWL_EXSTYLE : GWL_STYLE, static_cast<LONG_PTR>(style));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}
template <bool ex>
std::int64_t StyleOf(Object& self) {
  return Get(self, ex ? sym::nExStyle : sym::nCtlStyle).AsInt();
}
// ChangeCtlStyle(nBits, lOn = true): sets or clears the bits.
template <bool ex>
Value ChangeStyle(Object& self, Args a) {
  const std::int64_t bits = a.Get(0).AsInt();
  const bool on = !a.Has(1) || a.Get(1).AsBool();
  ApplyStyle<ex>(self, on ? (StyleOf<ex>(self) | bits) : (StyleOf<ex>(self) & ~bits));
  return StyleOf<ex>(self);
}
// ReplaceStyle(nOld, nNew): clears the old bits and sets the new ones.
template <bool ex>
Value ReplaceStyle(Object& self, Args a) {
  ApplyStyle<ex>(self, (StyleOf<ex>(self) & ~a.Get(0).AsInt()) | a.Get(1).AsInt());
  return StyleOf<ex>(self);
}
template <bool ex>
Value RemoveStyle(Object& self, Args a) {
  ApplyStyle<ex>(self, StyleOf<ex>(self) & ~a.Get(0).AsInt());
  return StyleOf<ex>(self);
}
// HasStyle(nBits): every one of the bits is set.
template <bool ex>
Value HasStyle(Object& self, Args a) {
  const std::int64_t bits = a.Get(0).AsInt();
  return bits != 0 && (StyleOf<ex>(self) & bits) == bits;
}

// nAlign: stored; with a window, the parent lays its children out again.
Value SetAlign(Object& self, Args a) {
  Put(self, sym::set::FnAlign, a.Get(0).AsInt());
  const Value parent = Get(self, sym::oParent);
  if (ObjectHwnd(self) && parent.IsObject() && Has(parent, sym::AlignControls)) parent.Send(sym::AlignControls);
  return a.Get(0);
}

Value SetLeft(Object& self, Args a) { return self.Send(sym::SetBounds, a.Get(0)), a.Get(0); }
Value SetTop(Object& self, Args a) { return self.Send(sym::SetBounds, Value(), a.Get(0)), a.Get(0); }
Value SetWidth(Object& self, Args a) { return self.Send(sym::SetBounds, Value(), Value(), a.Get(0)), a.Get(0); }
Value SetHeight(Object& self, Args a) { return self.Send(sym::SetBounds, Value(), Value(), Value(), a.Get(0)), a.Get(0); }

// Reads the window's rectangle back into the storage (no setter runs).
Value UpdateBounds(Object& self, Args) {
  HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return {};
  RECT r{};
  GetWindowRect(hwnd, &r);
  POINT p{r.left, r.top};
  if (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) {
    if (HWND parentWnd = GetParent(hwnd)) ScreenToClient(parentWnd, &p);
    Value parent = Get(self, sym::oParent);
    if (parent.IsObject() && Has(parent, sym::nClientLeft)) {
      p.x -= static_cast<LONG>(Get(parent, sym::nClientLeft).AsInt());
      p.y -= static_cast<LONG>(Get(parent, sym::nClientTop).AsInt());
    }
  }
  Put(self, sym::set::FnLeft, static_cast<long long>(p.x));
  Put(self, sym::set::FnTop, static_cast<long long>(p.y));
  Put(self, sym::set::FnWidth, static_cast<long long>(r.right - r.left));
  Put(self, sym::set::FnHeight, static_cast<long long>(r.bottom - r.top));
  RECT c{};
  GetClientRect(hwnd, &c);
  Put(self, sym::set::FnClientWidth, static_cast<long long>(c.right));
  Put(self, sym::set::FnClientHeight, static_cast<long long>(c.bottom));
  return {};
}

// After a move or resize the storage follows the window; a resized
// window with a picture background is painted whole again (the picture's
// layout depends on the size).
Value WMWindowPosChanged(Object& self, const WindowPosMsg& m) {
  self.Send(sym::UpdateBounds);
  if (!(m.pos->flags & SWP_NOSIZE) && Get(self, sym::hBkgnd).AsInt()) InvalidateRect(m.hwnd, nullptr, TRUE);
  return {};
}

Value SetText(Object& self, Args a) {
  Value text = a.Get(0);
  Put(self, sym::set::FcText, text.IsString() ? text : Value(text.ToDisplay()));
  if (HWND hwnd = ObjectHwnd(self)) {
    Value form = Get(self, sym::oForm);
    const bool shortcuts = form.IsObject() && Has(form, sym::DelShortCut);
    if (shortcuts) form.Send(sym::DelShortCut, Value(&self));
    SetWindowTextA(hwnd, Get(self, sym::FcText).AsString().c_str());
    InvalidateRect(hwnd, nullptr, TRUE);
    if (shortcuts) form.Send(sym::AddShortCut, Value(&self));
  }
  return a.Get(0);
}

Value GetText(Object& self, Args) {
  if (HWND hwnd = ObjectHwnd(self)) {
    int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    int got = GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    Put(self, sym::set::FcText, text);
  }
  return Get(self, sym::FcText);
}

Value Show(Object& self, Args a) {
  Put(self, sym::set::FlVisible, true);
  if (HWND hwnd = ObjectHwnd(self)) {
    if (!IsWindowVisible(hwnd)) ShowWindow(hwnd, a.Has(0) ? static_cast<int>(a.Get(0).AsInt()) : SW_SHOW);
    Value parent = Get(self, sym::oParent);
    if (Get(self, sym::nAlign).AsInt() != 0 && parent.IsObject() && Has(parent, sym::AlignControls))
      parent.Send(sym::AlignControls);
    else
      UpdateWindow(hwnd);
    RethrowDeferred();
  }
  self.Send(sym::OnShow);
  return {};
}

Value Hide(Object& self, Args) {
  Put(self, sym::set::FlVisible, false);
  Put(self, sym::set::lFocused, false);
  if (HWND hwnd = ObjectHwnd(self)) {
    ShowWindow(hwnd, SW_HIDE);
    const auto align = Get(self, sym::nAlign).AsInt();
    Value parent = Get(self, sym::oParent);
    if (align != 0 && align != 5 && parent.IsObject() && Has(parent, sym::AlignControls))
      parent.Send(sym::AlignControls);
    RethrowDeferred();
  }
  self.Send(sym::OnHide);
  return {};
}

Value SetVisible(Object& self, Args a) {
  if (a.Get(0).AsBool()) self.Send(sym::Show);
  else self.Send(sym::Hide);
  return a.Get(0);
}

Value Enable(Object& self, Args) {
  Put(self, sym::set::FlEnabled, true);
  if (HWND hwnd = ObjectHwnd(self)) {
    EnableWindow(hwnd, TRUE);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return true;
}

Value Disable(Object& self, Args) {
  Put(self, sym::set::FlEnabled, false);
  if (HWND hwnd = ObjectHwnd(self)) {
    EnableWindow(hwnd, FALSE);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  return true;
}

Value SetEnabled(Object& self, Args a) {
  if (a.Get(0).AsBool()) self.Send(sym::Enable);
  else self.Send(sym::Disable);
  return a.Get(0);
}

Value SetParent(Object& self, Args a) {
  Put(self, sym::set::FoParent, a.Get(0));
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
    if (a.Get(0).AsBool()) Put(self, sym::set::lFocused, true);
    ::SetFocus(hwnd);
    RethrowDeferred();
    if (GetFocus() == hwnd) Put(self, sym::set::lFocused, true);
  }
  return Get(self, sym::lFocused);
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
  Value f = Has(a, sym::GetForm) ? a.Send(sym::GetForm) : Value();
  return f.AsObject() == form.AsObject();
}

// Focus arrival: lFocused, the form's active control, OnEnter.
Value WMSetFocus(Object& self, const FocusMsg& m) {
  const HWND hwnd = m.hwnd;
  Put(self, sym::set::lFocused, Get(self, sym::lTabStop));
  Value form = self.Send(sym::GetForm);
  if (form.IsObject() && form.AsObject() != &self) form.Send(sym::set::oActiveControl, Value(&self));
  if (Application().IsObject()) Put(Application(), sym::set::oActiveControl, Value(&self));
  PREVWINDOWPROC(hwnd, WM_SETFOCUS, m.wParam, m.lParam);
  HWND lost = m.other;
  Value previous = ObjectOfWindowOrParent(IsWindow(lost) ? lost : GetFocus());
  if (SameForm(previous, form)) {
    if (Has(form, sym::OnChangeFocus)) form.Send(sym::OnChangeFocus, previous, Value(&self));
    if (Has(form, sym::RequestState)) form.Send(sym::RequestState);
    if (Get(self, sym::lFocused).AsBool() || GetFocus() == hwnd) {
      self.Send(sym::GotFocus);
      self.Send(sym::OnEnter, previous);
    }
  }
  return 0;
}

// Focus departure: Valid (OnExit) may keep the focus here.
Value WMKillFocus(Object& self, const FocusMsg& m) {
  const HWND hwnd = m.hwnd;
  PREVWINDOWPROC(hwnd, WM_KILLFOCUS, m.wParam, m.lParam);
  Value form = self.Send(sym::GetForm);
  if (!form.IsObject() || !Has(form, sym::oActiveControl)) return 0;
  if (Get(form, sym::oActiveControl).AsObject() != &self) return 0;
  Value next = ObjectOfWindowOrParent(m.other);
  if (!next.IsObject() || next.AsObject() == &self || !SameForm(next, form)) return 0;
  Put(self, sym::set::lFocused, false);
  if (Has(next, sym::lFocused) && Get(next, sym::lFocused).AsBool()) return 0;
  if (self.Send(sym::Valid, next).IsFalse()) {
    ::SetFocus(hwnd);
  } else if (IsWindow(hwnd) && (GetFocus() == hwnd || Get(self, sym::lFocused).AsBool())) {
    // OnExit took the focus back meanwhile (a message box, say): it goes on
    // to the control the user chose, and the click that chose it, whose
    // button-up went elsewhere, is completed.
    Put(self, sym::set::lFocused, false);
    if (HWND nextWnd = ObjectHwnd(next)) {
      next.Send(sym::SetFocus, true);
      PostMessageA(nextWnd, WM_LBUTTONUP, 0, 0);
    }
  }
  return 0;
}

// Valid(next control): OnExit decides; no value counts as acceptance.
Value Valid(Object& self, Args a) {
  Value r = self.Send(sym::OnExit, a.Get(0));
  return r.IsFalse() ? Value(false) : Value(true);
}

// ShortCut(cKey): the control's "&" letter was pressed: it takes the focus
// and, when that succeeded, clicks. Result 0.
Value ShortCut(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  if (!hwnd) return 0;
  self.Send(sym::SetFocus);
  if (IsWindow(hwnd) && (GetFocus() == hwnd || Get(self, sym::lFocused).AsBool())) self.Send(sym::Click, a.Get(0));
  return 0;
}

Value GoNext(Object& self, Args a) {
  Value form = self.Send(sym::GetForm);
  if (!form.IsObject() || form.AsObject() == &self) return 0;
  return form.Send(sym::GoNextControl, a.Get(0), a.Get(1));
}

Value GoPrev(Object& self, Args a) {
  Value form = self.Send(sym::GetForm);
  if (!form.IsObject() || form.AsObject() == &self) return 0;
  return form.Send(sym::GoPrevControl, a.Get(0), a.Get(1));
}

// ---------------------------------------------------------------- keyboard and mouse

UINT DialogCode(HWND hwnd) { return static_cast<UINT>(SendMessageA(hwnd, WM_GETDLGCODE, 0, 0)); }

// A key the control leaves alone goes to its parent's handler.
Value Bubble(Object& self, Symbol handler, const WinMsg& m) {
  Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && parent.AsObject() != Application().AsObject()) return CallHandler(parent, handler, m);
  return {};
}

Value WMKeyDown(Object& self, const KeyMsg& m) {
  Value r = self.Send(sym::OnKeyDown, m.key, m.flags);
  if (!r.IsNil()) return r;
  const int key = m.key;
  HWND hwnd = m.hwnd;
  if (key == VK_DOWN || key == VK_RIGHT || key == VK_UP || key == VK_LEFT) {
    if (!(DialogCode(hwnd) & (DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS))) {
      if (key == VK_DOWN || key == VK_RIGHT) self.Send(sym::GoNextControl);
      else self.Send(sym::GoPrevControl);
    }
    return {};
  }
  return Bubble(self, sym::WMKeyDown, m);
}

Value WMKeyUp(Object& self, const KeyMsg& m) { return self.Send(sym::OnKeyUp, m.key, m.flags); }

Value WMChar(Object& self, const KeyMsg& m) {
  Value r = self.Send(sym::OnChar, m.key, m.flags);
  if (!r.IsNil()) return r;
  if (m.key == VK_TAB) {
    if (DialogCode(m.hwnd) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return {};
    if (GetKeyState(VK_SHIFT) < 0) self.Send(sym::GoPrevControl);
    else self.Send(sym::GoNextControl);
    return 0;
  }
  return Bubble(self, sym::WMChar, m);
}

// Hit-tested as a plain window, also when built on a system class.
Value WMNCHitTest(Object&, const WinMsg& m) {
  return static_cast<long long>(DefWindowProcA(m.hwnd, m.message, m.wParam, m.lParam));
}

// System keys (Alt combinations) are the form's to handle.
Value ToFormsHandler(Object& self, const WinMsg& m) {
  const Value form = self.Send(sym::GetForm);
  if (!form.IsObject() || form.AsObject() == &self) return {};
  return CallHandler(form, HandlerSymbol(m.message), m);
}

// ShowPopupMenu(hMenu, nX, nY): a pop-up menu (a menu handle) at a point of
// the client area (the mouse position when none is given); its command
// arrives as WM_COMMAND. Answers whether a menu was shown.
Value ShowPopupMenu(Object& self, Args a) {
  const HWND hwnd = ObjectHwnd(self);
  const HMENU menu = ValueHandle<HMENU>(a.Get(0));
  if (!hwnd || !menu || !IsMenu(menu)) return false;
  POINT p{};
  if (a.Has(1) || a.Has(2)) {
    p = {static_cast<LONG>(a.Get(1).AsInt()), static_cast<LONG>(a.Get(2).AsInt())};
    ::ClientToScreen(hwnd, &p);
  } else {
    GetCursorPos(&p);
  }
  const BOOL shown = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd, nullptr);
  RethrowDeferred();
  return shown != FALSE;
}
Value WMLButtonDblClk(Object& self, const MouseMsg& m) {
  return self.Send(sym::OnDblClick, m.keys, m.x, m.y);
}
Value WMRButtonDown(Object& self, const MouseMsg& m) {
  if (Get(self, sym::lTabStop).AsBool()) self.Send(sym::SetFocus);
  return self.Send(sym::OnRButtonDown, m.keys, m.x, m.y);
}
Value WMRButtonUp(Object& self, const MouseMsg& m) {
  return self.Send(sym::OnRButtonUp, m.keys, m.x, m.y);
}

// WM_SETCURSOR for the control's own window: the wait cursor while the
// application is busy; in the client area the control's cursor (its oCursor,
// else the arrow for a control that has no system class to choose one).
Value WMSetCursor(Object& self, const SetCursorMsg& m) {
  if (m.window != m.hwnd) return {};
  if (Application().IsObject() && Get(Application(), sym::FlBusy).AsBool()) {
    SetCursor(WaitCursor());
    return true;
  }
  if (m.hitTest != HTCLIENT) return {};
  HCURSOR cursor = ObjectHandle<HCURSOR>(Get(self, sym::FoCursor));
  if (!cursor && Get(self, sym::cWinClassName).AsString().empty()) cursor = LoadCursorA(nullptr, IDC_ARROW);
  if (!cursor) return {};
  SetCursor(cursor);
  return true;
}

// WM_CONTEXTMENU: with a handler, OnContextMenu gets the position in
// client coordinates (a keyboard request, -1/-1, the control's origin).
Value WMContextMenu(Object& self, const MouseMsg& m) {
  if (!EventAssigned(self, sym::OnContextMenu.name())) return {};
  POINT p{m.x, m.y};
  if (m.x == -1 && m.y == -1) p = {0, 0};
  else ::ScreenToClient(m.hwnd, &p);
  self.Send(sym::OnContextMenu, static_cast<long long>(p.x), static_cast<long long>(p.y));
  return 0;
}

Value SetCursorMethod(Object& self, Args a) {
  Put(self, sym::set::FoCursor, a.Get(0));
  return a.Get(0);
}

// ---------------------------------------------------------------- reflection and colours

// Reflected WM_COMMAND: code 0 is a click.
Value Command(Object& self, Args a) {
  if (a.Get(0).AsInt() == 0) return self.Send(sym::Click);
  return {};
}

Value Click(Object& self, Args) { return self.Send(sym::OnClick); }
Value QVClick(Object& self, Args) { return self.Send(sym::Click); }

// Colour request: without a brush of its own the parent answers.
Value GetCtlColor(Object& self, Args a) {
  const HBRUSH brush = ValueHandle<HBRUSH>(Get(self, sym::hBrush));
  if (brush) {
    HDC dc = ValueHandle<HDC>(a.Get(0));
    SetBkColor(dc, static_cast<COLORREF>(Get(self, sym::nClrPane).AsInt()));
    SetTextColor(dc, static_cast<COLORREF>(Get(self, sym::nClrText).AsInt()));
    return HandleValue(brush);
  }
  Value parent = Get(self, sym::oParent);
  if (parent.IsObject() && Has(parent, sym::GetCtlColor)) return parent.Send(sym::GetCtlColor, a.Get(0));
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

// ---------------------------------------------------------------- TStdControl

Value SetTabStop(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlTabStop, on);
  std::int64_t style = Get(self, sym::nCtlStyle).AsInt();
  style = on ? (style | WS_TABSTOP) : (style & ~static_cast<std::int64_t>(WS_TABSTOP));
  Put(self, sym::set::nCtlStyle, style);
  if (HWND hwnd = ObjectHwnd(self)) {
    LONG_PTR ws = GetWindowLongPtrA(hwnd, GWL_STYLE);
    SetWindowLongPtrA(hwnd, GWL_STYLE, on ? (ws | WS_TABSTOP) : (ws & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
  return on;
}

// The border: WS_EX_CLIENTEDGE for a three-dimensional control, WS_BORDER
// for a flat one, neither without a border.
Value SetBorder(Object& self, Args a) {
  const bool on = a.Get(0).AsBool();
  Put(self, sym::set::FlBorder, on);
  const bool deep = Get(self, sym::Fl3D).AsBool();
  self.Send(sym::ChangeCtlStyle, static_cast<long long>(WS_BORDER), on && !deep);
  self.Send(sym::ChangeExStyle, static_cast<long long>(WS_EX_CLIENTEDGE), on && deep);
  return on;
}

Value Set3D(Object& self, Args a) {
  Put(self, sym::set::Fl3D, a.Get(0).AsBool());
  self.Send(sym::SetBorder, Get(self, sym::FlBorder));
  return a.Get(0);
}

Value SetDragAcceptFiles(Object& self, Args a) {
  Put(self, sym::set::FlDragAcceptFiles, a.Get(0).AsBool());
  if (HWND hwnd = ObjectHwnd(self)) DragAcceptFiles(hwnd, a.Get(0).AsBool());
  return a.Get(0);
}

// WM_DROPFILES: the files in aDropFiles, OnDropFiles with them and the
// drop point (client coordinates); the drop is finished either way.
Value WMDropFiles(Object& self, const WinMsg& m) {
  const HDROP drop = reinterpret_cast<HDROP>(m.wParam);
  std::vector<Value> files;
  const UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < n; ++i) {
    const UINT len = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(len + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), len + 1));
    files.emplace_back(name);
  }
  POINT p{};
  DragQueryPoint(drop, &p);
  DragFinish(drop);
  const Value list = Value::List(std::move(files));
  Put(self, sym::set::aDropFiles, list);
  self.Send(sym::OnDropFiles, list, Value::List({static_cast<long long>(p.x), static_cast<long long>(p.y)}));
  return 0;
}

Value StdCreateHandle(Object& self, Args a) {
  self.Send(sym::SetBorder, Get(self, sym::FlBorder));
  self.Send(sym::SetTabStop, Get(self, sym::lTabStop));
  Value r = Super(self, sym::CreateHandle, a);
  if (HWND hwnd = ObjectHwnd(self); hwnd && Get(self, sym::FlDragAcceptFiles).AsBool()) DragAcceptFiles(hwnd, TRUE);
  return r;
}

// State request: OnCheckState decides whether the control is enabled. An
// answer that changes nothing leaves the window alone (no repaint).
Value RequestState(Object& self, Args) {
  Value r = self.Send(sym::OnCheckState);
  if (r.IsLogical() && r.AsBool() != Get(self, sym::lEnabled).AsBool()) {
    if (!r.AsBool() && ObjectHwnd(self) && GetFocus() == ObjectHwnd(self)) self.Send(sym::GoNextControl, Value(), true);
    self.Send(sym::set::lEnabled, r);
  }
  return {};
}

}  // namespace

Value ControlForm(const Value& control) { return control.IsObject() ? control.Send(sym::GetForm) : Value(); }
Value ControlParent(const Value& control) { return Get(control, sym::oParent); }

namespace ctlset {

Value SetTextColour(Object& self, Args a) {
  self.Send(sym::SetColor, a.Get(0), Get(self, sym::FnClrPane));
  return a.Get(0);
}
Value SetPaneColour(Object& self, Args a) {
  self.Send(sym::SetColor, Get(self, sym::FnClrText), a.Get(0));
  return a.Get(0);
}
Value SetParentFont(Object& self, Args a) {
  self.Send(sym::SetFont, Value(), a.Get(0).AsBool());
  return a.Get(0);
}

}  // namespace ctlset

Class* QControlClass() {
  static Class* c = [] {
    QVClass b("QControl", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QCONTROL_MEMBERS);
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
    ZV_REGISTER_MEMBERS(b, ZV_QSTDCONTROL_MEMBERS);
    return b.Create();
  }();
  return c;
}

Class* TStdControlClass() {
  static Class* c = DeclarePublicClass("TStdControl", QStdControlClass());
  return c;
}

}  // namespace zv
