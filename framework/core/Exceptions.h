#pragma once
// The framework's exception types. Messages are UTF-8; the application shows an exception that
// reaches its message loop in an error box (an EAbort silently ends the current action).
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that is not a number of the expected kind.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Ends the current action without an error box.
class EAbort : public Exception {
 public:
  EAbort() : Exception("") {}
};
