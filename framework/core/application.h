// TApplication: the one application object (the global Application). It
// keeps the list of open forms and the main form, the title, icon, default
// font and help file, the two shared tooltip windows, the busy state, the
// single-instance guard, the Windows version, the command line and the
// executable's version resource. Run() runs the main loop until the last
// visible form is gone.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/classbuilder.h"
#include "framework/core/globals.h"

namespace zv {

Class* QApplicationClass();
Class* TApplicationClass();

// The framework's start-up: the global names, then Application:Initialize().
void FrameworkStartUp();
// The end-of-program work: Printer and AppData destroyed, OLE uninitialised.
void FrameworkEndOfProgram();

// The application's title ("" without an application object).
std::string ApplicationTitle();
// The window of the main form (0 when there is none).
HWND MainFormWindow();
// The first form whose lActive is true, or no value.
Value GetActiveForm();
// The published tooltip windows of the application (0 when absent).
HWND ApplicationTooltipWindow();
HWND ApplicationBalloonWindow();

}  // namespace zv
