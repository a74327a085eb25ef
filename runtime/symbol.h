// Interned message and member names.
//
// Every name used to send a message is interned once into a process-wide
// table and afterwards handled as a small integer. Names compare without
// regard to case: the table folds case when a name is interned, never when a
// message is sent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

class Symbol {
 public:
  constexpr Symbol() = default;
  // Interns a name (any case); the first spelling seen is kept for display.
  explicit Symbol(std::string_view name) : id_(Intern(name)) {}
  explicit Symbol(const char* name) : id_(Intern(name)) {}

  // The symbol of a name that has already been interned, or an invalid symbol.
  static Symbol Find(std::string_view name);
  // The symbol with this id (an id obtained from id()); invalid when unknown.
  static Symbol FromId(std::uint32_t id);

  constexpr std::uint32_t id() const { return id_; }
  constexpr bool valid() const { return id_ != 0; }
  // The name in upper case (how the runtime spells a message, e.g. "SHOW").
  const std::string& upper() const;
  // The name as it was first interned (e.g. "Show").
  const std::string& name() const;

  friend constexpr bool operator==(Symbol a, Symbol b) { return a.id_ == b.id_; }

  static std::size_t Count();

 private:
  static std::uint32_t Intern(std::string_view name);
  static std::uint32_t Intern(const char* name);
  std::uint32_t id_ = 0;  // 0: no symbol
};

// The assignment message of a member ("_nLeft" for nLeft). A type of its
// own, so that code which means to assign cannot send the reading message
// by mistake: Put() takes only setters.
class SetterSymbol {
 public:
  constexpr SetterSymbol() = default;
  explicit SetterSymbol(const char* message) : s_(message) {}
  // The setter of a member symbol.
  static SetterSymbol Of(Symbol member);
  constexpr Symbol symbol() const { return s_; }

 private:
  Symbol s_;
};

// Upper-case copy of an ASCII name (bytes outside a-z are kept as they are).
std::string UpperName(std::string_view name);
// Case-insensitive comparison of names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace zv

// A symbol interned once per call site: ZV_SYM("Show").
#define ZV_SYM(literal) ([]() -> ::zv::Symbol { static const ::zv::Symbol s_(literal); return s_; }())
