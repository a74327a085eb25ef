#include "app/demo_form.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "framework/controls/btnbmp.h"
#include "framework/core/members.h"
#include "framework/core/msgbox.h"
#include "framework/graphics/font.h"
#include "framework/grid/array_browse.h"
#include "framework/grid/recsel.h"
#include "framework/ole/oleauto.h"

ZV_DEFINE_SYMBOLS(ZV_DEMO_NAMES)

namespace demo {

using zv::Args;
using zv::Get;
using zv::Object;
using zv::Put;
using zv::Value;
namespace sym = zv::sym;

namespace {

// The character, as the form holds it (nothing while it did not start).
Value Character(Object& self) { return Get(self, sym::oPersonaje); }

Value Button(Object& self, int top, const char* text, const char* handler) {
  const Value b = zv::NewObject(zv::TBtnBmpClass(), Value(&self));
  b.Send(sym::SetBounds, 332, top, 90, 25);
  Put(b, sym::set::cText, text);
  Put(b, sym::set::OnClick, handler);  // the form's method of that name
  b.Send(sym::Create);
  return b;
}

}  // namespace

Value Actions() {
  // Windows-1252: \xF1 n with tilde, \xE1 a with acute (split literals keep
  // the hex escapes from running into the next letters).
  static const char* const rows[26][2] = {
      {"Acknowledge", "Mueve la Cabeza"},
      {"Alert", "Abre los ojos GRANDES"},
      {"Announce", "Toca la trompeta"},
      {"Blink", "Pesta\xF1" "ea"},
      {"Confused", "Se rasca la cabeza"},
      {"Congratulate", "Muestra un Trofeo"},
      {"Congratulate_2", "Aplaude"},
      {"Decline", "Levanta las manos y mueve la cabeza"},
      {"DoMagic1", "Levanta la varita m\xE1" "gica"},
      {"DoMagic2", "Baja la varia y aparecen nubes"},
      {"DontRecognize", "Se pone la mano en la oreja"},
      {"Explain", "levanta los brazos"},
      {"GestureDown", "se inclina hacia adelante"},
      {"GestureLeft", "Se inclina a la izquierda"},
      {"GestureRight", "Se inclina a la derecha"},
      {"GestureUp", "Se endereza"},
      {"GetAttention", "Toca la puerta"},
      {"GetAttentionContinued", "Vuelve a tocar la puerta"},
      {"GetAttentionReturn", "Toca la puerta, vuelve al estado original"},
      {"Greet", "Saluda"},
      {"Hearing_1", "Extiende las orejas"},
      {"Hearing_2", "oreja izquierda"},
      {"Hearing_3", "voltea a la derecha"},
      {"Hearing_4", "voltea a la izquierda"},
      {"Hide", "desaparece"},
      {"Show", "aparece"},
  };
  std::vector<Value> list;
  list.reserve(26);
  for (const auto& r : rows) list.push_back(Value::List({r[0], r[1]}));
  return Value::List(std::move(list));
}

// The window, the grid and the three buttons.
Value CreateForm(Object& self, Args a) {
  zv::Super(self, sym::CreateForm, a);
  self.Send(sym::SetBounds, 435, 263, 450, 300);
  self.Send(sym::SetClientSize, 434, 284);
  Put(self, sym::set::cText, "Zorvan MS Agent Demo");
  Put(self, sym::set::oFont, zv::Object::New(zv::TFontClass()).Send(sym::Create, "MS Sans Serif", 8, 0, 400));
  Put(self, sym::set::nBorderStyle, 1);  // bsSINGLE
  Put(self, sym::set::OnInitialize, "FormInitialize");
  Put(self, sym::set::OnClose, "FormClose");
  self.Send(sym::Create);

  const Value grid = zv::NewObject(zv::TArrayBrowseClass(), Value(&self));
  Put(self, sym::set::oArrayBrowse1, grid);
  grid.Send(sym::SetBounds, 8, 12, 310, 242);
  zv::Object::New(zv::TBrwRecSelClass()).Send(sym::Create, grid);
  Put(grid, sym::set::nMarqueeStyle, 4);  // bmHIGHLROWRC
  Put(grid, sym::set::OnDblClick, "ArrayBrowse1DblClick");
  grid.Send(sym::Create);

  Put(self, sym::set::oBtnBmp1, Button(self, 40, "Think()", "BtnBmp1Click"));
  Put(self, sym::set::oBtnBmp2, Button(self, 104, "Speak", "BtnBmp2Click"));
  Put(self, sym::set::oBtnBmp3, Button(self, 164, "MoveTo()", "BtnBmp3Click"));
  return Value(&self);
}

// Present for a menu item; the form has no menu.
Value Menu1Item1_1Click(Object&, Args) { return {}; }

// The character plays the animation of the grid's current row (its
// position, whatever column was clicked).
Value ArrayBrowse1DblClick(Object& self, Args a) {
  const Value grid = a.Get(0);
  const Value row = Get(self, sym::aActions).Item(static_cast<std::size_t>(Get(grid, sym::nArrayAt).AsInt()));
  Character(self).Send(sym::Play, row.Item(1));
  return {};
}

Value BtnBmp1Click(Object& self, Args) {
  Character(self).Send(sym::Think, "ahora estoy pensando");
  return {};
}

Value BtnBmp2Click(Object& self, Args) {
  const Value merlin = Character(self);
  merlin.Send(sym::Speak, "This is Zorvan Power !!!!");
  merlin.Send(sym::Speak, "hablo un poco espaniol");
  return {};
}

Value BtnBmp3Click(Object& self, Args) {
  Character(self).Send(sym::MoveTo, 600, 600, 500);
  return {};
}

// The character is started, greets beside the form (not yet shown) and the
// grid is filled.
Value FormInitialize(Object& self, Args) {
  const Value agent = zv::NewObject(zv::TOleAutoClass(), "Agent.Control.2");
  Put(self, sym::set::oAgentControl, agent);
  Put(agent, sym::set::Connected, true);
  agent.Send(sym::Characters).Send(sym::Load, "Merlin", "Merlin.acs");
  const Value merlin = agent.Send(sym::Characters, "Merlin");
  Put(self, sym::set::oPersonaje, merlin);

  const long long left = Get(self, sym::nLeft).AsInt(), width = Get(self, sym::nWidth).AsInt();
  merlin.Send(sym::Show);
  merlin.Send(sym::MoveTo, left - 70, 350, 1000);
  merlin.Send(sym::Speak, "Welcome to Zorvan Agent Demo !!!");
  merlin.Send(sym::Play, "GestureLeft");
  merlin.Send(sym::Think, "Haz doble click en el browse y har\xE9 algo");
  merlin.Send(sym::MoveTo, left + width - 20, 370, 1000);
  merlin.Send(sym::Play, "GestureRight");
  merlin.Send(sym::Think, "Pulsa los botones y ver\xE1s algunos de mis m\xE9todos...");
  merlin.Send(sym::Speak, "Have fun!");

  Put(self, sym::set::aActions, Actions());
  Get(self, sym::oArrayBrowse1).Send(sym::SetArray, Get(self, sym::aActions));
  return {};
}

// The farewell, then the question: Yes closes, No brings the character back
// and keeps the form open.
Value FormClose(Object& self, Args a) {
  const Value merlin = Character(self);
  merlin.Send(sym::Play, "Congratulate");
  merlin.Send(sym::Speak, "Hooray Zorvan");
  merlin.Send(sym::Play, "Congratulate_2");
  merlin.Send(sym::Speak, "Thank your for your attention to this demo");
  merlin.Send(sym::Play, "Greet");
  merlin.Send(sym::Speak, "bye bye");
  merlin.Send(sym::Hide);
  if (zv::MsgNoYes("\xBF" "Desea salir del demo?")) {
    a.Set(1, true);
  } else {
    merlin.Send(sym::Show);
    a.Set(1, false);
  }
  return true;
}

zv::Class* TForm1Class() {
  static zv::Class* c = [] {
    zv::QVClass b("Tform1", {zv::TFormClass()});
    ZV_REGISTER_MEMBERS(b, ZV_TFORM1_MEMBERS);
    return b.Create();
  }();
  return c;
}

}  // namespace demo
