// The table of window-message handler names.
#pragma once

#include <cstddef>

namespace zv {

struct MessageName {
  unsigned message;
  const char* handler;
};

extern const MessageName kMessageNames[];
extern const std::size_t kMessageNameCount;

// The framework's private message and the size of the handler table
// (messages 0 to WM_USER + 1).
constexpr unsigned WM_ZORVAN = 0x0401;
constexpr unsigned kHandlerTableSize = 1026;

}  // namespace zv
