// The GUI entry point of a framework program: it runs the process through
// RunProgram, which installs the framework's error handler (ERRORSYS) and
// then calls the program's MAIN.
#include <windows.h>

#include "framework/core/program.h"
#include "framework/error/error_system.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR commandLine, int showCommand) {
  zv::SetErrorSys(&zv::ERRORSYS);
  return zv::RunProgram(instance, prevInstance, commandLine, showCommand, &MAIN);
}
