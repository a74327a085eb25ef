// Conversions between values and VARIANTs, and the interface behind a
// TOleAuto, for code that talks to COM directly. Includes the Windows headers.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "framework/ole/oleauto.h"

namespace zv {

// Value to VARIANT, as an argument passed by value is converted: absent
// VT_EMPTY, integer VT_I4 (VT_I8 beyond 32 bits), double VT_R8, date VT_DATE
// (Julian day - 2415019; the empty date VT_NULL), logical VT_BOOL, string
// VT_BSTR (or a SAFEARRAY, see docs/ole.md), TOleAuto VT_DISPATCH (with a
// reference of its own), list a SAFEARRAY of VARIANTs, pointer VT_PTR. The
// caller owns the result (VariantClear; a VT_PTR needs no clearing).
void ValueToVariant(const Value& value, VARIANT& out);

// VARIANT to value (results and by-reference arguments): numbers, dates,
// strings, logicals, TOleAuto objects for interfaces, nested lists for
// SAFEARRAYs of any dimension. VT_BYREF forms are followed. The VARIANT is
// not changed; interfaces in it get references of their own.
Value VariantToValue(const VARIANT& variant);

// The IDispatch a TOleAuto holds (no reference added), or nullptr.
IDispatch* OleDispatchOf(const Value& oleAuto);

// A new TOleAuto holding its own reference on the interface, labelled with
// `label` (the pointer as decimal text when empty). A null interface gives
// an absent value.
Value OleWrapDispatch(IDispatch* dispatch, std::string_view label = {});

}  // namespace zv
