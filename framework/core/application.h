// TApplication: the one application object (the global Application). It
// keeps the list of open forms and the main form, the title, icon, default
// font and help file, the two shared tooltip windows, the busy state, the
// single-instance guard, the Windows version, the command line and the
// executable's version resource. Run() runs the main loop until the last
// visible form is gone.
#pragma once

#include <windows.h>

#include <string>

#include "framework/core/component.h"
#include "framework/core/globals.h"

#define ZV_QAPPLICATION_MEMBERS(X) \
  X(PROPERTY, Value, oFont) \
  X(PROPERTY, Value, oIcon, .setter = sym::SetIcon) \
  X(PROPERTY, std::string, cTitle) \
  X(PROPERTY, bool, lSingleInstance, .dflt = false, .setter = sym::SetMutex) \
  X(PROPERTY, bool, lUseReturn, .dflt = false) \
  X(PROPERTY, bool, lBusy, .dflt = false, .setter = sym::SetBusy) \
  X(PROPERTY, Value, oHelp, .setter = sym::SetHelp) \
  X(PROPERTY_R, Value, aForms, .readOnly = true) \
  X(PROPERTY_R, Value, oMainForm, .readOnly = true) \
  X(PROPERTY_R, Value, oActiveForm, .readOnly = true) \
  X(PROPERTY_R, double, nWinVer, .readOnly = true) \
  X(PROPERTY_R, int, nWinPlatform, .readOnly = true) \
  X(PROPERTY_R, Value, aArguments, .readOnly = true) \
  X(PROPERTY_R, std::string, cFileName, .readOnly = true) \
  X(PROPERTY_R, std::string, cDirectory, .readOnly = true) \
  X(PROPERTY_R, int, nVersion, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nRelease, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, int, nBuild, .dflt = 0, .readOnly = true) \
  X(PROPERTY_R, std::string, cVersion, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, std::string, cDescription, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, std::string, cCompany, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, std::string, cCopyright, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, std::string, cTradeMarks, .dflt = "", .readOnly = true) \
  X(PROPERTY_R, std::string, cComments, .dflt = "", .readOnly = true) \
  X(DATA_PUB, Value, oActiveControl, Value()) \
  X(EVENT, OnHelp, "oSender, HelpId, nPosX, nPosY") \
  X(METHOD_PUB, CurrentDir, &CurrentDir) \
  X(METHOD_PUB, CurrentDrive, &CurrentDrive) \
  X(METHOD_PUB, DecimalSeparator, &DecimalSeparator) \
  X(PROPERTY, bool, lTerminate, .dflt = false, .visibility = kPublic, .setter = sym::SetTerminate) \
  X(DATA_R, Value, Handle, 0) \
  X(DATA_R, Value, oTooltip, Value()) \
  X(DATA_R, Value, oBalloon, Value()) \
  X(EVENT_PUBLIC, OnNewInstance, "oSender") \
  X(PROPERTY_P, Value, oMutex, .visibility = kProtected) \
  X(CONSTRUCTOR, Initialize, &Initialize) \
  X(METHOD, MessageBox, &MessageBoxMethod) \
  X(METHOD, Run, &Run) \
  X(METHOD, Terminate, &Terminate) \
  X(METHOD, End, &End) \
  X(METHOD, InsertForm, &InsertForm) \
  X(METHOD, RemoveForm, &RemoveForm) \
  X(METHOD, SetActiveForm, &SetActiveForm) \
  X(METHOD, SetFont, &SetFont) \
  X(METHOD, GetFont, &GetFont) \
  X(METHOD, SetIcon, &SetIcon) \
  X(METHOD, GetIcon, &GetIcon) \
  X(METHOD, SetBusy, &SetBusy) \
  X(METHOD, SetHelp, &SetHelp) \
  X(METHOD, Help, &Help) \
  X(METHOD_P, SetTerminate, &SetTerminate) \
  X(METHOD_P, SetMutex, &SetMutex) \
  X(METHOD_P, SetTooltips, &SetTooltips) \
  X(METHOD_P, CallOnHelp, &CallOnHelp) \
  X(METHOD_P, GetVersionInfo, &GetVersionInfo)

namespace zv {

Class* QApplicationClass();
Class* TApplicationClass();

// The framework's start-up: the global names, then Application:Initialize().
void FrameworkStartUp();
// The end-of-program work: Printer and AppData destroyed, OLE uninitialised.
void FrameworkEndOfProgram();

// The application's title ("" without an application object).
std::string ApplicationTitle();
// The window of the main form (0 when there is none).
HWND MainFormWindow();
// The first form whose lActive is true, or no value.
Value GetActiveForm();
// The published tooltip windows of the application (0 when absent).
HWND ApplicationTooltipWindow();
HWND ApplicationBalloonWindow();

class TApplicationRef : public TComponentRef {
  ZV_VIEW_CLASS(TApplicationRef, TComponentRef, QApplicationClass)
  ZV_VIEW_MEMBERS(ZV_QAPPLICATION_MEMBERS)
};

}  // namespace zv
