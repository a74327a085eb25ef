// The object runtime's costs against plain C++ measured in the same run:
// message send, property access, event calls, object creation and the cycle
// collector.
#include <cstdio>
#include <memory>
#include <vector>

#include "bench/bench_util.h"
#include "framework/core/classbuilder.h"
#include "framework/core/component.h"
#include "framework/core/declare.h"

namespace {

using zv::Args;
using zv::Object;
using zv::Value;

// The C++ baseline: the same work through a virtual call.
struct Base {
  virtual ~Base() = default;
  virtual Value LeftValue() const = 0;
  virtual long long Left() const = 0;
  virtual void SetLeft(long long v) = 0;
  virtual long long Click(Base* sender) = 0;
};
struct Impl final : Base {
  Value leftValue = 0;
  Value LeftValue() const override { return leftValue; }
  long long left = 0;
  long long clicks = 0;
  long long Left() const override { return left; }
  void SetLeft(long long v) override { left = v; }
  long long Click(Base*) override { return ++clicks; }
};

zv::Class* BenchControl() {
  static zv::Class* c = [] {
    zv::QVClass b("TBenchControl", {zv::TComponentClass()});
    b.AddProperty({.name = "nLeft", .dflt = 0});
    b.AddProperty({.name = "nWidth", .dflt = 0, .setter = "SetWidth"});
    b.AddEvent("OnClick");
    b.Data("nClicks", 0);
    b.Method("SetWidth", [](Object& self, Args a) -> Value {
      self.Slot(a.method()->slot);  // touch
      return self.Send(ZV_SYM("_FnWidth"), a.Get(0));
    });
    b.Method("HandleClick", [](Object& self, Args) -> Value {
      Value& n = self.Slot(0);
      (void)n;
      return 1;
    });
    b.Method("Bind", [](Object& self, Args) -> Value { return self.Send(ZV_SYM("_OnClick"), "HandleClick"); });
    return b.Create();
  }();
  return c;
}

// A typed view of the bench class's two properties.
#define BENCH_CONTROL_MEMBERS(X) \
  X(PROPERTY, long long, nLeft)  \
  X(PROPERTY, long long, nWidth)

zv::Class* WideClass() {
  static zv::Class* c = [] {
    zv::QVClass b("TBenchWide", {zv::TComponentClass()});
    char name[32];
    for (int i = 0; i < 50; ++i) {
      std::snprintf(name, sizeof name, "nProp%02d", i);
      b.AddProperty({.name = name, .dflt = i});
    }
    for (int i = 0; i < 20; ++i) {
      std::snprintf(name, sizeof name, "OnEvent%02d", i);
      b.AddEvent(name);
    }
    return b.Create();
  }();
  return c;
}

zv::Class* NodeClass() {
  static zv::Class* c = [] {
    zv::ClassDecl d("TBenchNode", nullptr);
    d.AddData("oNext");
    return d.Finish();
  }();
  return c;
}

// Cost of one collection over `live` live objects (in chains held from
// outside) plus `cycles` garbage two-object cycles, per object examined.
double CollectNsPerObject(std::size_t live, std::size_t cycles) {
  std::vector<Value> roots;
  roots.reserve(live / 100 + 1);
  const zv::Symbol next("_oNext");
  for (std::size_t i = 0; i < live; i += 100) {
    Value head = Object::New(NodeClass());
    Value cur = head;
    for (std::size_t j = 1; j < 100 && i + j < live; ++j) {
      Value n = Object::New(NodeClass());
      cur.Send(next, n);
      cur = n;
    }
    roots.push_back(head);
  }
  for (std::size_t i = 0; i < cycles; ++i) {
    Value a = Object::New(NodeClass());
    Value b = Object::New(NodeClass());
    a.Send(next, b);
    b.Send(next, a);
  }
  auto t0 = std::chrono::steady_clock::now();
  zv::CollectStats s = zv::Collect();
  auto t1 = std::chrono::steady_clock::now();
  if (s.freed != cycles * 2) std::printf("  (unexpected: freed %zu)\n", s.freed);
  double ns = std::chrono::duration<double, std::nano>(t1 - t0).count();
  double perObject = ns / static_cast<double>(s.examined);
  roots.clear();
  return perObject;
}

}  // namespace

int main() {
  std::printf("Object runtime benchmark (ratios against the C++ virtual call)\n\n");
  const std::uint64_t n = 5'000'000;

  std::unique_ptr<Base> impl = std::make_unique<Impl>();
  Base* volatile target = impl.get();
  Value ctl = zv::NewObject(BenchControl());
  ctl.Send("Bind");
  const zv::Symbol getLeft("nLeft"), setWidth("_nWidth"), onClick("OnClick");
  constexpr int kRounds = 7;
  auto ns = [](std::uint64_t calls, auto body) { return [calls, body] { return bench::NsPerCall(calls, body); }; };
  auto virtualRaw = [&] { bench::Keep(target->Left()); };
  auto virtualGet = [&] { bench::Keep(target->LeftValue()); };
  auto virtualSet = [&] { target->SetLeft(7); };
  auto virtualClick = [&] { bench::Keep(target->Click(target)); };
  auto sendGet = [&] { bench::Keep(ctl.Send(getLeft)); };
  auto sendSet = [&] { bench::Keep(ctl.Send(setWidth, 7)); };
  auto sendEvent = [&] { bench::Keep(ctl.Send(onClick)); };
  auto sendByName = [&] { bench::Keep(ctl.Send("nLeft")); };
  auto sendConst = [&] { bench::Keep(ctl.Send(zv::sym::nLeft)); };
  // The framework's former way: a symbol cached in a static at the call site.
  auto sendStatic = [&] { bench::Keep(ctl.Send(ZV_SYM("nLeft"))); };
  struct BenchControlRef : zv::TComponentRef {
    ZV_VIEW_CLASS(BenchControlRef, zv::TComponentRef, BenchControl)
    ZV_VIEW_MEMBERS(BENCH_CONTROL_MEMBERS)
  };
  const BenchControlRef view(ctl);
  const zv::Symbol setLeft("_nLeft");
  auto sendPut = [&] { bench::Keep(ctl.Send(setLeft, 7)); };
  auto viewGet = [&] { bench::Keep(view.nLeft()); };
  auto viewPut = [&] { view.nLeft(7); };

  bench::Report("C++ virtual call returning the property's Value", "C++ virtual call returning a long long",
                bench::Alternate(kRounds, ns(n, virtualGet), ns(n, virtualRaw)));
  const bench::Comparison cached = bench::Alternate(kRounds, ns(n, virtualGet), ns(n, sendGet));
  bench::Report("C++ virtual call returning the property's Value", "send nLeft, generic getter (cached symbol)",
                cached);
  bench::Report("send nLeft, generic getter (cached symbol)", "send nLeft, name interned at the call",
                bench::Alternate(kRounds, ns(n, sendGet), ns(n, sendByName)));
  std::printf("  (goal: within 2x)\n");
  // A symbol in a local variable stays in a register; a symbol constant, as
  // a symbol cached in a static, is read from memory at each send.
  bench::Report("send nLeft, symbol in a local variable", "send zv::sym::nLeft (symbol constant)",
                bench::Alternate(kRounds, ns(n, sendGet), ns(n, sendConst)));
  bench::Report("send nLeft, symbol cached in a static (ZV_SYM)", "send zv::sym::nLeft (symbol constant)",
                bench::Alternate(kRounds, ns(n, sendStatic), ns(n, sendConst)));
  std::printf("  (goal: within 1.1x)\n");
  bench::Report("send nLeft, symbol cached in a static (ZV_SYM)", "typed view: nLeft() read as long long",
                bench::Alternate(kRounds, ns(n, sendStatic), ns(n, viewGet)));
  std::printf("  (goal: within 1.1x)\n");
  bench::Report("send _nLeft 7, generic setter (cached symbol)", "typed view: nLeft(7)",
                bench::Alternate(kRounds, ns(n, sendPut), ns(n, viewPut)));
  std::printf("  (goal: within 1.1x)\n");
  bench::Report("C++ virtual call (setter)", "send _nWidth, custom setter by method name",
                bench::Alternate(kRounds, ns(n, virtualSet), ns(n, sendSet)));
  bench::Report("C++ virtual call (click handler)", "fire OnClick bound to a method name",
                bench::Alternate(kRounds, ns(n, virtualClick), ns(n, sendEvent)));

  auto makeCpp = [&] { bench::Keep(std::make_unique<Impl>()); };
  auto make = [&] { bench::Keep(Object::New(WideClass())); };
  std::printf("\n");
  bench::Report("new C++ object (baseline)", "new object, 50 properties + 20 events",
                bench::Alternate(kRounds, ns(200'000, makeCpp), ns(200'000, make)));
  std::printf("  (%u slots per object; goal: under 2000 ns)\n", WideClass()->InstanceSize());

  std::printf("\nCycle collection, cost per object examined (goal: flat, i.e. linear time)\n");
  for (std::size_t live : {10'000u, 100'000u, 1'000'000u}) {
    double per = CollectNsPerObject(live, live / 10);
    std::printf("  %8zu live objects + %7zu garbage cycles: %6.2f ns/object\n", live, live / 10, per);
  }
  return 0;
}
