#include "framework/core/program.h"

#include "framework/core/application.h"
#include "framework/core/cmdline.h"
#include "framework/core/environment.h"
#include "framework/core/loop.h"
#include "framework/window/winobject.h"

namespace zv {
namespace {

ProgramStart g_start;
ErrorSysFn g_errorSys = nullptr;

}  // namespace

const ProgramStart& ProgramParameters() { return g_start; }
void SetErrorSys(ErrorSysFn fn) { g_errorSys = fn; }

int RunProgram(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine, int showCommand,
               void (*programMain)()) {
  // 1. The entry point's parameters.
  g_start.instance = instance;
  g_start.prevInstance = prevInstance;
  g_start.commandLine = commandLine ? commandLine : "";
  g_start.showCommand = showCommand;
  SetProgramInstance(instance);
  // 2. (The handler table is built from the message names on first use.)
  // 3. The argument vector.
  std::string path = GETMODULEFILENAME(instance);
  if (path.size() > 254) path.resize(254);
  g_start.argv.assign(1, path);
  for (std::string& a : SplitCommandLine(g_start.commandLine)) g_start.argv.push_back(std::move(a));

  int code = 0;
  bool aborted = false;
  try {
    // 4. Start-up, the error handler, the program.
    ProcFrame frame("MAIN");
    FrameworkStartUp();
    if (g_errorSys) g_errorSys();
    if (programMain) programMain();
    // 5. What is still waiting, unless the program is to quit.
    if (!QuitPending()) PROCESSMESSAGES();
  } catch (const QuitRequest& q) {
    RequestQuit(q.code());
  } catch (const Break&) {
    aborted = true;  // nothing caught the abort: the program ends
  } catch (...) {
    // Any other exception (a C++ library's, a bad_alloc) ends the program
    // the same way: the windows, records, objects and OLE are still released.
    aborted = true;
  }
  FreeAllLinks();
  Collect();
  try {
    FrameworkEndOfProgram();
  } catch (...) {
    aborted = true;
    OLEUNINITIALIZE();  // the end-of-program work did not get that far
  }
  ClearGlobals();
  Collect();
  if (QuitPending()) code = QuitExitCode();
  else if (aborted) code = 1;
  if (code == 0) code = ExitCode();
  return code;
}

}  // namespace zv
