// TErrorForm: the modal dialog of the error system. The message in a
// read-only memo, one button per option (its number is the modal result),
// and Details, which expands the dialog to show the report ("Error.log" as
// written for this error) in a second read-only memo and copies it to the
// clipboard. A double click on the caption maximizes it with the report
// shown, and restores it.
#pragma once

#include "framework/window/form.h"

#define ZV_QERRORFORM_MEMBERS(X) \
  X(DATA, Value, oMemo1) \
  X(DATA, Value, oMemo2) \
  X(DATA, Value, oDetails) \
  X(DATA, std::string, cMessage, "") \
  X(DATA, Value, aOptions, Value::List({})) \
  X(METHOD, CreateForm, &errform::CreateForm) \
  X(METHOD, Details, &errform::Details) \
  X(HANDLER, WMNCLButtonDblClk, &errform::WMNCLButtonDblClk)

namespace zv {

namespace errform {
Value CreateForm(Object& self, Args a);
Value Details(Object& self, Args a);
Value WMNCLButtonDblClk(Object& self, const WinMsg& m);
}  // namespace errform

Class* QErrorFormClass();
Class* TErrorFormClass();

class TErrorFormRef : public TFormRef {
  ZV_VIEW_CLASS(TErrorFormRef, TFormRef, QErrorFormClass)
  ZV_VIEW_MEMBERS(ZV_QERRORFORM_MEMBERS)
};

}  // namespace zv
