#include "framework/error/error_system.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/application.h"
#include "framework/core/environment.h"
#include "framework/core/members.h"
#include "framework/core/msgbox.h"
#include "framework/core/texts.h"
#include "framework/error/error_form.h"
#include "runtime/callstack.h"
#include "runtime/error.h"

namespace zv {

namespace {

bool g_netErr = false;
// While the handler runs, errors go to the nested handler; one raised
// while that one reports ends the program at once.
int g_nested = 0;

std::string Text(const Value& v) {
  const Value& d = v.Deref();
  if (d.IsNil()) return {};
  return d.ToDisplay();
}

Value Slot(const Value& e, ErrorField f) { return ErrorSlot(e, f).Deref(); }

std::string Centred(const std::string& s, std::size_t width, char pad) {
  if (s.size() >= width) return s;
  const std::size_t left = (width - s.size()) / 2;
  return std::string(left, pad) + s + std::string(width - s.size() - left, pad);
}

// The error system's and the runtime's own procedures: not where an error
// happened.
bool Internal(const std::string& proc) {
  if (proc.find("ERRORSYS") != std::string::npos || proc.find("RaiseError") != std::string::npos) return true;
  const std::string root = RootClass()->Name() + ":";
  return proc.compare(0, root.size(), root) == 0;
}

std::string WindowsPlatform() {
  const Value v = GETVERSIONEX();  // {major + minor / 100, build, platform, service pack}
  const double version = v.Item(1).AsDouble();
  const int major = static_cast<int>(version);
  const int minor = static_cast<int>(version * 100 + 0.5) - major * 100;
  char t[96];
  std::snprintf(t, sizeof t, "Windows %d.%d build %lld", major, minor, static_cast<long long>(v.Item(2).AsInt()));
  return t;
}

// The nested handler: an error while the handler runs.
Value NestedHandler(const Value& e) {
  if (++g_nested > 1) throw QuitRequest(1);  // the report itself failed: no more boxes
  std::string line = std::to_string(CallStack::Depth() ? CallStack::ProcLine(0) : 0);
  if (line.size() > 6) line.resize(6);
  MsgInfo(Value(LT(32797, {ERRORMESSAGE(e), line})));
  SetExitCode(1);
  throw QuitRequest(1);
}

class NestedScope {
 public:
  NestedScope() : previous_(SetErrorHandler(&NestedHandler)) { g_nested = 0; }
  ~NestedScope() {
    SetErrorHandler(previous_);
    g_nested = 0;
  }
  NestedScope(const NestedScope&) = delete;
  NestedScope& operator=(const NestedScope&) = delete;

 private:
  ErrorHandler previous_;
};

}  // namespace

bool NETERR() { return g_netErr; }
void NETERR(bool on) { g_netErr = on; }

std::string ZORVANVERSION() { return "Zorvan 1.0.0"; }

void ERRORSYS() { SetErrorHandler(&FrameworkErrorHandler); }

std::string ERRORMESSAGE(const Value& e) {
  std::string m = LT(Slot(e, ErrorField::Severity).AsInt() > 1 ? 32804 : 32805);
  const Value sub = Slot(e, ErrorField::SubSystem);
  m += " ";
  m += sub.IsString() ? sub.AsString() : std::string("???");
  const Value code = Slot(e, ErrorField::SubCode);
  m += code.IsNumber() ? "/" + code.ToDisplay() : std::string("/???");
  const Value description = Slot(e, ErrorField::Description);
  if (description.IsString()) m += "  " + description.AsString();
  const std::string file = Text(Slot(e, ErrorField::FileName)), operation = Text(Slot(e, ErrorField::Operation));
  if (!file.empty()) m += ": " + file;
  else if (!operation.empty()) m += ": " + operation;
  return m;
}

std::string ARGUMENTS(const Value& e) {
  const Value args = Slot(e, ErrorField::Args);
  if (!args.IsList()) return {};
  std::string out;
  for (std::size_t i = 1; i <= args.Len(); ++i) {
    const Value a = args.Item(i);
    char n[8];
    std::snprintf(n, sizeof n, "%2zu", i);
    out += " " + LT(32806, {std::string(n), std::string(1, a.TypeLetter()), a.ToDisplay()});
  }
  return out;
}

ErrorPlace FindErrorPlace(const Value& e) {
  const std::string name = Text(Slot(e, ErrorField::ProcName));
  const std::uint32_t line = static_cast<std::uint32_t>(Slot(e, ErrorField::ProcLine).AsInt());
  const std::size_t depth = CallStack::Depth();
  std::size_t level = depth;
  for (std::size_t l = 0; l < depth; ++l) {
    if (CallStack::ProcName(l) == name && CallStack::ProcLine(l) == line) {
      level = l;
      break;
    }
  }
  ErrorPlace place;
  bool fixed = false;
  if (level == depth) {
    level = 0;
    if (!name.empty() && !Internal(name)) {
      place.proc = name;
      place.line = line;
      fixed = true;
    }
  }
  while (level < depth && Internal(CallStack::ProcName(level))) ++level;
  if (!fixed && level < depth) {
    place.proc = CallStack::ProcName(level);
    place.line = CallStack::ProcLine(level);
  }
  for (std::size_t l = level; l < depth; ++l)
    place.trace.push_back("  " + CallStack::ProcName(l) + " (" + std::to_string(CallStack::ProcLine(l)) + ")");
  return place;
}

ReportContext CurrentReportContext() {
  ReportContext c;
  SYSTEMTIME t{};
  GetLocalTime(&t);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
  c.date = buf;
  std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  c.time = buf;
  MEMORYSTATUSEX m{};
  m.dwLength = sizeof m;
  GlobalMemoryStatusEx(&m);
  c.memory = std::to_string(m.ullAvailPhys / 1024) + " KB";
  return c;
}

std::string ErrorLogText(const Value& e, const ReportContext& c) {
  std::string out;
  out += Centred(LT(32807), 79, '*') + "\r\n\r\n";
  out += LT(32808, {c.date, c.time, c.memory, c.area});
  out += Centred(LT(32809), 79, '-') + "\r\n\r\n";
  out += LT(32810, {ZORVANVERSION(), "Zorvan object runtime 1.0.0", std::string("GNU C++ ") + __VERSION__, WindowsPlatform()});
  out += Centred(LT(32811), 79, '-') + "\r\n\r\n";
  out += LT(32812, {Text(Slot(e, ErrorField::SubSystem)), Text(Slot(e, ErrorField::SubCode)),
                    Text(Slot(e, ErrorField::CanDefault)), Text(Slot(e, ErrorField::Description)),
                    Text(Slot(e, ErrorField::Operation)), ARGUMENTS(e), Text(Slot(e, ErrorField::FileName)),
                    Text(Slot(e, ErrorField::OsCode))});
  for (const std::string& l : FindErrorPlace(e).trace) out += l + "\r\n";
  out += "\r\n";
  return out;
}

bool LOGERROR(const Value& e) {
  const std::string text = ErrorLogText(e, CurrentReportContext());
  SetExitCode(1);
  HANDLE f = CreateFileA("Error.log", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == text.size();
}

long long SHOWERROR(const std::string& message, const std::vector<std::string>& options) {
  std::vector<Value> captions(options.begin(), options.end());
  const Value owner = Application().IsObject() ? Get(Application(), sym::oMainForm) : Value();
  // The message and the options are the form's before New builds it.
  const Value form = Object::New(TErrorFormClass());
  Put(form, sym::set::cMessage, message);
  Put(form, sym::set::aOptions, Value::List(std::move(captions)));
  // The dialog goes however its modal run ends (an error raised while it
  // is up unwinds through here).
  struct Gone {
    Value form;
    ~Gone() {
      if (ObjectHwnd(form)) form.Send(sym::Destroy, true);
    }
  } gone{form};
  form.Send(sym::New, owner);
  const Value r = form.Send(sym::ShowModal, Value(), true);
  const long long n = r.IsNumber() ? r.AsInt() : 0;
  return n >= 1 && n <= static_cast<long long>(options.size()) ? n : 1;
}

Value FrameworkErrorHandler(const Value& e) {
  const long long gen = Slot(e, ErrorField::GenCode).AsInt();
  const bool canDefault = Slot(e, ErrorField::CanDefault).AsBool();
  if (gen == 5) return 0;
  if ((gen == 21 && Slot(e, ErrorField::OsCode).AsInt() == 32 && canDefault) || (gen == 40 && canDefault)) {
    NETERR(true);
    return false;
  }
  long long choice = 1;
  std::vector<std::string> options{LT(32800)};
  {
    NestedScope nested;
    const ErrorPlace place = FindErrorPlace(e);
    std::string message = place.proc + "(" + std::to_string(place.line) + ") " + "\r\n";
    message += ERRORMESSAGE(e) + "\r\n" + LT(32798, {ARGUMENTS(e)});
    const std::string os = Text(Slot(e, ErrorField::OsCode));
    if (!os.empty()) message += "\r\n" + LT(32799, {os});
    if (Slot(e, ErrorField::CanRetry).AsBool()) options.push_back(LT(32801));
    if (canDefault) options.push_back(LT(32802));
    LOGERROR(e);
    choice = SHOWERROR(message, options);
  }
  const std::string& picked = options[static_cast<std::size_t>(choice - 1)];
  if (picked == LT(32801)) return true;
  if (picked == LT(32802)) return false;
  throw Break(e);
}

}  // namespace zv
