// The GUI entry point of a framework program: it runs the process through
// RunProgram, which calls the program's MAIN.
#include <windows.h>

#include "framework/core/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR commandLine, int showCommand) {
  return zv::RunProgram(instance, prevInstance, commandLine, showCommand, &MAIN);
}
