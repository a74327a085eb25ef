// The cycle collector.
//
// Trial deletion: for every tracked container, start from its reference
// count and subtract the references that come from other tracked containers.
// A container whose count stays positive is referenced from outside (a C++
// variable, a global, a call frame) and is alive, together with everything
// it reaches; the rest is garbage. Garbage is first finalized (class
// destructors run while every container is still intact), then its
// references are cleared, which lets the counts fall to zero in the ordinary
// way. Each phase is one pass over the containers and their references.
#include "runtime/heap.h"

#include <vector>

namespace zv {

namespace {

enum : std::uint8_t {
  kReachable = 1,
  kDying = 2,     // being disposed: releases during finalization must not dispose again
  kFinalized = 4,
};

// The list of tracked containers (a sentinel-headed ring).
struct Ring {
  GcObject* head = nullptr;
  std::size_t count = 0;
  std::size_t madeSinceCollect = 0;
};

Ring& ring() {
  static Ring r;
  return r;
}

}  // namespace

struct Collector {
  static void Link(GcObject* o) {
    Ring& r = ring();
    o->prev_ = nullptr;
    o->next_ = r.head;
    if (r.head) r.head->prev_ = o;
    r.head = o;
    ++r.count;
    ++r.madeSinceCollect;
  }
  static void Unlink(GcObject* o) {
    Ring& r = ring();
    if (o->prev_) o->prev_->next_ = o->next_;
    else if (r.head == o) r.head = o->next_;
    if (o->next_) o->next_->prev_ = o->prev_;
    o->prev_ = o->next_ = nullptr;
    --r.count;
  }

  static CollectStats Run() {
    CollectStats stats;
    Ring& r = ring();
    r.madeSinceCollect = 0;
    // 1. Copy the counts.
    for (GcObject* o = r.head; o; o = o->next_) {
      o->gcRefs_ = o->refs_;
      o->gcFlags_ &= static_cast<std::uint8_t>(~kReachable);
      ++stats.examined;
    }
    // 2. Subtract internal references.
    GcVisitor subtract{[](GcObject* t, void*) { --t->gcRefs_; }, nullptr};
    for (GcObject* o = r.head; o; o = o->next_) o->Traverse(subtract);
    // 3. Mark everything reachable from outside.
    std::vector<GcObject*> stack;
    GcVisitor mark{[](GcObject* t, void* ctx) {
                     if (!(t->gcFlags_ & kReachable)) {
                       t->gcFlags_ |= kReachable;
                       static_cast<std::vector<GcObject*>*>(ctx)->push_back(t);
                     }
                   },
                   &stack};
    for (GcObject* o = r.head; o; o = o->next_) {
      if (o->gcRefs_ > 0 && !(o->gcFlags_ & kReachable)) {
        o->gcFlags_ |= kReachable;
        stack.push_back(o);
        while (!stack.empty()) {
          GcObject* cur = stack.back();
          stack.pop_back();
          cur->Traverse(mark);
        }
      }
    }
    // 4. The rest is garbage. Hold it so nothing is freed while it is broken up.
    std::vector<GcObject*> garbage;
    for (GcObject* o = r.head; o; o = o->next_)
      if (!(o->gcFlags_ & kReachable) && !(o->gcFlags_ & kDying)) garbage.push_back(o);
    for (GcObject* o : garbage) o->Retain();
    for (GcObject* o : garbage) {
      if (!(o->gcFlags_ & kFinalized)) {
        o->gcFlags_ |= kFinalized;
        o->Finalize();
      }
    }
    for (GcObject* o : garbage) o->ClearRefs();
    stats.freed = garbage.size();
    for (GcObject* o : garbage) o->Release();
    return stats;
  }
};

GcObject::GcObject() noexcept : HeapObj(true) { Collector::Link(this); }

GcObject::~GcObject() { Collector::Unlink(this); }

std::size_t GcObject::LiveCount() noexcept { return ring().count; }

void GcObject::Dispose() noexcept {
  if (gcFlags_ & kDying) return;
  gcFlags_ |= kDying;
  if (!(gcFlags_ & kFinalized)) {
    gcFlags_ |= kFinalized;
    refs_ = 1;  // the finalizer may pass the object around; it must not be disposed meanwhile
    Finalize();
    if (--refs_ != 0) {
      // Resurrected: someone kept a reference. It lives on, finalized.
      gcFlags_ &= static_cast<std::uint8_t>(~kDying);
      return;
    }
  }
  ClearRefs();
  delete this;
}

CollectStats Collect() { return Collector::Run(); }

CollectStats CollectIfNeeded() {
  const Ring& r = ring();
  const std::size_t threshold = r.count / 4 > 1000 ? r.count / 4 : 1000;
  if (r.madeSinceCollect < threshold) return {};
  return Collector::Run();
}

}  // namespace zv
