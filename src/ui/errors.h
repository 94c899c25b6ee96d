// The class library's error types: EInvalidOperation (an operation the object's state does not
// allow) and EOSError (a platform call failed; carries the platform's error code).
#pragma once

#include <cstdint>
#include <string>

#include "rtl/exceptions.h"

namespace ui {

class EInvalidOperation : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

class EOSError : public rtl::Exception {
 public:
  EOSError(const std::string& message, std::uint32_t errorCode)
      : rtl::Exception(message), errorCode_(errorCode) {}
  std::uint32_t ErrorCode() const { return errorCode_; }

 private:
  std::uint32_t errorCode_;
};

}  // namespace ui
