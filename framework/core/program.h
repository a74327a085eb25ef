// The beginning and the end of a program's process: the GUI entry point runs
// RunProgram, which starts the framework, installs the error handler, calls
// the program's MAIN and, when it returns, dispatches what is still waiting,
// frees the window records, releases the objects and runs the
// end-of-program work.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zv {

struct ProgramStart {
  HINSTANCE instance = nullptr;
  HINSTANCE prevInstance = nullptr;
  std::string commandLine;
  int showCommand = SW_SHOWDEFAULT;
  // Element 0: the executable's full path (up to 254 characters); then the
  // arguments of the command line.
  std::vector<std::string> argv;
};

const ProgramStart& ProgramParameters();

// The hook that installs the framework's error handler (the error system
// sets it); without it the runtime's own handler (abort) stays.
using ErrorSysFn = void (*)();
void SetErrorSys(ErrorSysFn fn);

// Runs the whole process and returns its exit code: 0 unless the program
// set another (SetExitCode), the quit request's code, or 1 when an abort
// was not caught.
int RunProgram(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine, int showCommand,
               void (*programMain)());

}  // namespace zv

// The program's entry procedure, defined by the program (the framework's
// WinMain calls it through RunProgram).
void MAIN();
