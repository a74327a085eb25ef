// TEdit: a single-line edit box over the system "EDIT" class. Value is its
// text (trailing blanks trimmed unless asked to keep them); it has colours
// of its own for the focused and the disabled state, alignment, password,
// numeric and letter-case styles, a length limit, selection on entry, and
// the overwrite mode, one switch (Insert) for every edit box of the program.
#pragma once

#include "framework/controls/button.h"

#define ZV_EDIT_ALIGN_NAMES Value::List({Value::List({"taLEFT", 0}), Value::List({"taCENTER", 6}), Value::List({"taRIGHT", 2})})

#define ZV_QEDIT_MEMBERS(X) \
  X(PROPERTY, ::zv::Value, Value, .getter = sym::GetValue, .setter = sym::SetValue, .editor = "PE_ExtendedString") \
  X(PROPERTY, int, nWidth, .dflt = 90, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 20, .setter = sym::SetHeight) \
  X(PROPERTY, bool, lBorder, .dflt = true, .setter = sym::SetBorder) \
  X(PROPERTY, int, nClrPane, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOW)), .setter = &ctlset::SetPaneColour) \
  X(PROPERTY, int, nClrPaneFocus, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOW)), .setter = &edit::SetPaneFocus) \
  X(PROPERTY, int, nClrTextFocus, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOWTEXT)), .setter = &edit::SetTextFocus) \
  X(PROPERTY, int, nClrPaneDisabled, .dflt = static_cast<long long>(GetSysColor(COLOR_WINDOW)), .setter = &edit::SetPaneDisabled) \
  X(PROPERTY, int, nClrTextDisabled, .dflt = static_cast<long long>(GetSysColor(COLOR_3DDKSHADOW)), .setter = &edit::SetTextDisabled) \
  X(PROPERTY, int, nAlignment, .dflt = 0, .setter = sym::SetAlignment, .valueNames = ZV_EDIT_ALIGN_NAMES) \
  X(PROPERTY, bool, lReadOnly, .dflt = false, .setter = sym::SetReadOnly) \
  X(PROPERTY, bool, lHScroll, .dflt = true, .setter = sym::SetHScroll) \
  X(PROPERTY, bool, lPassword, .dflt = false, .setter = sym::SetPassword) \
  X(PROPERTY, bool, lNumeric, .dflt = false, .setter = sym::SetNumeric) \
  X(PROPERTY, int, nCharCase, .dflt = 0, .setter = sym::SetCharCase) \
  X(PROPERTY, std::string, cPasswordChar, .dflt = "*") \
  X(PROPERTY, int, nMaxLength, .dflt = 0, .setter = sym::SetMaxLength) \
  X(PROPERTY, ::zv::Value, lAutoSelect) \
  X(EVENT, OnChange, "oSender") \
  X(PROPERTY_R, ::zv::Value, Original, .readOnly = true) \
  X(PROPERTY, std::string, cText, .dflt = "", .getter = sym::GetValue, .setter = sym::SetValue) \
  X(PROPERTY, bool, lModify, .dflt = false, .getter = &edit::GetModify, .setter = &edit::SetModify) \
  X(PROPERTY, ::zv::Value, oBrushFocus, .valueClass = "TBrush") \
  X(PROPERTY, ::zv::Value, oBrushDisabled, .valueClass = "TBrush") \
  X(PROPERTY, bool, lInsert, .dflt = true, .visibility = kPublic, .getter = &edit::GetInsert, .setter = &edit::SetInsert) \
  X(DATA_P, std::string, cWinClassName, "EDIT") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL)) \
  X(DATA, bool, lOnEntering, false) \
  X(DATA, bool, lStopEvent, false) \
  X(METHOD, GetValue, &edit::GetValue) \
  X(METHOD, SetValue, &edit::SetValue) \
  X(METHOD, SetColorFocus, &edit::SetColorFocus) \
  X(METHOD, SetColorDisabled, &edit::SetColorDisabled) \
  X(METHOD, SetAlignment, &edit::SetAlignment) \
  X(METHOD, SetReadOnly, &edit::SetReadOnly) \
  X(METHOD, SetHScroll, &edit::SetHScroll) \
  X(METHOD, SetPassword, &edit::SetPassword) \
  X(METHOD, SetNumeric, &edit::SetNumeric) \
  X(METHOD, SetCharCase, &edit::SetCharCase) \
  X(METHOD, SetMaxLength, &edit::SetMaxLength) \
  X(METHOD, GetSel, &edit::GetSel) \
  X(METHOD, GetSelText, &edit::GetSelText) \
  X(METHOD, SetSel, &edit::SetSel) \
  X(METHOD, SelectAll, &edit::SelectAll) \
  X(METHOD, SelectNone, &edit::SelectNone) \
  X(METHOD, EmptyUndoBuffer, &edit::EmptyUndoBuffer) \
  X(METHOD, CanUndo, &edit::CanUndo) \
  X(METHOD, CanCut, &edit::CanCut) \
  X(METHOD, CanCopy, &edit::CanCut) \
  X(METHOD, CanPaste, &edit::CanPaste) \
  X(METHOD, ScrollCaret, &edit::ScrollCaret) \
  X(METHOD, GetMargins, &edit::GetMargins) \
  X(METHOD, SetMargins, &edit::SetMargins) \
  X(METHOD, LineScroll, &edit::LineScroll) \
  X(METHOD, PosFromChar, &edit::PosFromChar) \
  X(METHOD, CharFromPos, &edit::CharFromPos) \
  X(METHOD, nPos, &edit::Pos) \
  X(METHOD, Change, &edit::Change) \
  X(METHOD, GotFocus, &edit::GotFocus) \
  X(METHOD, Command, &edit::Command) \
  X(METHOD, GetCtlColor, &edit::GetCtlColor) \
  X(HANDLER, WMKeyDown, &edit::WMKeyDown) \
  X(HANDLER, WMSetFocus, &edit::WMSetFocus) \
  X(HANDLER, WMPaint, &edit::WMPaint)

namespace zv {

namespace edit {
Value SetPaneFocus(Object& self, Args a);
Value SetTextFocus(Object& self, Args a);
Value SetPaneDisabled(Object& self, Args a);
Value SetTextDisabled(Object& self, Args a);
Value GetModify(Object& self, Args a);
Value SetModify(Object& self, Args a);
Value GetInsert(Object& self, Args a);
Value SetInsert(Object& self, Args a);
Value GetValue(Object& self, Args a);
Value SetValue(Object& self, Args a);
Value SetColorFocus(Object& self, Args a);
Value SetColorDisabled(Object& self, Args a);
Value SetAlignment(Object& self, Args a);
Value SetReadOnly(Object& self, Args a);
Value SetHScroll(Object& self, Args a);
Value SetPassword(Object& self, Args a);
Value SetNumeric(Object& self, Args a);
Value SetCharCase(Object& self, Args a);
Value SetMaxLength(Object& self, Args a);
Value GetSel(Object& self, Args a);
Value GetSelText(Object& self, Args a);
Value SetSel(Object& self, Args a);
Value SelectAll(Object& self, Args a);
Value SelectNone(Object& self, Args a);
Value EmptyUndoBuffer(Object& self, Args a);
Value CanUndo(Object& self, Args a);
Value CanCut(Object& self, Args a);
Value CanPaste(Object& self, Args a);
Value ScrollCaret(Object& self, Args a);
Value GetMargins(Object& self, Args a);
Value SetMargins(Object& self, Args a);
Value LineScroll(Object& self, Args a);
Value PosFromChar(Object& self, Args a);
Value CharFromPos(Object& self, Args a);
Value Pos(Object& self, Args a);
Value Change(Object& self, Args a);
Value GotFocus(Object& self, Args a);
Value Command(Object& self, Args a);
Value GetCtlColor(Object& self, Args a);
Value WMKeyDown(Object& self, const KeyMsg& m);
Value WMSetFocus(Object& self, const FocusMsg& m);
Value WMPaint(Object& self, const PaintMsg& m);
// The overwrite switch shared by every edit box (true: insert).
bool InsertMode();
}  // namespace edit

Class* QEditClass();
Class* TEditClass();

class TEditRef : public TStdControlRef {
  ZV_VIEW_CLASS(TEditRef, TStdControlRef, QEditClass)
  ZV_VIEW_MEMBERS(ZV_QEDIT_MEMBERS)
};

}  // namespace zv
