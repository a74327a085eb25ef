// Queries of the environment used at start-up, and OLE initialisation.
#pragma once

#include <windows.h>

#include <string>

#include "runtime/runtime.h"

namespace zv {

// {major + minor * 0.01, build number (low 16 bits), platform id, service-pack text}.
Value GETVERSIONEX();
int GETWINPLATFORM();
// The arguments after the program's path.
Value GETCMDLINE();
// The full path of a module (up to 260 characters).
std::string GETMODULEFILENAME(HINSTANCE instance);
// The first character of the user's decimal separator; "" when the query fails.
std::string GETDECIMALSEPARATOR();
bool OLEINITIALIZE();
void OLEUNINITIALIZE();
// Shows the wait cursor (loaded once).
void CURSORWAIT();
HCURSOR WaitCursor();

// The current drive and directory: "C:\dir\" and "C:".
std::string CurrentDirText();
std::string CurrentDriveText();

}  // namespace zv
