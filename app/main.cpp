// The demonstration program: the application's title, the main form (which
// starts the character while it is built), shown, and the application's
// loop until the form is closed.
#include "app/demo_form.h"
#include "framework/core/application.h"
#include "framework/core/members.h"
#include "framework/core/program.h"

void MAIN() {
  zv::Put(zv::Application(), zv::sym::set::cTitle, "vorlent");
  const zv::Value form = zv::NewObject(demo::TForm1Class(), zv::Application());
  form.Send(zv::sym::Show);
  zv::Application().Send(zv::sym::Run);
}
