// The DLL as a whole: its instance handle and folder, the count of live
// server objects (what DllCanUnloadNow and AgentLiveObjects report) and the
// server lock count.
#pragma once

#include <windows.h>

#include <string>

namespace agent {

HINSTANCE ModuleInstance();

// The full path of the DLL, and its folder with a trailing backslash (the
// folder where character files are looked for).
std::wstring ModulePath();
std::wstring ModuleFolder();

// Every COM object of the server counts itself while alive.
void ObjectCreated();
void ObjectDestroyed();
long LiveObjects();

// True when running under Wine (some drawing is done differently there).
bool RunningOnWine();

// Reads an environment variable; "" when absent.
std::wstring EnvironmentValue(const wchar_t* name);

}  // namespace agent
