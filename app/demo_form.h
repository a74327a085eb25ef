// TForm1: the demo's main form. A grid lists the character's animations
// with a Spanish description of each; a double-click on a row plays that
// animation; three bitmap buttons make the character think, speak and move.
// Building the form starts the character ("Agent.Control.2", "Merlin") and
// lets it greet before the form is shown; closing the form makes it say
// goodbye and asks first.
#pragma once

#include "framework/window/form.h"

// The demo's own member names, and the late-bound members of the character
// control it calls (the automation client sends them by name).
#define ZV_DEMO_NAMES(X) \
  X(ArrayBrowse1DblClick) \
  X(BtnBmp1Click) \
  X(BtnBmp2Click) \
  X(BtnBmp3Click) \
  X(Characters) \
  X(Connected) \
  X(FormClose) \
  X(FormInitialize) \
  X(Menu1Item1_1Click) \
  X(Play) \
  X(Speak) \
  X(Think) \
  X(aActions) \
  X(oAgentControl) \
  X(oArrayBrowse1) \
  X(oBtnBmp1) \
  X(oBtnBmp2) \
  X(oBtnBmp3) \
  X(oPersonaje)

ZV_DECLARE_SYMBOLS(ZV_DEMO_NAMES)

#define ZV_TFORM1_MEMBERS(X) \
  X(COMPONENT, zv::Value, oAgentControl) \
  X(COMPONENT, zv::Value, oPersonaje) \
  X(COMPONENT, zv::Value, oArrayBrowse1) \
  X(COMPONENT, zv::Value, aActions, "ARRAY") \
  X(COMPONENT, zv::Value, oBtnBmp1) \
  X(COMPONENT, zv::Value, oBtnBmp2) \
  X(COMPONENT, zv::Value, oBtnBmp3) \
  X(METHOD, CreateForm, &demo::CreateForm) \
  X(METHOD, Menu1Item1_1Click, &demo::Menu1Item1_1Click) \
  X(METHOD, ArrayBrowse1DblClick, &demo::ArrayBrowse1DblClick) \
  X(METHOD, BtnBmp1Click, &demo::BtnBmp1Click) \
  X(METHOD, BtnBmp2Click, &demo::BtnBmp2Click) \
  X(METHOD, BtnBmp3Click, &demo::BtnBmp3Click) \
  X(METHOD, FormInitialize, &demo::FormInitialize) \
  X(METHOD, FormClose, &demo::FormClose)

namespace demo {

zv::Value CreateForm(zv::Object& self, zv::Args a);
zv::Value Menu1Item1_1Click(zv::Object& self, zv::Args a);
zv::Value ArrayBrowse1DblClick(zv::Object& self, zv::Args a);
zv::Value BtnBmp1Click(zv::Object& self, zv::Args a);
zv::Value BtnBmp2Click(zv::Object& self, zv::Args a);
zv::Value BtnBmp3Click(zv::Object& self, zv::Args a);
zv::Value FormInitialize(zv::Object& self, zv::Args a);
zv::Value FormClose(zv::Object& self, zv::Args a);

// The class (class name "Tform1").
zv::Class* TForm1Class();

class TForm1Ref : public zv::TFormRef {
  ZV_VIEW_CLASS(TForm1Ref, zv::TFormRef, TForm1Class)
  ZV_VIEW_MEMBERS(ZV_TFORM1_MEMBERS)
};

// The grid's rows: {animation name, description} in Windows-1252.
zv::Value Actions();

}  // namespace demo
