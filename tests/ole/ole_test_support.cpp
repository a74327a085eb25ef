#include "ole_test_support.h"

#include <fstream>
#include <sstream>

namespace oletest {
namespace {

// OLE for the whole test program, as the application object does it.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override { OleUninitialize(); }
};

// Before anything of the run can write to it, the trace file holds a stale
// line: the first write of the run must truncate it.
const bool g_staleTrace = [] {
  std::ofstream("trace.log", std::ios::binary) << "STALE LINE FROM AN EARLIER RUN\n";
  ::testing::AddGlobalTestEnvironment(new OleEnvironment);
  return true;
}();

template <typename F>
F Export(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(Server::Module(), name)));
}

}  // namespace

HMODULE Server::Module() {
  static HMODULE module = [] {
    IDispatch* d = nullptr;
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(L"ZorvanTest.Server", &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&d)))) {
      d->Release();
    }
    return GetModuleHandleA("zorvan_test_server.dll");
  }();
  return module;
}

long Server::Live() { return Export<long (*)()>("ZtsLiveObjects")(); }
long Server::Refs() { return Export<long (*)()>("ZtsOutstandingRefs")(); }
long Server::RefErrors() { return Export<long (*)()>("ZtsRefErrors")(); }
void Server::SetLogging(bool on) { Export<void (*)(int)>("ZtsSetLogging")(on ? 1 : 0); }
IDispatch* Server::NewRaw() { return Export<IDispatch* (*)()>("ZtsNewServer")(); }

std::vector<std::string> Server::TakeLog() {
  std::vector<char> buf(1 << 16);
  Export<int (*)(char*, int)>("ZtsTakeLog")(buf.data(), static_cast<int>(buf.size()));
  std::vector<std::string> lines;
  std::istringstream in(buf.data());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void OleTest::SetUp() {
  ASSERT_NE(Server::Module(), nullptr) << "the test server is not registered";
  Server::SetLogging(true);
  Server::TakeLog();
  live0_ = Server::Live();
  refs0_ = Server::Refs();
  errors0_ = Server::RefErrors();
}

void OleTest::TearDown() {
  zv::Collect();
  EXPECT_EQ(Server::Live(), live0_) << "server objects left alive";
  EXPECT_EQ(Server::Refs(), refs0_) << "references leaked or released too often";
  EXPECT_EQ(Server::RefErrors(), errors0_) << "references used on objects already gone";
}

std::string ReadTrace() {
  std::ifstream in("trace.log", std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace oletest
