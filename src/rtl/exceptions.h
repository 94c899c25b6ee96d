// Exceptions of the runtime: the general one with a fixed text, and the one type that every
// host I/O failure (a file that cannot be opened, created, read, written or renamed) raises.
#pragma once

#include <stdexcept>
#include <string>

namespace rtl {

// General exception; the message is UTF-8 text.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A host file or stream failed. The application's default handler shows the message.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace rtl
