// Symbol constants: every member name that C++ code of the system sends is
// declared once in a list of names, and each name becomes a constant
//
//   zv::sym::nLeft        the member (the reading message, "nLeft")
//   zv::sym::set::nLeft   its assignment message ("_nLeft")
//
// interned when the program starts. A misspelled constant does not compile;
// a send through a constant costs what a send through a cached symbol
// costs. A list is an X-macro: ZV_SOME_NAMES(X) expands to X(name) per name,
// and ZV_DEFINE_SYMBOLS(ZV_SOME_NAMES) defines the constants of the list.
// A name stands in one list only: the lists of a program are disjoint (a
// name defined twice does not compile where both lists are seen).
//
// This file holds the list of the runtime's own classes (the root class and
// the error object); the framework's list is framework/core/names.h.
#pragma once

#include "runtime/symbol.h"

#define ZV_SYMBOL_DEFINE_(name) inline const ::zv::Symbol name{#name};
#define ZV_SYMBOL_DEFINE_SETTER_(name) inline const ::zv::SetterSymbol name{"_" #name};
#define ZV_SYMBOL_TEXT_(name) #name,

// Defines the constants of a list (at namespace scope, outside any namespace).
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

ZV_DEFINE_SYMBOLS(ZV_RUNTIME_NAMES)
