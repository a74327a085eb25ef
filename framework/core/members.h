// Reading and writing members from the framework's own code: these sends
// skip the visibility check, as the framework works on its objects' behalf
// (protected storage such as "FnLeft", read-only members such as Handle).
#pragma once

#include <string>

#include "runtime/runtime.h"

namespace zv {

inline Value Get(const Value& object, const char* member) { return SendUnchecked(object, Msg(member), Args()); }
inline Value Get(Object& object, const char* member) { return Get(Value(&object), member); }

// Assigns through the member's setter message "_" + member.
inline void Put(Object& object, const char* member, Value v) {
  Value argv[] = {std::move(v)};
  SendUnchecked(Value(&object), Msg(std::string("_") + member), Args(argv, 1));
}

// Whether the object's class answers the message.
inline bool Has(const Value& object, Symbol message) {
  return object.IsObject() && object.AsObject()->GetClass()->HasMessage(message);
}

}  // namespace zv
