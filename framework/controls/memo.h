// TMemo: the multi-line edit box, a TEdit on the system "EDIT" class with
// ES_MULTILINE. Its scroll bars and automatic scrolling are switches; Enter
// and Tab are typed into the text or move on (lWantReturn, lWantTab); the
// caret's line and column are properties (1-based). The error dialog shows
// its message and report in two read-only memos.
#pragma once

#include "framework/controls/edit.h"

#define ZV_QMEMO_MEMBERS(X) \
  X(PROPERTY, int, nWidth, .dflt = 100, .setter = sym::SetWidth) \
  X(PROPERTY, int, nHeight, .dflt = 60, .setter = sym::SetHeight) \
  X(PROPERTY, bool, lHScroll, .dflt = false, .setter = sym::SetHScroll) \
  X(PROPERTY, bool, lAutoHScroll, .dflt = false, .setter = sym::SetAutoHScroll) \
  X(PROPERTY, bool, lVScroll, .dflt = true, .setter = sym::SetVScroll) \
  X(PROPERTY, bool, lAutoVScroll, .dflt = true, .setter = sym::SetAutoVScroll) \
  X(PROPERTY, bool, lWantReturn, .dflt = true, .setter = sym::SetWantReturn) \
  X(PROPERTY, bool, lWantTab, .dflt = false) \
  X(PROPERTY_P, bool, lPassword, .dflt = false, .visibility = kProtected, .setter = sym::SetPassword) \
  X(PROPERTY_P, bool, lNumeric, .dflt = false, .visibility = kProtected, .setter = sym::SetNumeric) \
  X(PROPERTY_P, int, nMaxLength, .dflt = 0, .visibility = kProtected, .setter = sym::SetMaxLength) \
  X(PROPERTY_P, std::string, cPasswordChar, .dflt = "*", .visibility = kProtected) \
  X(PROPERTY_P, std::string, cPicture, .dflt = "", .visibility = kProtected) \
  X(DATA_P, std::string, cWinClassName, "EDIT") \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | ES_MULTILINE | ES_WANTRETURN)) \
  X(PROPERTY_R, int, nLineCount, .dflt = 0, .visibility = kPublic, .readOnly = true, .getter = sym::GetLineCount) \
  X(PROPERTY, int, nLine, .dflt = 0, .visibility = kPublic, .getter = sym::GetLineNumber, .setter = sym::SetLineNumber) \
  X(PROPERTY, int, nColumn, .dflt = 0, .visibility = kPublic, .getter = sym::GetColumnNumber, .setter = sym::SetColumnNumber) \
  X(CONSTRUCTOR, Create, &memo::Create) \
  X(METHOD, Append, &memo::Append) \
  X(METHOD, Replace, &memo::Replace) \
  X(METHOD, Clear, &memo::Clear) \
  X(METHOD, SetHScroll, &memo::SetHScroll) \
  X(METHOD, SetAutoHScroll, &memo::SetAutoHScroll) \
  X(METHOD, SetVScroll, &memo::SetVScroll) \
  X(METHOD, SetAutoVScroll, &memo::SetAutoVScroll) \
  X(METHOD, SetWantReturn, &memo::SetWantReturn) \
  X(METHOD, GetLine, &memo::GetLine) \
  X(METHOD, GetLineCount, &memo::GetLineCount) \
  X(METHOD, GetFirstVisibleLine, &memo::GetFirstVisibleLine) \
  X(METHOD, GetThumb, &memo::GetThumb) \
  X(METHOD, Scroll, &memo::Scroll) \
  X(METHOD, ScrollUp, &memo::ScrollUp) \
  X(METHOD, ScrollDown, &memo::ScrollDown) \
  X(METHOD, ScrollPageUp, &memo::ScrollPageUp) \
  X(METHOD, ScrollPageDown, &memo::ScrollPageDown) \
  X(METHOD, LineFromChar, &memo::LineFromChar) \
  X(METHOD, LineIndex, &memo::LineIndex) \
  X(METHOD, SetRect, &memo::SetRect) \
  X(METHOD, GetRect, &memo::GetRect) \
  X(METHOD, SetTabStops, &memo::SetTabStops) \
  X(METHOD, ReplaceLine, &memo::ReplaceLine) \
  X(METHOD, GetLineNumber, &memo::GetLineNumber) \
  X(METHOD, SetLineNumber, &memo::SetLineNumber) \
  X(METHOD, GetColumnNumber, &memo::GetColumnNumber) \
  X(METHOD, SetColumnNumber, &memo::SetColumnNumber) \
  X(HANDLER, WMEraseBkgnd, &memo::WMEraseBkgnd) \
  X(HANDLER, WMKeyDown, &memo::WMKeyDown) \
  X(HANDLER, WMChar, &memo::WMChar)

namespace zv {

namespace memo {
Value Create(Object& self, Args a);
Value Append(Object& self, Args a);
Value Replace(Object& self, Args a);
Value Clear(Object& self, Args a);
Value SetHScroll(Object& self, Args a);
Value SetAutoHScroll(Object& self, Args a);
Value SetVScroll(Object& self, Args a);
Value SetAutoVScroll(Object& self, Args a);
Value SetWantReturn(Object& self, Args a);
Value GetLine(Object& self, Args a);
Value GetLineCount(Object& self, Args a);
Value GetFirstVisibleLine(Object& self, Args a);
Value GetThumb(Object& self, Args a);
Value Scroll(Object& self, Args a);
Value ScrollUp(Object& self, Args a);
Value ScrollDown(Object& self, Args a);
Value ScrollPageUp(Object& self, Args a);
Value ScrollPageDown(Object& self, Args a);
Value LineFromChar(Object& self, Args a);
Value LineIndex(Object& self, Args a);
Value SetRect(Object& self, Args a);
Value GetRect(Object& self, Args a);
Value SetTabStops(Object& self, Args a);
Value ReplaceLine(Object& self, Args a);
Value GetLineNumber(Object& self, Args a);
Value SetLineNumber(Object& self, Args a);
Value GetColumnNumber(Object& self, Args a);
Value SetColumnNumber(Object& self, Args a);
Value WMEraseBkgnd(Object& self, const PaintMsg& m);
Value WMKeyDown(Object& self, const KeyMsg& m);
Value WMChar(Object& self, const KeyMsg& m);
}  // namespace memo

Class* QMemoClass();
Class* TMemoClass();

class TMemoRef : public TEditRef {
  ZV_VIEW_CLASS(TMemoRef, TEditRef, QMemoClass)
  ZV_VIEW_MEMBERS(ZV_QMEMO_MEMBERS)
};

}  // namespace zv
