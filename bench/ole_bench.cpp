// A late-bound call through TOleAuto against the same call made directly
// from C++ with GetIDsOfNames + Invoke, both on the in-process test server
// ("ZorvanTest.Server", registered in the prefix), measured in the same run.
#include <windows.h>
#include <oaidl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_util.h"
#include "framework/ole/oleauto.h"
#include "framework/ole/olevariant.h"

namespace {

constexpr std::uint64_t kCalls = 50000;
constexpr int kRounds = 9;

// The machine is shared: the two sides are measured in alternating rounds,
// and both the best times and the medians of the rounds are shown.
template <typename B, typename L>
bench::Comparison Compare(B&& base, L&& late) {
  return bench::Alternate(
      kRounds, [&] { return bench::NsPerCall(kCalls, base); }, [&] { return bench::NsPerCall(kCalls, late); });
}

// The direct call: what a C++ client without the framework writes.
LONG DirectAdd(IDispatch* d, LONG a, LONG b) {
  wchar_t name[] = L"Add";
  LPOLESTR names[1] = {name};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return -1;
  VARIANT args[2];
  args[0].vt = VT_I4;  // the last argument first
  args[0].lVal = b;
  args[1].vt = VT_I4;
  args[1].lVal = a;
  DISPPARAMS params = {args, nullptr, 2, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info = {};
  UINT argError = 0;
  if (FAILED(d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, &result, &info, &argError)))
    return -1;
  const LONG r = result.lVal;
  VariantClear(&result);
  return r;
}

std::size_t DirectEcho(IDispatch* d, const wchar_t* text) {
  wchar_t name[] = L"Echo";
  LPOLESTR names[1] = {name};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return 0;
  VARIANT arg;
  arg.vt = VT_BSTR;
  arg.bstrVal = SysAllocString(text);
  DISPPARAMS params = {&arg, nullptr, 1, 0};
  VARIANT result;
  VariantInit(&result);
  EXCEPINFO info = {};
  UINT argError = 0;
  std::size_t n = 0;
  if (SUCCEEDED(d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, &result, &info, &argError)))
    n = SysStringLen(result.bstrVal);
  VariantClear(&arg);
  VariantClear(&result);
  return n;
}

}  // namespace

int main() {
  if (FAILED(OleInitialize(nullptr))) {
    std::fprintf(stderr, "OleInitialize failed\n");
    return 1;
  }
  zv::Value server = zv::CreateObject("ZorvanTest.Server");
  IDispatch* d = zv::OleDispatchOf(server);
  if (!d) {
    std::fprintf(stderr,
                 "ZorvanTest.Server is not registered in this prefix: run\n"
                 "  cmake/wine-session.sh register BUILD_DIR BUILD_DIR/tests/ole/zorvan_test_server.dll\n");
    return 1;
  }
  // The server's call log would cost both sides alike: turn it off.
  if (HMODULE m = GetModuleHandleA("zorvan_test_server.dll"))
    if (auto off = reinterpret_cast<void (*)(int)>(reinterpret_cast<void*>(GetProcAddress(m, "ZtsSetLogging"))))
      off(0);

  const zv::Symbol add("Add");
  const zv::Symbol echo("Echo");
  if (server.Send(add, 2, 3).AsInt() != 5 || DirectAdd(d, 2, 3) != 5) {
    std::fprintf(stderr, "the calls do not answer 5\n");
    return 1;
  }

  std::printf("OLE automation, in-process server: %d alternating rounds of %llu calls (best of 5 runs each)\n",
              kRounds, static_cast<unsigned long long>(kCalls));
  const bench::Comparison a = Compare([&] { bench::Keep(DirectAdd(d, 2, 3)); },
                         [&] { bench::Keep(server.Send(add, 2, 3).AsInt()); });
  bench::Row("Add(2, 3): GetIDsOfNames + Invoke from C++ (baseline)", a.baseBest, a.baseBest);
  bench::Row("Add(2, 3): late-bound through TOleAuto", a.candBest, a.baseBest);

  const zv::Value text("automation");
  const bench::Comparison e = Compare([&] { bench::Keep(DirectEcho(d, L"automation")); },
                         [&] { bench::Keep(server.Send(echo, text).Len()); });
  bench::Row("Echo(\"automation\"): GetIDsOfNames + Invoke from C++", e.baseBest, e.baseBest);
  bench::Row("Echo(\"automation\"): late-bound through TOleAuto", e.candBest, e.baseBest);

  std::printf("ratio late-bound / direct, best times: Add %.2fx, Echo %.2fx (goal: within 1.50x)\n",
              a.BestRatio(), e.BestRatio());
  std::printf("ratio late-bound / direct, medians of the rounds: Add %.2fx, Echo %.2fx\n",
              a.MedianRatio(), e.MedianRatio());
  server = zv::Value();
  OleUninitialize();
  return 0;
}
