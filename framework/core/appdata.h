// TAppData: the application-wide bag of named values (the global AppData).
// AddData(cName, xValue) adds a member of that name to the object at run
// time, readable as AppData:<name> and writable as AppData:_<name>.
#pragma once

#include "framework/core/component.h"

#define ZV_QAPPDATA_MEMBERS(X) \
  X(EVENT, OnClose, "oSender") \
  X(DATA_H, bool, lClosed, false) \
  X(CONSTRUCTOR, Initialize, &Initialize) \
  X(METHOD, Create, &Create) \
  X(METHOD, Destroy, &Destroy) \
  X(METHOD, AddData, &AddData)

namespace zv {

Class* QAppDataClass();
Class* TAppDataClass();

class TAppDataRef : public TComponentRef {
  ZV_VIEW_CLASS(TAppDataRef, TComponentRef, QAppDataClass)
  ZV_VIEW_MEMBERS(ZV_QAPPDATA_MEMBERS)
};

}  // namespace zv
