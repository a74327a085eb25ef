#include "framework/services/cursor.h"

#include <string>

#include "framework/core/members.h"
#include "framework/window/owned_handle.h"

namespace zv {
namespace {

// The slot of pOwned, for the destructor (which runs without sends).
std::uint32_t g_ownedSlot = 0;

// Ownership. Handle is the cursor in use; pOwned is the same handle when the
// object made that cursor itself and must destroy it, else 0. How a cursor
// was obtained decides it, once, when it is loaded:
//   - LoadCursor (a system cursor by number or by name) answers the system's
//     shared cursor: never destroyed, pOwned stays 0;
//   - LoadCursorFromFile makes a new cursor from the file on every call;
//   - a cursor resource of the program is loaded with LoadImage without
//     LR_SHARED, which makes a private copy for this object;
// the last two are the object's own. DestroyCursor is called on pOwned only,
// so a shared cursor is never destroyed, whatever its name looked like.
void Release(Object& self) { owned::Release<&DestroyCursor>(self); }
using owned::Keep;
using owned::StoredName;

bool IsFileName(const Value& name) { return name.IsString() && name.AsString().find('.') != std::string::npos; }

// Load(cName): the cursor of that name in place of the current one; true
// when a cursor was found.
Value Load(Object& self, Args a) {
  Release(self);
  const Value name = StoredName(a.Get(0));
  Put(self, sym::set::FcName, name);
  if (name.IsString() && name.AsString().empty()) return false;
  return self.Send(IsFileName(name) ? sym::LoadFromFile : sym::LoadFromResource, name);
}

Value LoadFromResource(Object& self, Args a) {
  Release(self);
  const Value name = StoredName(a.Get(0));
  Put(self, sym::set::FcName, name);
  if (name.IsNumber()) {
    const std::int64_t id = name.AsInt();
    if (id <= 0 || id > 0xFFFF) return Keep(self, nullptr, false);
    return Keep(self, LoadCursorA(nullptr, MAKEINTRESOURCEA(static_cast<WORD>(id))), false);
  }
  const std::string& text = name.AsString();
  if (text.empty()) return Keep(self, nullptr, false);
  auto own = static_cast<HCURSOR>(LoadImageA(GETINSTANCE(), text.c_str(), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  if (own) return Keep(self, own, true);
  return Keep(self, LoadCursorA(nullptr, text.c_str()), false);
}

Value LoadFromFile(Object& self, Args a) {
  Release(self);
  const Value file = StoredName(a.Get(0));
  Put(self, sym::set::FcName, file);
  const std::string& path = file.AsString();
  return Keep(self, path.empty() ? nullptr : LoadCursorFromFileA(path.c_str()), true);
}

// New(cName) and Create(cName) load the cursor of the name (the argument is
// the name, not an owner); Create is also the setter of cName.
Value CursorNew(Object& self, Args a) {
  Put(self, sym::set::lFree, true);
  self.Send(sym::Load, a.Get(0));
  return Value(&self);
}

Value CursorCreate(Object& self, Args a) {
  CursorNew(self, a);
  Put(self, sym::set::lCreated, true);
  return Value(&self);
}

Value Destroy(Object& self, Args a) {
  Release(self);
  Put(self, sym::set::FcName, "");
  return Super(self, sym::Destroy, a);
}

// A new cursor of the same class and name, with a handle of its own.
Value Clone(Object& self, Args) {
  Value copy = Object::New(self.GetClass());
  return copy.Send(sym::New, Get(self, sym::cName));
}

// An object dropped without Destroy still gives its own cursor back.
void Finalize(Object& self) { owned::ReleaseSlot<&DestroyCursor>(self.Slot(g_ownedSlot)); }

}  // namespace

Class* QCursorClass() {
  static Class* c = [] {
    QVClass b("QCursor", {TWinObjectClass()});
    ZV_REGISTER_MEMBERS(b, ZV_QCURSOR_MEMBERS);
    b.Destructor(&Finalize);
    Class* cls = b.Create();
    g_ownedSlot = cls->FindData(sym::pOwned)->slot;
    return cls;
  }();
  return c;
}

Class* TCursorClass() {
  static Class* c = DeclarePublicClass("TCursor", QCursorClass());
  return c;
}

}  // namespace zv
