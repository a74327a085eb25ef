// Small window-owning classes for the tests of the application loop and the
// window layer: a top-level "form" (a windowed container that registers with
// the application like a form) and a few controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window/wincontrol.h"

// Member names of the test classes that the framework does not declare.
#define ZVTEST_NAMES(X) \
  X(aShortCutLog)

ZV_DEFINE_SYMBOLS(ZVTEST_NAMES)

#define ZVTEST_TESTFORM_MEMBERS(X)                                                                 \
  X(PROPERTY, bool, lVisible, .dflt = false)                                                       \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN))         \
  X(DATA_P, int, nExStyle, static_cast<long long>(WS_EX_CONTROLPARENT))                            \
  X(DATA, int, nModalResult, 0)                                                                    \
  X(DATA, bool, lModal, false)                                                                     \
  X(DATA, bool, lActive, false)                                                                    \
  X(DATA, zv::Value, oMdiClient)                                                                   \
  X(DATA, int, nLastID, 100)                                                                       \
  X(DATA, zv::Value, aShortCutLog, zv::Value::List({}))                                            \
  X(METHOD, CreateHandle, &FormCreateHandle)                                                       \
  X(HANDLER, WMNCDestroy, &FormNCDestroy)                                                          \
  X(HANDLER, WMActivate, &FormActivate)                                                            \
  X(HANDLER, WMEraseBkgnd, &FormEraseBkgnd)                                                        \
  X(METHOD, GetNewID, &FormGetNewID)                                                               \
  X(METHOD, AddShortCut, &FormAddShortCut)                                                         \
  X(METHOD, DelShortCut, &FormDelShortCut)                                                         \
  X(METHOD, ShowModal, &FormShowModal)

#define ZVTEST_TESTBUTTON_MEMBERS(X)                                                               \
  X(DATA_P, std::string, cWinClassName, "BUTTON")                                                  \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON))

namespace zvtest {

// TTestForm: a top-level TWinControl that inserts itself into
// Application:aForms when its window is created and removes itself when it
// is destroyed; it records AddShortCut / DelShortCut calls in aShortCutLog
// and answers lActive, nModalResult, lModal, oMdiClient and ShowModal.
zv::Class* TestFormClass();

class TestFormRef : public zv::TWinControlRef {
  ZV_VIEW_CLASS(TestFormRef, zv::TWinControlRef, TestFormClass)
  ZV_VIEW_MEMBERS(ZVTEST_TESTFORM_MEMBERS)
};
// TTestButton: a TStdControl built on the system "BUTTON" class.
zv::Class* TestButtonClass();
// TTestPanel: a plain TWinControl child (a nested container).
zv::Class* TestPanelClass();

// A created form (hidden unless `show`), at the given bounds.
zv::Value MakeForm(const std::string& caption, bool show = true, int left = 50, int top = 50, int width = 300,
                   int height = 200);
// A created button on a parent.
zv::Value MakeButton(const zv::Value& parent, const std::string& text, int left, int top, int width = 80,
                     int height = 24);

// A top-level window of a class that is not the framework's, with its own
// procedure (the class is registered on first use).
HWND MakeForeignWindow(const char* className, WNDPROC proc);

// Dispatches waiting messages for a while (no idle work).
void Pump(unsigned milliseconds = 0);

// A test with a shown form of its own (form_), destroyed afterwards with
// everything on it; the loop's running flag and the application's
// termination flag are put back for the next test.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  zv::Value form_;
};

// Messages a window of a test class received, in order (handlers append).
std::vector<unsigned>& MessageLog();

}  // namespace zvtest
