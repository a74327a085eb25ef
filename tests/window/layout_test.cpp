// Anchoring and alignment of children (AlignControls) on a real form.
#include <gtest/gtest.h>

#include "framework/window/wincontrol.h"
#include "support/test_forms.h"

namespace {

using zv::Value;
using Layout = zvtest::FormTest;

// A child's rectangle in its parent's client area: {left, top, width, height}.
RECT Place(const Value& child) {
  RECT r{};
  const HWND h = zv::ObjectHwnd(child);
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// Makes the form's client area `dw` wider and `dh` higher.
void Grow(const Value& form, int dw, int dh) {
  RECT r{};
  const HWND h = zv::ObjectHwnd(form);
  GetWindowRect(h, &r);
  SetWindowPos(h, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh, SWP_NOMOVE | SWP_NOZORDER);
  zvtest::Pump();
}

TEST_F(Layout, AnchoredChildrenKeepTheirDistances) {
  Value all = zvtest::MakeButton(form_, "all", 10, 10, 80, 24);
  Value sides = zvtest::MakeButton(form_, "sides", 10, 50, 80, 24);
  Value centred = zvtest::MakeButton(form_, "centred", 100, 90, 40, 24);
  Value right = zvtest::MakeButton(form_, "right", 200, 130, 40, 24);
  zv::TStdControlRef(all).nAnchors(15);
  zv::TStdControlRef(sides).nAnchors(5);
  zv::TStdControlRef(centred).nAnchors(0);
  zv::TStdControlRef(right).nAnchors(4 | 2);
  const RECT a0 = Place(all), s0 = Place(sides), c0 = Place(centred), r0 = Place(right);
  Grow(form_, 40, 30);
  const RECT a1 = Place(all), s1 = Place(sides), c1 = Place(centred), r1 = Place(right);
  EXPECT_EQ(a1.left, a0.left);
  EXPECT_EQ(a1.top, a0.top);
  EXPECT_EQ(a1.right, a0.right + 40);    // width, stretched with the parent
  EXPECT_EQ(a1.bottom, a0.bottom + 30);  // height
  EXPECT_EQ(s1.left, s0.left);
  EXPECT_EQ(s1.right, s0.right + 40);
  EXPECT_EQ(s1.bottom, s0.bottom);
  EXPECT_EQ(s1.top, s0.top + 15);        // anchored neither top nor bottom: centred vertically
  EXPECT_EQ(c1.left, c0.left + 20);      // centred between its margins
  EXPECT_EQ(c1.right, c0.right);
  EXPECT_EQ(r1.left, r0.left + 40);      // moves with the right edge
  EXPECT_EQ(r1.top, r0.top);
  // The storage follows the windows.
  EXPECT_EQ(zv::TStdControlRef(all).nWidth(), a1.right);
  EXPECT_EQ(zv::TStdControlRef(right).nLeft(), r1.left);
  // Moving a control records its new distances.
  zv::TStdControlRef(right).SetBounds(20, 130);
  Grow(form_, -40, 0);
  EXPECT_EQ(Place(right).left, 20 - 40);
}

TEST_F(Layout, AlignedChildrenTakeSpaceInInsertionOrder) {
  const auto clientW = zv::TWinControlRef(form_).nClientWidth();
  const auto clientH = zv::TWinControlRef(form_).nClientHeight();
  Value top1 = zvtest::MakeButton(form_, "top1", 0, 0, 50, 20);
  Value top2 = zvtest::MakeButton(form_, "top2", 0, 0, 50, 30);
  Value left = zvtest::MakeButton(form_, "left", 0, 0, 40, 10);
  zv::TStdControlRef(top1).nAlign(2);
  zv::TStdControlRef(top2).nAlign(2);
  zv::TStdControlRef(left).nAlign(1);
  EXPECT_EQ(Place(top1).top, 0);
  EXPECT_EQ(Place(top1).right, clientW);
  EXPECT_EQ(Place(top2).top, 20);
  EXPECT_EQ(Place(left).top, 50);
  EXPECT_EQ(Place(left).bottom, clientH - 50);  // the rest of the height
  // Hiding an aligned control gives its strip to the ones after it.
  zv::TStdControlRef(top1).Hide();
  EXPECT_EQ(Place(top2).top, 0);
  EXPECT_EQ(Place(left).top, 30);
  zv::TStdControlRef(top1).Show();
  EXPECT_EQ(Place(top2).top, 20);
}

TEST_F(Layout, ClientFirstLeavesNothingForTheOthers) {
  Value client = zvtest::MakeButton(form_, "client", 5, 5, 10, 10);
  Value top = zvtest::MakeButton(form_, "top", 0, 0, 50, 20);
  zv::TStdControlRef(client).nAlign(5);
  zv::TStdControlRef(top).nAlign(2);
  const RECT c = Place(client);
  EXPECT_EQ(c.left, 0);
  EXPECT_EQ(c.top, 0);
  EXPECT_EQ(c.right, zv::TWinControlRef(form_).nClientWidth());
  EXPECT_EQ(c.bottom, zv::TWinControlRef(form_).nClientHeight());
  EXPECT_EQ(Place(top).right, 0);  // no usable space left
  // Hiding the client-aligned control does not lay the others out again.
  const RECT t = Place(top);
  zv::TStdControlRef(client).Hide();
  EXPECT_EQ(Place(top).top, t.top);
  // Absurd rectangles and sizes are clamped, never overflow.
  zv::TWinControlRef(form_).AlignControls(Value::List({-2000000000LL, 0, 3000000000LL, 10}));
  zv::TStdControlRef(top).SetBounds(Value(), Value(), -50, 1 << 30);
  EXPECT_GE(Place(top).right, 0);
}

}  // namespace
