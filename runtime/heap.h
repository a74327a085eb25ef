// Reference-counted heap cells of the runtime and the cycle collector.
//
// Every value that lives on the heap (strings, lists, maps, callables,
// objects, by-reference cells) carries an intrusive reference count and is
// freed when the count falls to zero. Containers, which can form cycles (a
// form and its controls point at each other), are additionally tracked by
// the collector: Collect() finds the containers that are referenced only from
// other containers, runs their finalizers, breaks their references and frees
// them. It runs only when asked (the message loop asks at idle time).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv {

class GcObject;

// Receives the outgoing references of a container during a collection.
struct GcVisitor {
  void (*fn)(GcObject* target, void* ctx);
  void* ctx;
  void operator()(GcObject* target) const { fn(target, ctx); }
};

class HeapObj {
 public:
  HeapObj(const HeapObj&) = delete;
  HeapObj& operator=(const HeapObj&) = delete;

  void Retain() noexcept { ++refs_; }
  void Release() noexcept {
    if (--refs_ == 0) Dispose();
  }
  std::uint32_t RefCount() const noexcept { return refs_; }
  bool IsTracked() const noexcept { return tracked_; }

 protected:
  explicit HeapObj(bool tracked) noexcept : tracked_(tracked) {}
  virtual ~HeapObj() = default;
  // Called when the count reaches zero.
  virtual void Dispose() noexcept { delete this; }

  std::uint32_t refs_ = 0;
  bool tracked_;
  friend class GcObject;
};

class GcObject : public HeapObj {
 public:
  // Number of containers currently alive.
  static std::size_t LiveCount() noexcept;

 protected:
  GcObject() noexcept;
  ~GcObject() override;

  // Reports every container this one references.
  virtual void Traverse(const GcVisitor& visit) = 0;
  // Drops every reference this one holds (to break a cycle).
  virtual void ClearRefs() noexcept = 0;
  // Work to do once before the container goes away (objects run their class
  // destructors here). It may still use the container's references.
  virtual void Finalize() noexcept {}

  void Dispose() noexcept override;

 private:
  friend struct Collector;
  GcObject* prev_ = nullptr;
  GcObject* next_ = nullptr;
  std::int64_t gcRefs_ = 0;
  std::uint8_t gcFlags_ = 0;
};

struct CollectStats {
  std::size_t examined = 0;  // containers looked at
  std::size_t freed = 0;     // garbage containers released
};

// Releases every container that is reachable only from other unreachable
// containers. Never frees a container referenced from outside the tracked
// set (C++ variables, globals, the call stack).
CollectStats Collect();
// Collects only when enough containers were made since the last collection
// (a quarter of the live ones, at least 1000), so that calling it at every
// idle moment costs, over time, a constant share of the allocation work.
CollectStats CollectIfNeeded();

}  // namespace zv
