// Small window-owning classes for the tests of the application loop and the
// window layer: a form (a TForm that logs its shortcut calls) and a few
// controls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/window/form.h"

// Member names of the test classes that the framework does not declare.
#define ZVTEST_NAMES(X) \
  X(aShortCutLog)

ZV_DECLARE_SYMBOLS(ZVTEST_NAMES)

#define ZVTEST_TESTFORM_MEMBERS(X)                                                                 \
  X(DATA, zv::Value, aShortCutLog, zv::Value::List({}))                                            \
  X(METHOD, AddShortCut, &FormAddShortCut)                                                         \
  X(METHOD, DelShortCut, &FormDelShortCut)

#define ZVTEST_TESTBUTTON_MEMBERS(X)                                                               \
  X(DATA_P, std::string, cWinClassName, "BUTTON")                                                  \
  X(DATA_P, int, nCtlStyle, static_cast<long long>(WS_CHILD | WS_CLIPSIBLINGS | BS_PUSHBUTTON))

namespace zvtest {

// TTestForm: a TForm that also records its AddShortCut / DelShortCut calls
// in aShortCutLog.
zv::Class* TestFormClass();

class TestFormRef : public zv::TFormRef {
  ZV_VIEW_CLASS(TestFormRef, zv::TFormRef, TestFormClass)
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
