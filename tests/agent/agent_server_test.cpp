// The object model of the character server, driven through raw IDispatch
// calls the way the demo drives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "agent_fixture.h"

namespace agenttest {
namespace {

std::wstring RegistryString(const std::wstring& key, const wchar_t* value) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"<missing>";
  return buf;
}

const std::wstring kClsidKey = L"CLSID\\{56F4DF0F-FA04-4600-A1DB-B1337C79AEAC}";

TEST(AgentRegistration, ProgIdNamesTheServerClassAsAnApartmentInProcServer) {
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"Agent.Control.2", &clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, agent::kClsidControl));
  EXPECT_EQ(RegistryString(kClsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  std::wstring dll = RegistryString(kClsidKey + L"\\InprocServer32", nullptr);
  EXPECT_NE(GetFileAttributesW(dll.c_str()), INVALID_FILE_ATTRIBUTES) << "registered path: " << std::string(dll.begin(), dll.end());
  EXPECT_EQ(RegistryString(L"Agent.Control\\CurVer", nullptr), L"Agent.Control.2");
}

TEST(AgentRegistration, UnregisterRemovesTheProgIdAndRegisterRestoresIt) {
  std::wstring dll = RegistryString(kClsidKey + L"\\InprocServer32", nullptr);
  HMODULE module = LoadLibraryW(dll.c_str());
  ASSERT_NE(module, nullptr);
  using Fn = HRESULT(STDAPICALLTYPE*)();
  auto unreg = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllUnregisterServer")));
  auto reg = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
  ASSERT_NE(unreg, nullptr);
  ASSERT_NE(reg, nullptr);

  ASSERT_EQ(unreg(), S_OK);
  CLSID clsid{};
  EXPECT_NE(CLSIDFromProgID(L"Agent.Control.2", &clsid), S_OK);
  EXPECT_EQ(RegistryString(kClsidKey + L"\\InprocServer32", nullptr), L"<missing>");

  ASSERT_EQ(reg(), S_OK);
  EXPECT_EQ(CLSIDFromProgID(L"Agent.Control.2", &clsid), S_OK);
  EXPECT_EQ(RegistryString(kClsidKey + L"\\InprocServer32", nullptr), dll);
  FreeLibrary(module);
}

TEST_F(AgentTest, NamesAreMatchedWithoutRegardToCase) {
  DISPID upper = control_.Id(L"CONNECTED");
  EXPECT_NE(upper, DISPID_UNKNOWN);
  EXPECT_EQ(control_.Id(L"connected"), upper);
  EXPECT_EQ(control_.Id(L"Connected"), upper);
  EXPECT_EQ(control_.Id(L"CHARACTERS"), control_.Id(L"characters"));

  DISPID id = 12345;
  LPOLESTR name = const_cast<LPOLESTR>(L"NOSUCHMEMBER");
  EXPECT_EQ(control_.get()->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(AgentTest, ConnectedIsReadAndWritten) {
  EXPECT_FALSE(control_.Get(L"CONNECTED").Bool());
  ASSERT_TRUE(control_.Put(L"CONNECTED", Var::Bool(true)).ok());
  Outcome read = control_.Get(L"CONNECTED");
  ASSERT_TRUE(read.ok());
  EXPECT_TRUE(read.Bool());
}

// The demo's whole greeting (FormInitialize), call for call: every call
// succeeds and returns at once; the journal records each; the queue then
// plays to the end, where the character stands at the last target.
TEST_F(AgentTest, DemoGreetingSequence) {
  ASSERT_TRUE(control_.Put(L"CONNECTED", Var::Bool(true)).ok());
  Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
  ASSERT_TRUE(characters);
  ASSERT_TRUE(characters.Method(L"LOAD", {Var::Str(L"Merlin"), Var::Str(L"Merlin.acs")}).ok());
  Obj merlin = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD, {Var::Str(L"Merlin")});
  ASSERT_TRUE(merlin);

  struct Step {
    const wchar_t* member;
    std::vector<Var> args;
  };
  const std::vector<Step> steps = {
      {L"SHOW", {}},
      {L"MOVETO", {Var::Int(435 - 70), Var::Int(350), Var::Int(1000)}},
      {L"SPEAK", {Var::Str(L"Welcome to Zorvan Agent Demo !!!")}},
      {L"PLAY", {Var::Str(L"GestureLeft")}},
      {L"THINK", {Var::Str(L"Haz doble click en el browse y har\u00e9 algo")}},
      {L"MOVETO", {Var::Int(435 + 450 - 20), Var::Int(370), Var::Int(1000)}},
      {L"PLAY", {Var::Str(L"GestureRight")}},
      {L"THINK", {Var::Str(L"Pulsa los botones y ver\u00e1s algunos de mis m\u00e9todos...")}},
      {L"SPEAK", {Var::Str(L"Have fun!")}},
  };
  for (const Step& s : steps) {
    ULONGLONG before = GetTickCount64();
    Outcome o = merlin.Method(s.member, s.args);
    EXPECT_TRUE(o.ok()) << std::string(s.member, s.member + wcslen(s.member)) << ": " << o.hr;
    EXPECT_LT(GetTickCount64() - before, 500u) << "the call must not wait for the character";
  }
  // Nothing has played yet: every request waits in the queue.
  EXPECT_EQ(merlin.Get(L"QUEUELENGTH").Long(), static_cast<long>(steps.size()));

  const std::vector<std::wstring> expected = {
      L"Agent.CONNECTED put true",
      L"Agent.CHARACTERS method",
      L"Characters.LOAD method \"Merlin\", \"Merlin.acs\"",
      L"Agent.CHARACTERS method \"Merlin\"",
      L"Merlin.SHOW method",
      L"Merlin.MOVETO method 365, 350, 1000",
      L"Merlin.SPEAK method \"Welcome to Zorvan Agent Demo !!!\"",
      L"Merlin.PLAY method \"GestureLeft\"",
      L"Merlin.THINK method \"Haz doble click en el browse y har\u00e9 algo\"",
      L"Merlin.MOVETO method 865, 370, 1000",
      L"Merlin.PLAY method \"GestureRight\"",
      L"Merlin.THINK method \"Pulsa los botones y ver\u00e1s algunos de mis m\u00e9todos...\"",
      L"Merlin.SPEAK method \"Have fun!\"",
      L"Merlin.QUEUELENGTH get",
  };
  EXPECT_EQ(Journal(), expected);

  // While it plays, the figure and (for Speak and Think) the balloon appear.
  bool balloonSeen = false;
  bool figureSeen = false;
  ASSERT_TRUE(PumpUntil(
      [&] {
        HWND f = FigureWindow(L"Merlin"), b = BalloonWindow(L"Merlin");
        figureSeen |= f && IsWindowVisible(f);
        balloonSeen |= b && IsWindowVisible(b);
        SetEnvironmentVariableW(L"AGENT_JOURNAL", nullptr);
        bool empty = merlin.Get(L"QUEUELENGTH").Long() == 0;
        SetEnvironmentVariableW(L"AGENT_JOURNAL", journal_.c_str());
        return empty;
      },
      30000));
  EXPECT_TRUE(figureSeen);
  EXPECT_TRUE(balloonSeen);
  EXPECT_EQ(merlin.Get(L"LEFT").Long(), 865);
  EXPECT_EQ(merlin.Get(L"TOP").Long(), 370);
  EXPECT_TRUE(merlin.Get(L"VISIBLE").Bool());
  HWND figure = FigureWindow(L"Merlin");
  ASSERT_NE(figure, nullptr);
  RECT r{};
  GetWindowRect(figure, &r);
  EXPECT_EQ(r.left, 865);
  EXPECT_EQ(r.top, 370);
  EXPECT_EQ(r.right - r.left, merlin.Get(L"WIDTH").Long());
  // The balloon is gone once the last Speak is over.
  HWND balloon = BalloonWindow(L"Merlin");
  EXPECT_TRUE(!balloon || !IsWindowVisible(balloon));
}

TEST_F(AgentTest, CharactersWithANameIsTheCharacterOfTheCollection) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
  Obj byCharacter = characters.ObjectOf(L"CHARACTER", DISPATCH_METHOD, {Var::Str(L"Merlin")});
  Obj byDefault(characters.InvokeId(DISPID_VALUE, DISPATCH_PROPERTYGET, {Var::Str(L"merlin")}).Object(), true);
  Obj byItem = characters.ObjectOf(L"ITEM", DISPATCH_METHOD, {Var::Str(L"MERLIN")});
  ASSERT_TRUE(byCharacter && byDefault && byItem);

  IUnknown* a = Identity(merlin_.get());
  IUnknown* b = Identity(byCharacter.get());
  IUnknown* c = Identity(byDefault.get());
  IUnknown* d = Identity(byItem.get());
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(a, d);
  for (IUnknown* u : {a, b, c, d}) u->Release();

  // The collection is one object too.
  Obj again = control_.ObjectOf(L"CHARACTERS", DISPATCH_PROPERTYGET);
  IUnknown* c1 = Identity(characters.get());
  IUnknown* c2 = Identity(again.get());
  EXPECT_EQ(c1, c2);
  c1->Release();
  c2->Release();
  EXPECT_EQ(characters.Get(L"COUNT").Long(), 1);
  EXPECT_EQ(merlin_.Get(L"NAME").String(), L"Merlin");
}

TEST_F(AgentTest, UnknownAnimationRaisesAnExceptionAndQueuesNothing) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  Outcome o = merlin_.Method(L"PLAY", {Var::Str(L"Dance")});
  EXPECT_EQ(o.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(o.scode, agent::kErrNoAnimation);
  EXPECT_EQ(o.source, L"Agent.Control.2");
  EXPECT_EQ(o.description, L"The character \"Merlin\" has no animation \"Dance\".");
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 0);

  // The same text is available through the error object.
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_EQ(std::wstring(text ? text : L""), o.description);
  SysFreeString(text);
  info->Release();

  // A late-bound client that retries a failed method as a property get and
  // put finds no such property: the call is never carried out twice.
  EXPECT_EQ(merlin_.Get(L"PLAY", {Var::Str(L"Dance")}).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(merlin_.Put(L"PLAY", Var::Str(L"Greet")).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 0);

  // Every animation of the demo's table exists; names ignore case.
  for (const wchar_t* name :
       {L"Acknowledge", L"Alert", L"Announce", L"Blink", L"Confused", L"Congratulate", L"Congratulate_2", L"Decline",
        L"DoMagic1", L"DoMagic2", L"DontRecognize", L"Explain", L"GestureDown", L"GestureLeft", L"GestureRight",
        L"GestureUp", L"GetAttention", L"GetAttentionContinued", L"GetAttentionReturn", L"Greet", L"Hearing_1",
        L"Hearing_2", L"Hearing_3", L"Hearing_4", L"Hide", L"Show"}) {
    EXPECT_TRUE(merlin_.Method(L"HASANIMATION", {Var::Str(name)}).Bool()) << std::string(name, name + wcslen(name));
  }
  EXPECT_TRUE(merlin_.Method(L"PLAY", {Var::Str(L"greet")}).ok());
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 1);
}

TEST_F(AgentTest, MissingCharacterFileRaisesAnExceptionNamingTheFile) {
  ASSERT_TRUE(control_.Put(L"CONNECTED", Var::Bool(true)).ok());
  Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
  Outcome o = characters.Method(L"LOAD", {Var::Str(L"Ghost"), Var::Str(L"NoSuchFile.acs")});
  EXPECT_EQ(o.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(o.scode, agent::kErrFileNotFound);
  EXPECT_EQ(o.source, L"Agent.Control.2");
  EXPECT_NE(o.description.find(L"Cannot open the character file \""), std::wstring::npos) << o.description.c_str();
  EXPECT_NE(o.description.find(L"\\NoSuchFile.acs\""), std::wstring::npos);
  EXPECT_EQ(characters.Get(L"COUNT").Long(), 0);

  // Nothing was loaded under that ID.
  Outcome ghost = control_.Method(L"CHARACTERS", {Var::Str(L"Ghost")});
  EXPECT_EQ(ghost.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(ghost.scode, agent::kErrNotLoaded);
  EXPECT_EQ(ghost.description, L"The character \"Ghost\" is not loaded.");

  // Loading the same ID twice is refused.
  ASSERT_TRUE(characters.Method(L"LOAD", {Var::Str(L"Merlin"), Var::Str(L"Merlin.acs")}).ok());
  Outcome twice = characters.Method(L"LOAD", {Var::Str(L"MERLIN"), Var::Str(L"Merlin.acs")});
  EXPECT_EQ(twice.scode, agent::kErrAlreadyLoaded);
  EXPECT_EQ(characters.Get(L"COUNT").Long(), 1);
}

TEST_F(AgentTest, ArgumentsAreCheckedAndConverted) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  EXPECT_EQ(merlin_.Method(L"MOVETO", {Var::Int(1)}).hr, DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(merlin_.Method(L"MOVETO", {Var::Int(1), Var::Int(2), Var::Int(3), Var::Int(4)}).hr, DISP_E_BADPARAMCOUNT);
  Outcome bad = merlin_.Method(L"MOVETO", {Var::Str(L"left"), Var::Int(2)});
  EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(bad.argErr, 1u);  // rgvarg holds the arguments last to first
  Outcome speed = merlin_.Method(L"MOVETO", {Var::Int(1), Var::Int(2), Var::Int(-5)});
  EXPECT_EQ(speed.scode, agent::kErrBadArgument);
  EXPECT_EQ(merlin_.Get(L"QUEUELENGTH").Long(), 0);

  // Numbers arrive as doubles or strings too; the speed is optional.
  EXPECT_TRUE(merlin_.Method(L"MOVETO", {Var::Dbl(100.0), Var::Str(L"120")}).ok());

  // Named arguments, matched by their names.
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"MOVETO"), const_cast<LPOLESTR>(L"SPEED"), const_cast<LPOLESTR>(L"X"),
                      const_cast<LPOLESTR>(L"Y")};
  DISPID ids[4] = {};
  ASSERT_EQ(merlin_.get()->GetIDsOfNames(IID_NULL, names, 4, 0, ids), S_OK);
  Var args[3] = {Var::Int(0), Var::Int(300), Var::Int(200)};  // Speed, x, y
  VARIANT raw[3] = {args[0].v, args[1].v, args[2].v};
  DISPPARAMS params{raw, &ids[1], 3, 3};
  Var result;
  EXPECT_EQ(merlin_.get()->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &result.v, nullptr, nullptr), S_OK);
  ASSERT_TRUE(Drain(merlin_));
  EXPECT_EQ(merlin_.Get(L"LEFT").Long(), 300);
  EXPECT_EQ(merlin_.Get(L"TOP").Long(), 200);

  // A property that cannot be written, an interface that is not IID_NULL.
  EXPECT_EQ(merlin_.Put(L"NAME", Var::Str(L"Bob")).hr, DISP_E_MEMBERNOTFOUND);
  DISPPARAMS none{};
  GUID other = IID_IDispatch;
  EXPECT_EQ(merlin_.get()->Invoke(merlin_.Id(L"SHOW"), other, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
  EXPECT_EQ(merlin_.InvokeId(999, DISPATCH_METHOD).hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(AgentTest, DisconnectingUnloadsTheCharacters) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  ASSERT_NE(FigureWindow(L"Merlin"), nullptr);
  ASSERT_TRUE(control_.Put(L"CONNECTED", Var::Bool(false)).ok());
  EXPECT_FALSE(control_.Get(L"CONNECTED").Bool());
  EXPECT_EQ(FigureWindow(L"Merlin"), nullptr);
  Outcome o = merlin_.Method(L"SHOW");
  EXPECT_EQ(o.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(o.scode, agent::kErrUnloaded);
  EXPECT_EQ(o.description, L"The character \"Merlin\" is no longer loaded.");
  Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
  EXPECT_TRUE(control_.Get(L"CONNECTED").Bool());  // using the collection connects again
  EXPECT_EQ(characters.Get(L"COUNT").Long(), 0);
  // It can be loaded again under the same ID.
  EXPECT_TRUE(characters.Method(L"LOAD", {Var::Str(L"Merlin")}).ok());
  EXPECT_EQ(characters.Get(L"COUNT").Long(), 1);
}

TEST_F(AgentTest, ReferencesAreBalancedAfterRelease) {
  {
    Obj merlin = LoadMerlin();
    ASSERT_TRUE(merlin);
    Obj request = merlin.ObjectOf(L"SPEAK", DISPATCH_METHOD, {Var::Str(L"Hello")});
    ASSERT_TRUE(request);
    Obj characters = control_.ObjectOf(L"CHARACTERS", DISPATCH_METHOD);
    Obj again = characters.ObjectOf(L"CHARACTER", DISPATCH_METHOD, {Var::Str(L"Merlin")});
    Pump(200);  // let it start playing: windows shown, timer running
    // control, collection, character, request
    EXPECT_EQ(LiveObjects(), 4);
    ASSERT_NE(FigureWindow(L"Merlin"), nullptr);
    // The character stays usable while held, even after the control is gone.
    control_.Reset();
    EXPECT_TRUE(merlin.Method(L"PLAY", {Var::Str(L"Blink")}).ok());
    EXPECT_TRUE(Drain(merlin));
  }
  EXPECT_EQ(LiveObjects(), 0);
  EXPECT_EQ(FigureWindow(L"Merlin"), nullptr);
  EXPECT_EQ(BalloonWindow(L"Merlin"), nullptr);
  // Nothing is left for the timer to do: pumping is harmless.
  Pump(100);
}

TEST_F(AgentTest, JournalRecordsKindsArgumentsAndFailures) {
  merlin_ = LoadMerlin();
  ASSERT_TRUE(merlin_);
  DeleteFileW(journal_.c_str());
  merlin_.Method(L"SPEAK", {Var::Str(L"say \"hi\"\nnow \u00e9 \\")});
  merlin_.Method(L"PLAY", {Var::Str(L"Dance")});
  merlin_.Get(L"PLAY", {Var::Str(L"Dance")});
  merlin_.Put(L"LEFT", Var::Int(12));
  merlin_.Invoke(L"TOP", DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  merlin_.Method(L"MOVETO", {Var::Dbl(1.5), Var::Bool(false)});
  control_.InvokeId(999, DISPATCH_METHOD);
  const std::vector<std::wstring> expected = {
      L"Merlin.SPEAK method \"say \\\"hi\\\"\\nnow \u00e9 \\\\\"",
      L"Merlin.PLAY method \"Dance\" => DISP_E_EXCEPTION: The character \"Merlin\" has no animation \"Dance\".",
      L"Merlin.PLAY get \"Dance\" => DISP_E_MEMBERNOTFOUND",
      L"Merlin.LEFT put 12",
      L"Merlin.TOP method|get",
      L"Merlin.MOVETO method 1.5, false",
      L"Agent.#999 method => DISP_E_MEMBERNOTFOUND",
  };
  EXPECT_EQ(Journal(), expected);
  // The file is UTF-8.
  EXPECT_NE(ReadBytes(journal_).find("now \xC3\xA9"), std::string::npos);

  // Without AGENT_JOURNAL nothing is written.
  SetEnvironmentVariableW(L"AGENT_JOURNAL", nullptr);
  EXPECT_TRUE(merlin_.Method(L"PLAY", {Var::Str(L"Blink")}).ok());
  EXPECT_TRUE(merlin_.Get(L"NAME").ok());
  EXPECT_EQ(Journal().size(), expected.size());
}

}  // namespace
}  // namespace agenttest
