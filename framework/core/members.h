// Reading and writing members from the framework's own code: these sends
// skip the visibility check, as the framework works on its objects' behalf
// (protected storage such as "FnLeft", read-only members such as Handle).
// Members are named by symbol constants (sym::nLeft, sym::set::nLeft).
#pragma once

#include "framework/core/names.h"
#include "runtime/runtime.h"

namespace zv {

inline Value Get(const Value& object, Symbol member) { return SendUnchecked(object, Msg(member), Args()); }
inline Value Get(Object& object, Symbol member) { return SendUnchecked(object, Msg(member), Args()); }

// Assigns through the member's setter message (sym::set::<member>).
inline void Put(Object& object, SetterSymbol setter, Value v) {
  Value argv[] = {std::move(v)};
  SendUnchecked(object, Msg(setter), Args(argv, 1));
}
inline void Put(const Value& object, SetterSymbol setter, Value v) {
  Value argv[] = {std::move(v)};
  SendUnchecked(object, Msg(setter), Args(argv, 1));
}

// Whether the object's class answers the message.
inline bool Has(const Value& object, Symbol message) {
  return object.IsObject() && object.AsObject()->GetClass()->HasMessage(message);
}

}  // namespace zv
