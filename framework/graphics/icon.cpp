#include "framework/graphics/icon.h"

#include <string>

#include "framework/core/members.h"
#include "framework/window/owned_handle.h"

namespace zv {
namespace {

// The slot of pOwned, for the destructor (which runs without sends).
std::uint32_t g_ownedSlot = 0;

void Release(Object& self) { owned::Release<&DestroyIcon>(self); }
using owned::Keep;
using owned::StoredName;

SIZE WantedSize(Object& self) {
  int cx = static_cast<int>(Get(self, sym::nWidth).AsInt()), cy = static_cast<int>(Get(self, sym::nHeight).AsInt());
  if (cx < 1 || cy < 1) return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
  return {cx, cy};
}

// Create(cName, nWidth, nHeight) (also New).
Value IconCreate(Object& self, Args a) {
  Put(self, sym::set::lFree, true);
  if (a.Has(1)) Put(self, sym::set::nWidth, a.Get(1).AsInt());
  if (a.Has(2)) Put(self, sym::set::nHeight, a.Get(2).AsInt());
  const Value name = StoredName(a.Get(0));
  Put(self, sym::set::FcName, name);
  if (!(name.IsString() && name.AsString().empty())) self.Send(sym::Load, name);
  Put(self, sym::set::lCreated, true);
  return Value(&self);
}

// Load(cName) (the setter of cName): a number, or a name without a dot,
// from the resources; any other name from a file.
Value IconLoad(Object& self, Args a) {
  const Value name = StoredName(a.Get(0));
  const bool resource =
      name.IsNumber() || (name.IsString() && name.AsString().find('.') == std::string::npos);
  return self.Send(resource ? sym::LoadFromResource : sym::LoadFromFile, name);
}

Value IconLoadFromResource(Object& self, Args a) {
  Release(self);
  const Value name = StoredName(a.Get(0));
  Put(self, sym::set::FcName, name);
  if (name.IsNumber()) {
    const std::int64_t id = name.AsInt();
    if (id <= 0 || id > 0xFFFF) return Keep(self, nullptr, false);
    return Keep(self, LoadIconA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(id))), false);
  }
  const std::string& text = name.AsString();
  if (text.empty()) return Keep(self, nullptr, false);
  const SIZE s = WantedSize(self);
  if (auto own = static_cast<HICON>(LoadImageA(GETINSTANCE(), text.c_str(), IMAGE_ICON, s.cx, s.cy, 0)))
    return Keep(self, own, true);
  return Keep(self, LoadIconA(nullptr, text.c_str()), false);
}

// LoadFromFile(cFile, nIndex): icon nIndex (0 by default) of an icon file or
// of a program or library, at the object's size.
Value IconLoadFromFile(Object& self, Args a) {
  Release(self);
  const Value file = StoredName(a.Get(0));
  Put(self, sym::set::FcName, file);
  const std::string& path = file.AsString();
  if (path.empty()) return Keep(self, nullptr, true);
  const SIZE s = WantedSize(self);
  HICON icon = nullptr;
  const UINT n = PrivateExtractIconsA(path.c_str(), static_cast<int>(a.Get(1).AsInt()), s.cx, s.cy, &icon, nullptr, 1, 0);
  if (n == 0 || n == 0xFFFFFFFF) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  if (!icon && a.Get(1).AsInt() == 0)
    icon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, s.cx, s.cy, LR_LOADFROMFILE));
  return Keep(self, icon, true);
}

Value IconDestroy(Object& self, Args a) {
  Release(self);
  Put(self, sym::set::FcName, "");
  return Super(self, sym::Destroy, a);
}

Value IconClone(Object& self, Args) {
  Value copy = Object::New(self.GetClass());
  return copy.Send(sym::Create, Get(self, sym::cName), Get(self, sym::nWidth), Get(self, sym::nHeight));
}

// Paint(hDC, nLeft, nTop, nRight, nBottom): the icon stretched to the box.
Value IconPaint(Object& self, Args a) {
  auto icon = ValueHandle<HICON>(Get(self, sym::Handle));
  HDC dc = ValueHandle<HDC>(a.Get(0));
  if (!icon || !dc) return false;
  const int left = static_cast<int>(a.Get(1).AsInt()), top = static_cast<int>(a.Get(2).AsInt());
  return static_cast<bool>(DrawIconEx(dc, left, top, icon, static_cast<int>(a.Get(3).AsInt()) - left,
                                      static_cast<int>(a.Get(4).AsInt()) - top, 0, nullptr, DI_NORMAL));
}

void Finalize(Object& self) { owned::ReleaseSlot<&DestroyIcon>(self.Slot(g_ownedSlot)); }

}  // namespace

Class* QIconClass() {
  static Class* c = [] {
    QVClass b("QIcon", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QICON_MEMBERS);
    b.Destructor(&Finalize);
    Class* cls = b.Create();
    g_ownedSlot = cls->FindData(sym::pOwned)->slot;
    return cls;
  }();
  return c;
}

Class* TIconClass() {
  static Class* c = DeclarePublicClass("TIcon", QIconClass());
  return c;
}

}  // namespace zv
