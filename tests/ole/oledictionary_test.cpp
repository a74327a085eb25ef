// The client against servers nobody here wrote, the ones Wine ships:
// Scripting.Dictionary and Scripting.FileSystemObject (type-library based
// IDispatch implementations) and WScript.Shell.
#include <gtest/gtest.h>

#include "ole_test_support.h"
#include "runtime/operators.h"

namespace {

using oletest::ErrorTrap;
using zv::Value;

TEST(Dictionary, AddItemCountExistsKeysAndEnumeration) {
  Value d = zv::CreateObject("Scripting.Dictionary");
  ASSERT_TRUE(d.IsObject());
  EXPECT_EQ(d.Send("cClassName").AsString(), "Scripting.Dictionary");
  d.Send("Add", "alpha", 1);
  d.Send("Add", "beta", "two");
  d.Send("Add", 3, 2.5);
  EXPECT_EQ(d.Send("Count").AsInt(), 3);
  EXPECT_EQ(d.Send("Item", "alpha").AsInt(), 1);
  EXPECT_EQ(d.Send("Item", "beta").AsString(), "two");
  EXPECT_EQ(d.Send("Item", 3).AsDouble(), 2.5);
  EXPECT_TRUE(d.Send("Exists", "beta").IsTrue());
  EXPECT_TRUE(d.Send("Exists", "gamma").IsFalse());
  Value keys = d.Send("Keys");
  ASSERT_TRUE(keys.IsList());
  ASSERT_EQ(keys.Len(), 3u);
  EXPECT_EQ(keys.Item(1).AsString(), "alpha");
  EXPECT_EQ(keys.Item(3).AsInt(), 3);
  std::vector<std::string> seen;
  for (const Value& key : zv::OleItems(d)) seen.push_back(key.ToDisplay());
  EXPECT_EQ(seen, (std::vector<std::string>{"alpha", "beta", "3"}));
}

TEST(Dictionary, ItemsAreWrittenThroughAssignmentAndIndex) {
  Value d = zv::CreateObject("Scripting.Dictionary");
  d.Send("Add", "k", 1);
  zv::OpIndexAssign(d, "k", 10);   // _Item("k", 10)
  zv::OpIndexAssign(d, "new", 20);  // a new key
  EXPECT_EQ(zv::OpIndex(d, "k").AsInt(), 10);
  EXPECT_EQ(zv::OpIndex(d, "new").AsInt(), 20);
  EXPECT_EQ(d.Send("Count").AsInt(), 2);
  // An object stored as an item.
  Value inner = zv::CreateObject("Scripting.Dictionary");
  inner.Send("Add", "x", "y");
  zv::OpIndexAssign(d, "obj", inner);
  EXPECT_EQ(zv::OpIndex(d, "obj").Send("Item", "x").AsString(), "y");
  d.Send("Remove", "k");
  EXPECT_TRUE(d.Send("Exists", "k").IsFalse());
  // A property put by assignment (allowed while the dictionary is empty).
  Value e = zv::CreateObject("Scripting.Dictionary");
  EXPECT_EQ(e.Send("_CompareMode", 1).AsInt(), 1);
  EXPECT_EQ(e.Send("CompareMode").AsInt(), 1);
  e.Send("Add", "Key", 1);
  EXPECT_TRUE(e.Send("Exists", "KEY").IsTrue());  // text comparison ignores case
  ErrorTrap trap;
  e.Send("_CompareMode", 0);  // refused now: the server's exception, "illegal function call"
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), oletest::Code(static_cast<HRESULT>(0x800A0005)));
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(DISP_E_EXCEPTION));
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "_COMPAREMODE");
}

TEST(Dictionary, ErrorsFromTheServer) {
  Value d = zv::CreateObject("Scripting.Dictionary");
  d.Send("Add", "k", 1);
  ErrorTrap trap;
  d.Send("Add", "k", 2);  // the key exists
  d.Send("NoSuchMember");
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(trap.field(0, zv::ErrorField::GenCode).AsInt(), 1001);
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubSystem).AsString(), "Scripting.Dictionary");
  EXPECT_EQ(trap.field(0, zv::ErrorField::Operation).AsString(), "ADD");
  // "This key is already associated with an element of this collection" (457).
  EXPECT_EQ(trap.field(0, zv::ErrorField::SubCode).AsInt(), oletest::Code(static_cast<HRESULT>(0x800A01C9)));
  EXPECT_EQ(trap.field(1, zv::ErrorField::SubCode).AsInt(), oletest::Code(DISP_E_UNKNOWNNAME));
  EXPECT_EQ(d.Send("Item", "k").AsInt(), 1);
}

// The file system object raises its failures as exceptions with an scode and
// no text: the codes are what tells them apart.
TEST(FileSystemObject, FailuresKeepTheServersCodes) {
  Value fso = zv::CreateObject("Scripting.FileSystemObject");
  ASSERT_TRUE(fso.IsObject());
  ErrorTrap trap;
  fso.Send("GetFile", "C:\\zorvan-no-such-file.txt");  // file not found (53)
  fso.Send("GetFolder", "C:\\zorvan-no-such-folder");  // path not found (76)
  fso.Send("CreateFolder", "C:\\windows");              // file already exists (58)
  ASSERT_EQ(trap.errors.size(), 3u);
  const HRESULT expected[] = {static_cast<HRESULT>(0x800A0035), static_cast<HRESULT>(0x800A004C),
                              static_cast<HRESULT>(0x800A003A)};
  const char* operations[] = {"GETFILE", "GETFOLDER", "CREATEFOLDER"};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(operations[i]);
    EXPECT_EQ(trap.field(i, zv::ErrorField::SubCode).AsInt(), oletest::Code(expected[i]));
    EXPECT_EQ(trap.field(i, zv::ErrorField::GenCode).AsInt(), 1001);
    EXPECT_EQ(trap.field(i, zv::ErrorField::Operation).AsString(), operations[i]);
    EXPECT_EQ(trap.field(i, zv::ErrorField::SubSystem).AsString(), "Scripting.FileSystemObject");
    EXPECT_FALSE(trap.field(i, zv::ErrorField::Description).AsString().empty());
  }
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(DISP_E_EXCEPTION));
}

// SpecialFolders(name) answers neither a method call nor a property get on
// its own, only both asked in one Invoke.
TEST(WScriptShell, SpecialFoldersAnswersToMethodAndGetTogether) {
  Value shell = zv::CreateObject("WScript.Shell");
  ASSERT_TRUE(shell.IsObject());
  ErrorTrap trap;
  EXPECT_TRUE(shell.Send("Invoke", "SpecialFolders", "Desktop").IsNil());
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(DISP_E_MEMBERNOTFOUND));
  EXPECT_TRUE(shell.Send("Get", "SpecialFolders", "Desktop").IsNil());
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(DISP_E_MEMBERNOTFOUND));
  const Value desktop = shell.Send("SpecialFolders", "Desktop");
  EXPECT_TRUE(trap.errors.empty());
  ASSERT_TRUE(desktop.IsString());
  const std::string path = desktop.AsString();
  ASSERT_GE(path.size(), 8u);
  EXPECT_EQ(zv::UpperName(path.substr(path.size() - 8)), "\\DESKTOP");
  // The same folder as the collection's item.
  EXPECT_EQ(shell.Send("SpecialFolders").Send("Item", "Desktop").AsString(), path);
}

}  // namespace
