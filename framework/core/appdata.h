// TAppData: the application-wide bag of named values (the global AppData).
// AddData(cName, xValue) adds a member of that name to the object at run
// time, readable as AppData:<name> and writable as AppData:_<name>.
#pragma once

#include "framework/core/classbuilder.h"

namespace zv {

Class* QAppDataClass();
Class* TAppDataClass();

}  // namespace zv
