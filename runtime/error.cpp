#include "runtime/error.h"

#include "runtime/callstack.h"
#include "runtime/names.h"

namespace zv {
namespace {

ErrorHandler& handler() {
  static ErrorHandler* h = new ErrorHandler([](const Value& e) -> Value { throw Break(e); });
  return *h;
}

bool g_quit = false;
int g_quitCode = 0;
int g_exitCode = 0;

}  // namespace

Class* ErrorClass() {
  static Class* c = [] {
    ClassDecl d("Error", nullptr);
    // Declared in the order of ErrorField.
    d.AddData(sym::GenCode.name(), 0);
    d.AddData(sym::SubCode.name(), 0);
    d.AddData(sym::SubSystem.name(), "");
    d.AddData(sym::Description.name(), "");
    d.AddData(sym::Operation.name(), "");
    d.AddData(sym::FileName.name(), "");
    d.AddData(sym::OsCode.name());
    d.AddData(sym::Args.name());
    d.AddData(sym::Severity.name(), 2);
    d.AddData(sym::CanRetry.name(), false);
    d.AddData(sym::CanDefault.name(), false);
    d.AddData(sym::CanSubstitute.name(), false);
    d.AddData(sym::ProcName.name(), "");
    d.AddData(sym::ProcLine.name(), 0);
    d.AddData(sym::Tries.name(), 0);
    d.AddData(sym::Cargo.name());
    return d.Finish();
  }();
  return c;
}

Value& ErrorSlot(const Value& error, ErrorField f) {
  return error.AsObject()->Slot(static_cast<std::uint32_t>(f));
}

std::string StandardErrorText(int genCode) {
  switch (genCode) {
    case kErrArgument: return "Argument error";
    case kErrBound: return "Bound error";
    case kErrZeroDivide: return "Zero divisor";
    case kErrNoMethod: return "No exported method";
    case kErrOpen: return "Open error";
    case kErrAppendLock: return "Append lock failed";
    case kErrRecursion: return "Recursion too deep";
    default: return "Unknown error";
  }
}

Value MakeError(const ErrorInfo& info, SourceLocation at) {
  Value e = Object::New(ErrorClass());
  ErrorSlot(e, ErrorField::GenCode) = info.genCode;
  ErrorSlot(e, ErrorField::SubCode) = info.subCode;
  ErrorSlot(e, ErrorField::SubSystem) = info.subSystem;
  ErrorSlot(e, ErrorField::Description) =
      info.description.empty() ? StandardErrorText(info.genCode) : info.description;
  ErrorSlot(e, ErrorField::Operation) = info.operation;
  ErrorSlot(e, ErrorField::FileName) = info.fileName;
  ErrorSlot(e, ErrorField::OsCode) = info.osCode;
  ErrorSlot(e, ErrorField::Args) = info.args;
  ErrorSlot(e, ErrorField::Severity) = info.severity;
  ErrorSlot(e, ErrorField::CanRetry) = info.canRetry;
  ErrorSlot(e, ErrorField::CanDefault) = info.canDefault;
  ErrorSlot(e, ErrorField::CanSubstitute) = info.canSubstitute;
  ErrorSlot(e, ErrorField::ProcName) = CallStack::Depth() ? CallStack::ProcName(0) : std::string();
  ErrorSlot(e, ErrorField::ProcLine) = static_cast<std::int64_t>(at.line());
  return e;
}

Break::Break(Value v) : value_(std::move(v)) {
  if (Object* o = value_.AsObject(); o && o->GetClass() == ErrorClass()) {
    text_ = "break: " + ErrorSlot(value_, ErrorField::SubSystem).ToDisplay() + "/" +
            ErrorSlot(value_, ErrorField::SubCode).ToDisplay() + "  " +
            ErrorSlot(value_, ErrorField::Description).ToDisplay() + ": " +
            ErrorSlot(value_, ErrorField::Operation).ToDisplay();
  } else {
    text_ = "break: " + value_.ToDisplay();
  }
}

ErrorHandler SetErrorHandler(ErrorHandler h) {
  ErrorHandler old = std::move(handler());
  handler() = h ? std::move(h) : ErrorHandler([](const Value& e) -> Value { throw Break(e); });
  return old;
}

const ErrorHandler& CurrentErrorHandler() { return handler(); }

Value RaiseError(const Value& error, const RetryFn& retry) {
  Value& tries = ErrorSlot(error, ErrorField::Tries);
  for (;;) {
    tries = tries.AsInt() + 1;
    // Keep a copy of the handler: it may install another one while it runs.
    ErrorHandler h = handler();
    Value answer = h(error);
    const Value& a = answer.Deref();
    if (a.IsLogical()) {
      if (a.AsBool()) {
        // Retry: repeat the operation when the error allows it; otherwise the
        // operation cannot be repeated and is abandoned.
        if (!ErrorSlot(error, ErrorField::CanRetry).AsBool() || !retry) throw Break(error);
        Value result;
        if (retry(result)) return result;
        continue;  // failed again: the same error, one more try
      }
      return {};  // the default result
    }
    if (ErrorSlot(error, ErrorField::CanSubstitute).AsBool()) return a;
    return {};
  }
}

Value RaiseError(const ErrorInfo& info, const RetryFn& retry, SourceLocation at) {
  return RaiseError(MakeError(info, at), retry);
}

void RequestQuit(int exitCode) {
  g_quit = true;
  g_quitCode = exitCode;
}
bool QuitPending() { return g_quit; }
int QuitExitCode() { return g_quitCode; }
void ClearQuitRequest() { g_quit = false; }
void SetExitCode(int code) { g_exitCode = code; }
int ExitCode() { return g_exitCode; }

}  // namespace zv
