// TAppData: the application-wide bag of named values.
#include <gtest/gtest.h>

#include "framework/core/appdata.h"
#include "framework/core/globals.h"

namespace {

using zv::Value;

class AppDataTest : public ::testing::Test {
 protected:
  void SetUp() override { zv::AppData() = Value(); }
  void TearDown() override { zv::AppData() = Value(); }
};

TEST_F(AppDataTest, InitializeRegistersTheFirstObjectOnly) {
  Value first = zv::Object::New(zv::TAppDataClass());
  EXPECT_EQ(first.Send("Initialize").AsObject(), first.AsObject());
  EXPECT_EQ(zv::AppData().AsObject(), first.AsObject());
  Value second = zv::Object::New(zv::TAppDataClass());
  EXPECT_EQ(second.Send("Create").AsObject(), first.AsObject());  // Create calls Initialize
  EXPECT_EQ(zv::AppData().AsObject(), first.AsObject());
}

TEST_F(AppDataTest, AddDataMakesMembersReadableAndWritableByName) {
  Value data = zv::Object::New(zv::TAppDataClass()).Send("Initialize");
  data.Send("AddData", "cUser", "ana");
  EXPECT_EQ(data.Send("cUser").AsString(), "ana");
  EXPECT_EQ(data.Send("CUSER").AsString(), "ana");
  data.Send("_cUser", "luis");
  EXPECT_EQ(data.Send("cUser").AsString(), "luis");
  // The same name again only assigns: the second value stays.
  data.Send("AddData", "nCount", 1);
  data.Send("AddData", "nCount", 2);
  EXPECT_EQ(data.Send("nCount").AsInt(), 2);
}

TEST_F(AppDataTest, AddDataWithABadNameIsAnArgumentError) {
  Value data = zv::Object::New(zv::TAppDataClass()).Send("Initialize");
  std::vector<Value> errors;
  zv::ErrorHandler old = zv::SetErrorHandler([&](const Value& e) {
    errors.push_back(e);
    return Value();
  });
  data.Send("AddData", 12, "x");
  data.Send("AddData", "", "x");
  zv::SetErrorHandler(old);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(zv::ErrorSlot(errors[0], zv::ErrorField::SubCode).AsInt(), 3101);
  EXPECT_EQ(zv::ErrorSlot(errors[0], zv::ErrorField::GenCode).AsInt(), zv::kErrArgument);
}

TEST_F(AppDataTest, DestroyFiresOnCloseOnce) {
  Value data = zv::Object::New(zv::TAppDataClass()).Send("Initialize");
  int fired = 0;
  data.Send("_OnClose", Value::Callable([&](zv::Args a) -> Value {
    ++fired;
    EXPECT_EQ(a.Get(0).AsObject(), zv::AppData().AsObject());
    return "closed";
  }));
  EXPECT_EQ(data.Send("Destroy").AsString(), "closed");
  data.Send("Destroy");
  EXPECT_EQ(fired, 1);
}

TEST_F(AppDataTest, AddDataCannotReachTheObjectsOwnHiddenMembers) {
  Value data = zv::Object::New(zv::TAppDataClass()).Send("Initialize");
  int fired = 0;
  data.Send("_OnClose", Value::Callable([&](zv::Args) -> Value { return ++fired; }));
  std::vector<Value> errors;
  zv::ErrorHandler old = zv::SetErrorHandler([&](const Value& e) {
    errors.push_back(e);
    return Value();
  });
  data.Send("AddData", "lClosed", true);  // the object's own hidden flag
  zv::SetErrorHandler(old);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(zv::ErrorSlot(errors[0], zv::ErrorField::SubCode).AsInt(), zv::kSubHidden);
  data.Send("Destroy");
  EXPECT_EQ(fired, 1);  // OnClose still fires
}

}  // namespace
