// The error system: the framework's handler of every run-time error.
//
// ERRORSYS installs it (the process start-up does, before MAIN). For an
// error it lets a few recoverable cases pass silently (a division by zero
// gives 0; a sharing violation or an append lock that may default sets
// NETERR and defaults), writes the report "Error.log" in the current
// directory, and asks the user through the modal error dialog: Quit always,
// Retry when the error can be retried, Ignore when it can default. Retry
// repeats the failed operation, Ignore gives its default result, Quit (or
// closing the dialog) abandons it: a Break unwinds to the nearest recovery
// point, or ends the program with exit code 1. An error raised while the
// handler runs is reported in a message box and ends the program.
#pragma once

#include <string>
#include <vector>

#include "runtime/value.h"

namespace zv {

void ERRORSYS();
// The handler itself (as installed by ERRORSYS).
Value FrameworkErrorHandler(const Value& error);

// "Error BASE/1081  argument error: +" ...: severity, subsystem, code,
// description and the file or operation.
std::string ERRORMESSAGE(const Value& error);
// " [ 1] = Type: N Val: 1 [ 2] = Type: C Val: a": the operation's arguments.
std::string ARGUMENTS(const Value& error);

// The place of an error in the call stack (the innermost level that is not
// the error system's or the runtime's own), and the trace outwards from it.
struct ErrorPlace {
  std::string proc;
  std::uint32_t line = 0;
  std::vector<std::string> trace;  // "  Class:Method (line)", innermost first
};
ErrorPlace FindErrorPlace(const Value& error);

// What the report takes from the moment it is written.
struct ReportContext {
  std::string date;
  std::string time;
  std::string memory;
  std::string area = "0";
};
ReportContext CurrentReportContext();
// The text of "Error.log" for an error.
std::string ErrorLogText(const Value& error, const ReportContext& context);
// Writes "Error.log" in the current directory (anew) and sets the exit
// code to 1; false when the file could not be made.
bool LOGERROR(const Value& error);
// The error dialog with the message and the buttons; the number of the
// chosen button (1-based), 1 when none was chosen.
long long SHOWERROR(const std::string& message, const std::vector<std::string>& options);

// The network-error flag set by the silent cases.
bool NETERR();
void NETERR(bool on);

// The version texts of the report.
std::string ZORVANVERSION();

}  // namespace zv
