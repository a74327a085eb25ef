// The call stack of executing methods.
//
// Every method that runs C++ code (natives and inline methods), every
// evaluated callable and every procedure that declares itself with a
// ProcFrame has a frame. A frame holds a reference to its receiver, so an
// object is never freed while one of its methods runs. The line of a frame is
// the C++ source line of the last message sent from it, which is what error
// reports and the error log show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/source_location.h"

#include "runtime/symbol.h"

namespace zv {

class Object;
struct Method;

struct Frame {
  Object* self = nullptr;          // the receiver; nullptr for procedures and plain callables
  const Method* method = nullptr;  // nullptr for procedures, callables and undefined-message handlers
  Symbol message;                  // the message of an undefined-message handler
  const char* proc = nullptr;      // the name of a procedure frame
  std::uint32_t line = 0;          // the line being executed in this frame
  bool callable = false;           // an evaluated callable (an inline method or a callable value)
};

class CallStack {
 public:
  // Number of frames; level 0 is the innermost.
  static std::size_t Depth() noexcept;
  static const Frame& At(std::size_t level) noexcept;
  // "Class:Method" for a method frame, the procedure's name otherwise.
  static std::string ProcName(const Frame& f);
  static std::string ProcName(std::size_t level) { return level < Depth() ? ProcName(At(level)) : std::string(); }
  static std::uint32_t ProcLine(std::size_t level) { return level < Depth() ? At(level).line : 0; }
  // The object on whose behalf the current code runs: the receiver of the
  // innermost executing method, skipping callables being evaluated. nullptr
  // outside any method.
  // The frames of the innermost `skip` levels are not considered (a native
  // that asks on its caller's behalf skips its own frame).
  static Object* Owner(std::size_t skip = 0) noexcept;
  // The innermost frame that runs a method (inline methods included), or nullptr.
  static const Frame* InnermostMethod() noexcept;
  // The deepest call stack allowed: a method, callable or event that would
  // run deeper raises a run-time error (recursion without end would
  // otherwise overflow the machine stack and kill the process).
  static std::size_t MaxDepth() noexcept;
  static void SetMaxDepth(std::size_t depth) noexcept;
  // Records the line being executed in the innermost frame.
  static void SetLine(std::uint32_t line) noexcept;

  // Used by the runtime's dispatch.
  static void Push(const Frame& f);
  static void Pop() noexcept;
};

namespace detail {
extern Frame* g_topFrame;  // the innermost frame, nullptr when the stack is empty
}

inline void CallStack::SetLine(std::uint32_t line) noexcept {
  if (detail::g_topFrame) detail::g_topFrame->line = line;
}

// A frame for a C++ procedure that is not a method ("MAIN", "ERRORSYS").
class ProcFrame {
 public:
  explicit ProcFrame(const char* name, SourceLocation at = SourceLocation::current());
  ~ProcFrame();
  ProcFrame(const ProcFrame&) = delete;
  ProcFrame& operator=(const ProcFrame&) = delete;
};

}  // namespace zv
