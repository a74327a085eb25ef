// TOleAuto against the test server: creation, the late-bound call and the
// order of its GetIDsOfNames / Invoke kinds, labels, the default member,
// errors, explicit calls, the default value and its operators.
#include <gtest/gtest.h>

#include "ole_test_support.h"
#include "runtime/operators.h"
#include "support/dialog_answerer.h"

namespace {

using oletest::Code;
using oletest::ErrorTrap;
using oletest::OleTest;
using oletest::Server;
using Log = std::vector<std::string>;
using zv::Value;

Value NewServer() { return zv::CreateObject(oletest::kProgId); }

Value Field(const ErrorTrap& t, std::size_t i, zv::ErrorField f) { return t.field(i, f); }

TEST_F(OleTest, CreatesFromAProgIdAndReleasesWhenTheObjectGoes) {
  const long live = Server::Live();
  {
    Value s = NewServer();
    ASSERT_TRUE(s.IsObject());
    EXPECT_EQ(s.Send("ClassName").AsString(), "TOleAuto");
    EXPECT_NE(s.Send("hObj").AsInt(), 0);
    EXPECT_EQ(s.Send("cClassName").AsString(), "ZorvanTest.Server");
    EXPECT_TRUE(s.Send("pOleEnumerator").IsNil());
    EXPECT_EQ(Server::Live(), live + 1);
    EXPECT_EQ(zv::OLEERROR().AsInt(), 0);
    EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "S_OK");
  }
  EXPECT_EQ(Server::Live(), live);
}

TEST_F(OleTest, CreatesFromAClsidString) {
  Value s = zv::CreateObject(oletest::kClsid);
  EXPECT_EQ(s.Send("cClassName").AsString(), oletest::kClsid);
  EXPECT_EQ(s.Send("Add", 1, 1).AsInt(), 2);
}

TEST_F(OleTest, AMethodIsResolvedAndInvokedOnce) {
  Value s = NewServer();
  Server::TakeLog();
  EXPECT_EQ(s.Send("Add", 2, 3).AsInt(), 5);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids ADD 0", "method Add"}));
}

TEST_F(OleTest, APropertyIsReadAfterTheMethodCallFails) {
  Value s = NewServer();
  Server::TakeLog();
  EXPECT_EQ(s.Send("Name").AsString(), "initial");
  EXPECT_EQ(Server::TakeLog(), (Log{"ids NAME 0", "method Name", "get Name"}));
}

TEST_F(OleTest, AssignmentResolvesTheNameWithoutUnderscoreAndPuts) {
  Value s = NewServer();
  Server::TakeLog();
  EXPECT_EQ(s.Send("_Name", "Merlin").AsString(), "Merlin");
  EXPECT_EQ(Server::TakeLog(), (Log{"ids NAME 2048", "put Name"}));
  EXPECT_EQ(s.Send("Name").AsString(), "Merlin");
}

TEST_F(OleTest, ACallWithOneArgumentTriesMethodThenGetThenPut) {
  Value s = NewServer();
  Server::TakeLog();
  EXPECT_EQ(s.Send("PutOnly", 42).AsInt(), 42);  // the result of a put is the value
  EXPECT_EQ(Server::TakeLog(), (Log{"ids PUTONLY 0", "method PutOnly", "get PutOnly", "put PutOnly"}));
  EXPECT_EQ(s.Send("PutOnlyValue").AsInt(), 42);
}

TEST_F(OleTest, ObjectsListsAndReferencesArePutByReferenceFirst) {
  Value s = NewServer();
  Value child = s.Send("Child");
  Server::TakeLog();
  s.Send("_Obj", child);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids OBJ 2048", "putref Obj"}));
  EXPECT_EQ(s.Send("Obj").Send("hObj").AsInt(), child.Send("hObj").AsInt());
  Server::TakeLog();
  s.Send("_Obj", 5);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids OBJ 2048", "put Obj"}));
  // The server refuses these by reference; they go by value next.
  s.Send("_Obj", Value::List({1, 2}));
  EXPECT_EQ(Server::TakeLog(), (Log{"ids OBJ 2048", "putref Obj", "put Obj"}));
  std::vector<Value> byRef{Value::Ref(6)};
  zv::SendList(s, "_Obj", byRef);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids OBJ 2048", "putref Obj", "put Obj"}));
  EXPECT_EQ(s.Send("Obj").AsInt(), 6);
}

TEST_F(OleTest, AnUnderscoreNameUnknownWithoutItsUnderscoreIsCalledAsItIs) {
  Value s = NewServer();
  Value coll = s.Send("NewCollection", 2);
  Server::TakeLog();
  // "_NewEnum" with an argument: "NEWENUM" is unknown, so the name is
  // "_NEWENUM" itself and the call is no assignment.
  ErrorTrap trap;
  Value e = coll.Send("_NewEnum", 1);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids NEWENUM 2048", "ids _NEWENUM 0", "method _NewEnum", "get _NewEnum"}));
  EXPECT_TRUE(trap.errors.empty());
  // An enumerator has no IDispatch: it comes back wrapped, holding its own reference.
  ASSERT_TRUE(e.IsObject());
  EXPECT_EQ(e.Send("ClassName").AsString(), "VTWrapper");
  EXPECT_EQ(e.Send("vt").AsInt(), VT_UNKNOWN);
}

TEST_F(OleTest, ReturnedObjectsAreLabelledWithTheChainOfMembers) {
  Value s = NewServer();
  Value child = s.Send("Child");
  ASSERT_TRUE(child.IsObject());
  EXPECT_EQ(child.Send("cClassName").AsString(), "ZorvanTest.Server:CHILD");
  Value self = child.Send("Self");
  EXPECT_EQ(self.Send("cClassName").AsString(), "ZorvanTest.Server:CHILD:SELF");
  EXPECT_EQ(self.Send("hObj").AsInt(), child.Send("hObj").AsInt());
  // The label is the subsystem of the errors raised by the object.
  ErrorTrap trap;
  self.Send("Missing");
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "ZorvanTest.Server:CHILD:SELF");
}

TEST_F(OleTest, ANameOnlyTheDefaultMembersObjectKnowsIsAnsweredByIt) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  Value r = s.Send("OnlyOnDefault");
  EXPECT_TRUE(trap.errors.empty());
  EXPECT_EQ(r.AsString(), "answered by the default member");
  EXPECT_EQ(Server::TakeLog(), (Log{"ids ONLYONDEFAULT 0", "get Default", "ids ONLYONDEFAULT 0",
                                    "method OnlyOnDefault"}));
  EXPECT_EQ(zv::OLEERROR().AsInt(), 0);
}

TEST_F(OleTest, WhenTheDefaultMembersObjectKnowsTheNameItsFailureIsReported) {
  Value s = NewServer();
  ErrorTrap trap;
  s.Send("OnlyOnDefault", 1);  // known there, but takes no argument
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_BADPARAMCOUNT));
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "ZorvanTest.Server");
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_BADPARAMCOUNT));
}

TEST_F(OleTest, AnUnknownMemberRaisesTheCallError) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap(Value("substitute"));
  Value r = s.Send("NoSuchMember", 1, "two");
  EXPECT_EQ(r.AsString(), "substitute");  // the handler's answer is the call's result
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::GenCode).AsInt(), 1001);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_UNKNOWNNAME));
  EXPECT_LT(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), 0);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "ZorvanTest.Server");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "DISP_E_UNKNOWNNAME");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "NOSUCHMEMBER");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Severity).AsInt(), 2);
  EXPECT_TRUE(Field(trap, 0, zv::ErrorField::CanSubstitute).AsBool());
  EXPECT_FALSE(Field(trap, 0, zv::ErrorField::CanRetry).AsBool());
  EXPECT_FALSE(Field(trap, 0, zv::ErrorField::CanDefault).AsBool());
  Value args = Field(trap, 0, zv::ErrorField::Args);
  ASSERT_EQ(args.Len(), 2u);
  EXPECT_EQ(args.Item(1).AsInt(), 1);
  EXPECT_EQ(args.Item(2).AsString(), "two");
  // The default member was tried once, and did not know the name either.
  EXPECT_EQ(Server::TakeLog(), (Log{"ids NOSUCHMEMBER 0", "get Default", "ids NOSUCHMEMBER 0"}));
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_UNKNOWNNAME));
  EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "DISP_E_UNKNOWNNAME");
}

TEST_F(OleTest, TheDefaultErrorHandlerAbandonsAFailedCall) {
  Value s = NewServer();
  EXPECT_THROW(s.Send("NoSuchMember"), zv::Break);
}

TEST_F(OleTest, AWrongArgumentCountIsReportedAsSuch) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  s.Send("Add", 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  // Get and put refuse the member (DISP_E_MEMBERNOTFOUND); the method call's
  // own failure is the one reported.
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_BADPARAMCOUNT));
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "DISP_E_BADPARAMCOUNT");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "ADD");
  EXPECT_EQ(Server::TakeLog(),
            (Log{"ids ADD 0", "method Add", "get Add", "put Add", "get Default", "ids ADD 0"}));
  EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "DISP_E_BADPARAMCOUNT");
}

TEST_F(OleTest, AServerExceptionGivesTheServersText) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  s.Send("Fail", 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  // The sub-code is the exception's scode; the Invoke's own failure stays in OLEERROR().
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(E_FAIL));
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_EXCEPTION));
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "The server failed on purpose");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "ZorvanTest.Server");
  EXPECT_EQ(zv::OLEEXCEPTIONSOURCE().AsString(), "ZorvanTest.Server");
  EXPECT_EQ(zv::OLEEXCEPTIONDESCRIPTION().AsString(), "The server failed on purpose");
  // The member ran once: no other call kind, no default member.
  EXPECT_EQ(Server::TakeLog(), (Log{"ids FAIL 0", "method Fail"}));

  s.Send("FailDeferred");
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(Field(trap, 1, zv::ErrorField::Description).AsString(), "Filled in later");
  EXPECT_EQ(Field(trap, 1, zv::ErrorField::SubCode).AsInt(), Code(E_FAIL));
  EXPECT_EQ(zv::OLEEXCEPTIONSOURCE().AsString(), "ZorvanTest.Deferred");

  // The exception belongs to the last call only.
  s.Send("Add", 1, 2);
  EXPECT_TRUE(zv::OLEEXCEPTIONSOURCE().IsNil());
  EXPECT_TRUE(zv::OLEEXCEPTIONDESCRIPTION().IsNil());
}

// The system's text for a code, as FormatMessage has it ("" when it has none).
std::string SystemText(DWORD code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                           sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s;
}

TEST_F(OleTest, AServerExceptionWithoutATextKeepsTheServersCode) {
  Value s = NewServer();
  ErrorTrap trap;
  // Two failures of the same server that only their codes tell apart.
  const long long pathNotFound = static_cast<long>(0x800A004CL), fileExists = static_cast<long>(0x800A003AL);
  s.Send("FailScode", pathNotFound);
  s.Send("FailScode", fileExists);
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), pathNotFound);
  EXPECT_EQ(Field(trap, 1, zv::ErrorField::SubCode).AsInt(), fileExists);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Field(trap, i, zv::ErrorField::GenCode).AsInt(), 1001);
    EXPECT_EQ(Field(trap, i, zv::ErrorField::SubSystem).AsString(), "ZorvanTest.Server");
    EXPECT_EQ(Field(trap, i, zv::ErrorField::Operation).AsString(), "FAILSCODE");
  }
  // The system has no text for these: the name of the Invoke's failure is what is left.
  ASSERT_EQ(SystemText(0x800A004C), "");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "DISP_E_EXCEPTION");
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_EXCEPTION));
  EXPECT_EQ(zv::OLEEXCEPTIONDESCRIPTION().AsString(), "");  // what the server said: nothing

  // A code the system knows is described by the system's text.
  const std::string accessDenied = SystemText(static_cast<DWORD>(E_ACCESSDENIED));
  ASSERT_FALSE(accessDenied.empty());
  s.Send("FailScode", static_cast<long long>(E_ACCESSDENIED));
  ASSERT_EQ(trap.errors.size(), 3u);
  EXPECT_EQ(Field(trap, 2, zv::ErrorField::SubCode).AsInt(), Code(E_ACCESSDENIED));
  EXPECT_EQ(Field(trap, 2, zv::ErrorField::Description).AsString(), accessDenied);

  // Only a wCode: it is the sub-code, but it is the server's own number, so
  // the system's text for the same number (ERROR_ACCESS_DENIED) is not used.
  ASSERT_FALSE(SystemText(ERROR_ACCESS_DENIED).empty());
  s.Send("FailWCode", 5);
  ASSERT_EQ(trap.errors.size(), 4u);
  EXPECT_EQ(Field(trap, 3, zv::ErrorField::SubCode).AsInt(), 5);
  EXPECT_EQ(Field(trap, 3, zv::ErrorField::Description).AsString(), "DISP_E_EXCEPTION");
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_EXCEPTION));

  // The code belongs to the last call only.
  s.Send("NoSuchMember");
  ASSERT_EQ(trap.errors.size(), 5u);
  EXPECT_EQ(Field(trap, 4, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_UNKNOWNNAME));
}

TEST_F(OleTest, AMemberAnsweringOnlyToMethodAndGetTogetherIsCalledSoLast) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  EXPECT_EQ(s.Send("CombinedOnly", "Desktop").AsString(), "combined:Desktop");
  EXPECT_EQ(Server::TakeLog(), (Log{"ids COMBINEDONLY 0", "method CombinedOnly", "get CombinedOnly",
                                    "put CombinedOnly", "method+get CombinedOnly"}));
  EXPECT_EQ(s.Send("CombinedOnly").AsString(), "combined:");
  EXPECT_EQ(Server::TakeLog(),
            (Log{"ids COMBINEDONLY 0", "method CombinedOnly", "get CombinedOnly", "method+get CombinedOnly"}));
  EXPECT_TRUE(trap.errors.empty());
  EXPECT_EQ(zv::OLEERROR().AsInt(), 0);

  // A member that refuses that too still fails with "member not found".
  Value c = s.Send("NewCollection", 2);
  Server::TakeLog();
  c.Send("Count", 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_MEMBERNOTFOUND));
  const Log log = Server::TakeLog();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(Log(log.begin(), log.begin() + 5),
            (Log{"ids COUNT 0", "method Count", "get Count", "put Count", "method+get Count"}));
  // (Other failures end the attempts as before: see AWrongArgumentCountIsReportedAsSuch
  // and AServerExceptionGivesTheServersText, whose logs have no "method+get".)
}

TEST_F(OleTest, CreationErrors) {
  struct Case {
    const char* id;
    const char* name;
  };
  const Case cases[] = {
      {"No.Such.ProgId", "CO_E_CLASSSTRING"},
      {oletest::kUnregisteredClsid, "REGDB_E_CLASSNOTREG"},
      {oletest::kFailingProgId, "CO_E_SERVER_EXEC_FAILURE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ErrorTrap trap(Value("substitute"));
    Value r = zv::CreateObject(c.id);
    EXPECT_EQ(r.AsString(), "substitute");  // the constructor returns the handler's answer
    ASSERT_EQ(trap.errors.size(), 1u);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::GenCode).AsInt(), 1001);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), -1);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), c.name);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "TOleAuto");
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "TOleAuto:New");
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::Severity).AsInt(), 2);
    EXPECT_TRUE(Field(trap, 0, zv::ErrorField::CanSubstitute).AsBool());
    EXPECT_FALSE(Field(trap, 0, zv::ErrorField::CanRetry).AsBool());
    EXPECT_FALSE(Field(trap, 0, zv::ErrorField::CanDefault).AsBool());
    Value args = Field(trap, 0, zv::ErrorField::Args);
    ASSERT_EQ(args.Len(), 1u);
    EXPECT_EQ(args.Item(1).AsString(), c.id);
    EXPECT_EQ(zv::OLE2TXTERROR().AsString(), c.name);
  }
}

TEST_F(OleTest, AnInvalidConstructorArgument) {
  for (Value bad : {Value(true), Value(0), Value::List({})}) {
    ErrorTrap trap;
    Value o = zv::Object::New(zv::TOleAutoClass());
    Value r = o.Send("New", bad);
    ASSERT_EQ(trap.errors.size(), 1u);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "Invalid argument to contrustor!");
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::GenCode).AsInt(), 0);
    EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubSystem).AsString(), "TOleAuto");
    EXPECT_EQ(r.AsObject(), o.AsObject());
    EXPECT_EQ(o.Send("hObj").AsInt(), 0);
  }
}

TEST_F(OleTest, AttachesToAnInterfacePointer) {
  IDispatch* raw = Server::NewRaw();
  const long refs = Server::Refs();
  {
    Value o = zv::Object::New(zv::TOleAutoClass());
    o.Send("New", static_cast<long long>(reinterpret_cast<std::uintptr_t>(raw)));
    EXPECT_EQ(Server::Refs(), refs + 1);
    EXPECT_EQ(zv::OLEERROR().AsInt(), 2);  // the count OLEADDREF returned
    EXPECT_EQ(o.Send("cClassName").AsString(), std::to_string(reinterpret_cast<std::uintptr_t>(raw)));
    EXPECT_EQ(o.Send("Add", 20, 22).AsInt(), 42);
    Value labelled = zv::Object::New(zv::TOleAutoClass());
    labelled.Send("New", static_cast<long long>(reinterpret_cast<std::uintptr_t>(raw)), "Mine");
    EXPECT_EQ(labelled.Send("cClassName").AsString(), "Mine");
    EXPECT_EQ(Server::Refs(), refs + 2);
  }
  EXPECT_EQ(Server::Refs(), refs);
  raw->Release();
}

TEST_F(OleTest, CreateOleObjectReturnsTheInterfaceAskedFor) {
  Value p = zv::CREATEOLEOBJECT(oletest::kProgId, "{00000000-0000-0000-C000-000000000046}");  // IUnknown
  ASSERT_NE(p.AsInt(), 0);
  EXPECT_EQ(zv::OLEERROR().AsInt(), 0);
  EXPECT_EQ(zv::OLERELEASEOBJECT(p).AsInt(), 0);  // the only reference
  // The identifier in its 16-byte form.
  p = zv::CREATEOLEOBJECT(oletest::kProgId, std::string(reinterpret_cast<const char*>(&IID_IDispatch), 16));
  ASSERT_NE(p.AsInt(), 0);
  EXPECT_EQ(zv::OLERELEASEOBJECT(p).AsInt(), 0);
  // Too short to be one, and one the server does not implement.
  EXPECT_EQ(zv::CREATEOLEOBJECT(oletest::kProgId, "short").AsInt(), 0);
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(E_INVALIDARG));
  EXPECT_EQ(zv::CREATEOLEOBJECT(oletest::kProgId, "{00020404-0000-0000-C000-000000000046}").AsInt(), 0);
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(E_NOINTERFACE));
  EXPECT_EQ(zv::CREATEOLEOBJECT("No.Such.ProgId").AsInt(), 0);
  EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "CO_E_CLASSSTRING");
  EXPECT_EQ(zv::GETOLEOBJECT(oletest::kProgId).AsInt(), 0);  // nothing running
  EXPECT_EQ(zv::OLE2TXTERROR().AsString(), "MK_E_UNAVAILABLE");
  // No pointer, no call.
  EXPECT_EQ(zv::OLEADDREF(0).AsInt(), 0);
  EXPECT_EQ(zv::OLEERROR().AsInt(), oletest::Code(E_INVALIDARG));
}

TEST_F(OleTest, NewOnAnAttachedObjectIsTheServersNew) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  Value r = s.Send("New", 1);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "_NEW");
  // The default member's object is asked the same way.
  EXPECT_EQ(Server::TakeLog(),
            (Log{"ids NEW 2048", "ids _NEW 0", "get Default", "ids NEW 2048", "ids _NEW 0"}));
  EXPECT_NE(s.Send("hObj").AsInt(), 0);  // still attached to the same server
}

TEST_F(OleTest, ExplicitCallsRaiseNothing) {
  Value s = NewServer();
  Server::TakeLog();
  ErrorTrap trap;
  EXPECT_EQ(s.Send("Invoke", "Add", 2, 3).AsInt(), 5);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids Add 0", "method Add"}));
  EXPECT_EQ(s.Send("CallMethod", "Add", 1, 1).AsInt(), 2);
  EXPECT_EQ(s.Send("Set", "Name", "set").AsString(), "set");
  EXPECT_EQ(Server::TakeLog(), (Log{"ids Add 0", "method Add", "ids Name 0", "put Name"}));
  EXPECT_EQ(s.Send("Get", "Name").AsString(), "set");
  EXPECT_EQ(s.Send("SetProperty", "Name", "again").AsString(), "again");
  EXPECT_EQ(s.Send("GetProperty", "Name").AsString(), "again");
  Server::TakeLog();
  // A name the server does not have, and a kind the member does not answer.
  EXPECT_TRUE(s.Send("Invoke", "Nope").IsNil());
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_UNKNOWNNAME));
  EXPECT_TRUE(s.Send("Get", "Add").IsNil());
  EXPECT_EQ(zv::OLEERROR().AsInt(), Code(DISP_E_MEMBERNOTFOUND));
  EXPECT_TRUE(s.Send("Invoke", "Fail").IsNil());
  EXPECT_EQ(zv::OLEEXCEPTIONDESCRIPTION().AsString(), "The server failed on purpose");
  // No other kind and no default member is tried.
  EXPECT_EQ(Server::TakeLog(), (Log{"ids Nope 0", "ids Add 0", "get Add", "ids Fail 0", "method Fail"}));
  EXPECT_TRUE(trap.errors.empty());
  // Returned objects are labelled with the name as given.
  EXPECT_EQ(s.Send("Get", "Child").Send("cClassName").AsString(), "ZorvanTest.Server:Child");
}

TEST_F(OleTest, TheDefaultValue) {
  Value s = NewServer();
  Value n = s.Send("NewNumber", 5);
  EXPECT_EQ(n.Send("cClassName").AsString(), "ZorvanTest.Server:NEWNUMBER");
  EXPECT_EQ(n.Send("OleValue").AsInt(), 5);
  EXPECT_EQ(n.Send("_OleValue", 7).AsInt(), 7);
  EXPECT_EQ(n.Send("OleValue").AsInt(), 7);
  // The root's default member is an object.
  Value d = s.Send("OleValue");
  ASSERT_TRUE(d.IsObject());
  EXPECT_EQ(d.Send("Kind").AsString(), "default");
  // A collection has no default member: the call error.
  Value c = s.Send("NewCollection", 1);
  ErrorTrap trap;
  c.Send("OleValue");
  c.Send("_OleValue", 1);
  ASSERT_EQ(trap.errors.size(), 2u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "OLEVALUE");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::SubCode).AsInt(), Code(DISP_E_MEMBERNOTFOUND));
  EXPECT_EQ(Field(trap, 1, zv::ErrorField::Operation).AsString(), "_OLEVALUE");
}

TEST_F(OleTest, OperatorsWorkOnTheDefaultValue) {
  Value s = NewServer();
  Value n = s.Send("NewNumber", 5);
  EXPECT_EQ(zv::OpAdd(n, 2).AsInt(), 7);
  EXPECT_EQ(zv::OpSubtract(n, 2).AsInt(), 3);
  EXPECT_EQ(zv::OpMultiply(n, 3).AsInt(), 15);
  EXPECT_DOUBLE_EQ(zv::OpDivide(n, 2).AsDouble(), 2.5);
  EXPECT_EQ(zv::OpModulo(n, 3).AsInt(), 2);
  EXPECT_EQ(zv::OpPower(n, 2).AsInt(), 25);
  EXPECT_TRUE(zv::OpEqual(n, 5).IsTrue());
  EXPECT_TRUE(zv::OpExactEqual(n, 5).IsTrue());
  EXPECT_TRUE(zv::OpNotEqual(n, 5).IsFalse());
  // ++ and -- write the new value back.
  EXPECT_EQ(zv::OpIncrement(n).AsInt(), 6);
  EXPECT_EQ(n.Send("OleValue").AsInt(), 6);
  EXPECT_EQ(zv::OpDecrement(n).AsInt(), 5);
  EXPECT_EQ(zv::OpDecrement(n).AsInt(), 4);
  EXPECT_EQ(n.Send("OleValue").AsInt(), 4);
  Value text = s.Send("NewNumber", "ab");
  EXPECT_EQ(zv::OpAdd(text, "c").AsString(), "abc");
}

TEST_F(OleTest, OperatorFailuresBecomeArgumentErrors) {
  Value s = NewServer();
  Value n = s.Send("NewNumber", 5);
  Value c = s.Send("NewCollection", 1);  // no default value at all
  ErrorTrap trap(Value(-1));
  EXPECT_EQ(zv::OpAdd(n, "x").AsInt(), -1);
  zv::OpMultiply(c, 2);
  zv::OpIncrement(c);
  zv::OpNotEqual(n, "x");
  // Only the argument errors reach the handler; the failures under them do not.
  ASSERT_EQ(trap.errors.size(), 4u);
  const struct {
    const char* op;
    int sub;
    std::size_t args;
  } expected[] = {{"+", 1081, 2}, {"*", 1083, 2}, {"++", 1086, 1}, {"!=", 1085, 2}};
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(expected[i].op);
    EXPECT_EQ(Field(trap, i, zv::ErrorField::GenCode).AsInt(), 1);
    EXPECT_EQ(Field(trap, i, zv::ErrorField::SubSystem).AsString(), "BASE");
    EXPECT_EQ(Field(trap, i, zv::ErrorField::Description).AsString(), "argument error");
    EXPECT_EQ(Field(trap, i, zv::ErrorField::Operation).AsString(), expected[i].op);
    EXPECT_EQ(Field(trap, i, zv::ErrorField::SubCode).AsInt(), expected[i].sub);
    EXPECT_TRUE(Field(trap, i, zv::ErrorField::CanSubstitute).AsBool());
    Value args = Field(trap, i, zv::ErrorField::Args);
    ASSERT_EQ(args.Len(), expected[i].args);
    EXPECT_TRUE(args.Item(1).IsObject());  // the object, not its value
  }
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Args).Item(2).AsString(), "x");
}

TEST_F(OleTest, ElementMinusOneOfFiveItemsIsItemFive) {
  Value s = NewServer();
  Value c = s.Send("NewCollection", 5);
  EXPECT_EQ(zv::OpIndex(c, 2).AsInt(), 20);
  Server::TakeLog();
  EXPECT_EQ(zv::OpIndexAssign(c, -1, 99).AsInt(), 99);
  EXPECT_EQ(Server::TakeLog(), (Log{"ids COUNT 0", "method Count", "get Count", "ids ITEM 2048", "put Item"}));
  EXPECT_EQ(c.Send("Item", 5).AsInt(), 99);
  EXPECT_EQ(c.Send("Item", 4).AsInt(), 40);
  zv::OpIndexAssign(c, -5, 1);
  EXPECT_EQ(c.Send("Item", 1).AsInt(), 1);
}

TEST_F(OleTest, WritingAnItemFallsBackToSetItem) {
  Value s = NewServer();
  Value ro = s.Send("NewCollection", 3, 1);  // Item cannot be written
  ErrorTrap trap;
  Server::TakeLog();
  EXPECT_TRUE(zv::OpIndexAssign(ro, 2, 7).IsNil());  // SetItem's own result
  EXPECT_TRUE(trap.errors.empty());
  const Log log = Server::TakeLog();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "method SetItem");
  EXPECT_EQ(ro.Send("Item", 2).AsInt(), 7);
}

TEST_F(OleTest, AttachesToARunningObject) {
  IDispatch* raw = Server::NewRaw();
  {
    Value probe = zv::OleWrapDispatch(raw);
    probe.Send("_Name", "running");
  }
  CLSID clsid;
  ASSERT_TRUE(SUCCEEDED(CLSIDFromProgID(L"ZorvanTest.Server", &clsid)));
  DWORD cookie = 0;
  ASSERT_TRUE(SUCCEEDED(RegisterActiveObject(raw, clsid, ACTIVEOBJECT_STRONG, &cookie)));
  {
    Value o = zv::GetActiveObject(oletest::kProgId);
    ASSERT_TRUE(o.IsObject());
    EXPECT_EQ(o.Send("cClassName").AsString(), "ZorvanTest.Server");
    EXPECT_EQ(o.Send("Name").AsString(), "running");
  }
  RevokeActiveObject(cookie, nullptr);
  raw->Release();

  ErrorTrap trap;
  zv::GetActiveObject(oletest::kProgId);
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "MK_E_UNAVAILABLE");
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Operation).AsString(), "TOleAuto:GetActiveObject");
}

TEST_F(OleTest, GetActiveObjectWithoutAProgIdShowsABox) {
  zvtest::DialogAnswerer answer;
  answer.pressButton(IDOK);
  Value o = zv::GetActiveObject(Value(12));
  ASSERT_EQ(answer.seen().size(), 1u);
  EXPECT_EQ(answer.seen()[0].caption, "OLE Interface");
  EXPECT_EQ(answer.seen()[0].text, "Invalid parameter type to constructor TOleAuto():GetActiveObject()!");
  EXPECT_EQ(o.Send("hObj").AsInt(), 0);
  // Without an interface every call fails, and nothing crashes.
  ErrorTrap trap;
  o.Send("Anything");
  ASSERT_EQ(trap.errors.size(), 1u);
  EXPECT_EQ(Field(trap, 0, zv::ErrorField::Description).AsString(), "E_UNEXPECTED");
}

TEST_F(OleTest, ObjectsInACycleAreReleasedByTheCollector) {
  const long live = Server::Live();
  {
    Value s = NewServer();
    Value list = Value::List({s});
    list.Append(list);  // the list holds itself
  }
  EXPECT_EQ(Server::Live(), live + 1);
  zv::Collect();
  EXPECT_EQ(Server::Live(), live);
}

}  // namespace
