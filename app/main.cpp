// The demonstration program. Until the demo's own main form exists it shows
// a plain framework form: a few of the framework's localised texts painted
// on it, three bitmap buttons that make the character think, speak and move,
// a status bar saying how the character is doing (and what the focused
// button does), and the character started through the framework's OLE
// client ("Agent.Control.2"). That
// proves the build, the resources, forms and the application loop, the
// automation client, the character server and the Wine run end to end.
#include <windows.h>

#include <string>

#include "framework/controls/btnbmp.h"
#include "framework/core/application.h"
#include "framework/core/environment.h"
#include "framework/core/members.h"
#include "framework/core/texts.h"
#include "framework/ole/oleauto.h"
#include "framework/window/form.h"
#include "framework/window/msgbar.h"
#include "runtime/runtime.h"

namespace {

using zv::Value;

Value g_merlin;  // the character, once it runs

// The demo's bitmap buttons, beside the texts, one above the other.
void AddButton(const Value& form, const std::string& text, const std::string& message, int top,
               Value (*action)(zv::Args)) {
  Value button = zv::NewObject(zv::TBtnBmpClass(), form);
  zv::TBtnBmpRef b(button);
  b.SetBounds(332, top, 90, 25);
  b.cText(text);
  b.cMessage(message);
  b.OnClick().Bind(Value::Callable(action));
  b.Create();
}

// The character's three actions; nothing happens while it does not run.
Value Think(zv::Args) {
  if (g_merlin.IsObject()) g_merlin.Send("Think", "Hmm...");
  return {};
}
Value Speak(zv::Args) {
  if (g_merlin.IsObject()) g_merlin.Send("Speak", "Hola, soy Merlin.");
  return {};
}
Value Move(zv::Args) {
  if (g_merlin.IsObject()) g_merlin.Send("MoveTo", 700LL, 300LL, 1000LL);
  return {};
}

// Paints the texts of some of the framework's messages, in the language
// the program runs in.
Value PaintTexts(zv::Args a) {
  HDC dc = zv::ValueHandle<HDC>(a.Get(1));
  if (!dc) return {};
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  int y = 10;
  const unsigned ids[] = {32769, 32796, 32856, 32865, 32866};
  for (unsigned id : ids) {
    const std::string line = std::to_string(id) + "  " + zv::LT(id, {"1", "2"});
    TextOutA(dc, 10, y, line.c_str(), static_cast<int>(line.size()));
    y += 20;
  }
  return {};
}

// Loads Merlin and greets beside the form. Any failure of the server (not
// registered, character file missing) is shown in the status bar instead.
Value StartCharacter(HWND hwnd, const Value& bar) {
  zv::ErrorHandler previous = zv::SetErrorHandler([](const Value& e) -> Value { throw zv::Break(e); });
  Value merlin;
  std::string state;
  try {
    Value agent = zv::CreateObject("Agent.Control.2");
    agent.Send("_Connected", true);
    agent.Send("Characters").Send("Load", "Merlin", "Merlin.acs");
    merlin = agent.Send("Characters", "Merlin");
    RECT r;
    GetWindowRect(hwnd, &r);
    merlin.Send("MoveTo", static_cast<long long>(r.right + 20), static_cast<long long>(r.top), 0LL);
    merlin.Send("Show");
    merlin.Send("Play", "Greet");
    merlin.Send("Speak", "Welcome to Zorvan!");
    state = "The character is running (Agent.Control.2).";
  } catch (const zv::Break& b) {
    state = "The character could not start: " + zv::ErrorSlot(b.value(), zv::ErrorField::Description).ToDisplay();
    merlin = Value();
  }
  zv::SetErrorHandler(previous);
  bar.Send(zv::sym::SetText, state);
  return merlin;
}

}  // namespace

void MAIN() {
  zv::OLEINITIALIZE();
  Value form = zv::NewObject(zv::TFormClass(), zv::Application());
  zv::TFormRef f(form);
  f.cText("Zorvan");
  f.SetBounds(100, 100, 460, 280);
  f.OnPaint().Bind(Value::Callable(&PaintTexts));
  f.Create();
  Value bar = zv::NewObject(zv::TMsgBarClass(), form);
  bar.Send(zv::sym::Create, form);
  bar.Send(zv::sym::AddItem, "Starting the character...");
  bar.Send(zv::sym::AddItem, "Zorvan", 70);
  AddButton(form, "Think()", "The character thinks.", 40, &Think);
  AddButton(form, "Speak", "The character speaks.", 104, &Speak);
  AddButton(form, "MoveTo()", "The character moves.", 164, &Move);
  f.Show();
  g_merlin = StartCharacter(f.hwnd(), bar);
  zv::Application().Send(zv::sym::Run);
  g_merlin = Value();
  zv::Collect();
  zv::OLEUNINITIALIZE();
}
