// Captures the run-time errors raised while it lives, answering each with a
// fixed value (absent: the default result), and puts the previous handler
// back when it goes.
#pragma once

#include <vector>

#include "runtime/runtime.h"

namespace zvtest {

class ErrorTrap {
 public:
  explicit ErrorTrap(zv::Value answer = zv::Value()) {
    previous_ = zv::SetErrorHandler([this, answer](const zv::Value& e) {
      errors.push_back(e);
      return answer;
    });
  }
  ~ErrorTrap() { zv::SetErrorHandler(previous_); }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;

  std::vector<zv::Value> errors;
  zv::Value field(std::size_t i, zv::ErrorField f) const { return zv::ErrorSlot(errors.at(i), f); }

 private:
  zv::ErrorHandler previous_;
};

}  // namespace zvtest
