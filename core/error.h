#pragma once
// The program's run-time error: a fixed text, nothing copied. The standard
// library's error classes carry strings of their own, and constructing one
// pulls some 50 KB of library into a statically linked exe.

#include <exception>

namespace talvorin::core {

class Error : public std::exception {
 public:
  explicit Error(const char* what) noexcept : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

// A value out of the range an operation takes.
class RangeError : public Error {
 public:
  using Error::Error;
};

}  // namespace talvorin::core
