// Run-time errors.
//
// An error is an object of class "Error" with the fields GenCode, SubCode,
// SubSystem, Description, Operation, FileName, OsCode, Args, Severity,
// CanRetry, CanDefault, CanSubstitute, ProcName, ProcLine, Tries and Cargo.
// RaiseError hands it to the one installed error handler, whose answer
// decides what the failed operation yields:
//   true   retry the operation (when the error allows it);
//   false  use the default result (absent);
//   other  substitute that value (when the error allows it).
// The handler may instead abandon the operation by throwing Break, which
// unwinds to the nearest recovery point (a catch of Break); when nothing
// catches it, the program ends. The handler installed at start is one that
// throws Break for every error.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "runtime/object.h"
#include "runtime/source_location.h"

namespace zv {

// Generic error codes.
enum ErrorCode : int {
  kErrArgument = 1,
  kErrBound = 2,
  kErrZeroDivide = 5,
  kErrNoMethod = 13,
  kErrOpen = 21,
  kErrAppendLock = 40,
  kErrRecursion = 44,   // the call stack reached its deepest allowed level
};

// Sub-codes the runtime uses.
enum ErrorSubCode : int {
  kSubNoMethod = 1004,     // message not understood
  kSubNoVariable = 1005,   // assignment to a member that does not exist
  kSubProtected = 41,      // scope violation: protected member
  kSubHidden = 42,         // scope violation: hidden member
  kSubReadOnly = 43,       // read-only member assigned from outside
};

struct ErrorInfo {
  int genCode = 0;
  Value subCode;              // a number, or absent
  std::string subSystem = "BASE";
  std::string description;    // empty: the standard text of genCode
  std::string operation;
  std::string fileName;
  Value osCode;               // absent unless an operating-system error is involved
  Value args;                 // a list of the operation's arguments, or absent
  int severity = 2;           // 2 error, 1 warning
  bool canRetry = false;
  bool canDefault = false;
  bool canSubstitute = false;
};

// Slots of the error object, in declaration order.
enum class ErrorField : std::uint32_t {
  GenCode, SubCode, SubSystem, Description, Operation, FileName, OsCode, Args, Severity,
  CanRetry, CanDefault, CanSubstitute, ProcName, ProcLine, Tries, Cargo
};

Class* ErrorClass();
// A new error object; ProcName and ProcLine are those of the innermost frame
// and of the given source line.
Value MakeError(const ErrorInfo& info, SourceLocation at = SourceLocation::current());
Value& ErrorSlot(const Value& error, ErrorField f);
std::string StandardErrorText(int genCode);

// The abort: thrown by the error handler to abandon an operation.
class Break : public std::exception {
 public:
  explicit Break(Value v);
  const Value& value() const noexcept { return value_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  Value value_;
  std::string text_;
};

// A request to end the program (with its exit code), raised as an exception
// so that it unwinds like an abort.
class QuitRequest : public std::exception {
 public:
  explicit QuitRequest(int code) : code_(code) {}
  int code() const noexcept { return code_; }
  const char* what() const noexcept override { return "quit requested"; }

 private:
  int code_;
};

using ErrorHandler = std::function<Value(const Value& error)>;
// Installs a handler and returns the previous one.
ErrorHandler SetErrorHandler(ErrorHandler h);
const ErrorHandler& CurrentErrorHandler();

// Repeats a failed operation: true when it succeeded this time (its result
// in `result`), false when it failed again in the same way. It must not raise
// the same error again itself: the raise asks the handler once more, with
// Tries counted up on the same error object.
using RetryFn = std::function<bool(Value& result)>;

// Raises the error. While the handler answers retry (and the error allows
// it), the operation is repeated; when it succeeds, its result becomes this
// call's result, when it fails again the handler is asked again about the same
// error (Tries counts the attempts). The loop runs in one stack frame, so a
// handler that keeps retrying never deepens the stack.
Value RaiseError(const Value& error, const RetryFn& retry = {});
// Builds and raises an error.
Value RaiseError(const ErrorInfo& info, const RetryFn& retry = {},
                 SourceLocation at = SourceLocation::current());

// Request to quit the program: the message loops see it and leave; the
// program then ends with the code.
void RequestQuit(int exitCode = 0);
bool QuitPending();
int QuitExitCode();
void ClearQuitRequest();

// The program's exit code (0 unless something sets another; the error log sets 1).
void SetExitCode(int code);
int ExitCode();

}  // namespace zv
