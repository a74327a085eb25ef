// Symbol constants: every member name that C++ code of the system sends is
// declared once in a list of names, and each name becomes a constant
//
//   zv::sym::nLeft        the member (the reading message, "nLeft")
//   zv::sym::set::nLeft   its assignment message ("_nLeft")
//
// interned when the program starts. A misspelled constant does not compile;
// a send through a constant costs what a send through a cached symbol
// costs. A list is an X-macro: ZV_SOME_NAMES(X) expands to X(name) per name.
// The list's header declares its constants with
// ZV_DECLARE_SYMBOLS(ZV_SOME_NAMES), and exactly one source file of the
// program defines them with ZV_DEFINE_SYMBOLS(ZV_SOME_NAMES). (Constants
// defined in the header, as inline variables, would make every source file
// that includes it carry the start-up code of the whole list: megabytes of
// code run once and loaded by every start of the program.) The definitions
// are made before the program's other static objects, whose constructors
// may already send through them. A name stands in one list only: the lists
// of a program are disjoint (a name defined twice does not link).
//
// This file holds the list of the runtime's own classes (the root class and
// the error object); the framework's list is framework/core/names.h.
#pragma once

#include "runtime/symbol.h"

// Made before the default-priority static objects of every source file
// (GCC and Clang; a compiler without the attribute must not build this
// silently without the guarantee).
#define ZV_SYMBOL_EARLY_ __attribute__((init_priority(200)))

#define ZV_SYMBOL_DECLARE_(name) extern const ::zv::Symbol name;
#define ZV_SYMBOL_DECLARE_SETTER_(name) extern const ::zv::SetterSymbol name;
#define ZV_SYMBOL_DEFINE_(name) ZV_SYMBOL_EARLY_ const ::zv::Symbol name{#name};
#define ZV_SYMBOL_DEFINE_SETTER_(name) ZV_SYMBOL_EARLY_ const ::zv::SetterSymbol name{"_" #name};
#define ZV_SYMBOL_TEXT_(name) #name,

// Declares the constants of a list (at namespace scope, outside any namespace).
#define ZV_DECLARE_SYMBOLS(LIST)     \
  namespace zv::sym {                \
  LIST(ZV_SYMBOL_DECLARE_)           \
  namespace set {                    \
  LIST(ZV_SYMBOL_DECLARE_SETTER_)    \
  }                                  \
  }

// Defines them: in one source file of the program, where the header that
// declares them is included.
#define ZV_DEFINE_SYMBOLS(LIST)      \
  namespace zv::sym {                \
  LIST(ZV_SYMBOL_DEFINE_)            \
  namespace set {                    \
  LIST(ZV_SYMBOL_DEFINE_SETTER_)     \
  }                                  \
  }

// The names of a list as texts, in list order (for checks that walk them).
#define ZV_SYMBOL_TEXTS(LIST) \
  { LIST(ZV_SYMBOL_TEXT_) }

#define ZV_RUNTIME_NAMES(X) \
  X(ClassName)              \
  X(IsDerivedFrom)          \
  X(GenCode)                \
  X(SubCode)                \
  X(SubSystem)              \
  X(Description)            \
  X(Operation)              \
  X(FileName)               \
  X(OsCode)                 \
  X(Args)                   \
  X(Severity)               \
  X(CanRetry)               \
  X(CanDefault)             \
  X(CanSubstitute)          \
  X(ProcName)               \
  X(ProcLine)               \
  X(Tries)                  \
  X(Cargo)

ZV_DECLARE_SYMBOLS(ZV_RUNTIME_NAMES)
