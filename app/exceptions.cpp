// libstdc++ raises its own errors (a string too long, an index out of range)
// through these functions, and its versions build std::length_error and the
// like, whose string copies pull some 50 KB of library into the exe. Here
// they raise the program's own error with a fixed text; the forms runtime
// reports it as it reports any other run-time error.

#include <cstdlib>  // also says which C++ library this is
#include <new>
#include <typeinfo>

#include "core/error.h"

#if defined(__GLIBCXX__)
// NOLINTBEGIN(bugprone-reserved-identifier): the library's own names, replaced on purpose
namespace std {

using talvorin::core::Error;
using talvorin::core::RangeError;

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_bad_cast() { throw std::bad_cast(); }
void __throw_bad_typeid() { throw std::bad_typeid(); }
void __throw_logic_error(const char*) { throw Error("Internal error"); }
void __throw_invalid_argument(const char*) { throw Error("Invalid procedure call or argument"); }
void __throw_length_error(const char*) { throw RangeError("Out of string space"); }
void __throw_out_of_range(const char*) { throw RangeError("Subscript out of range"); }
void __throw_out_of_range_fmt(const char*, ...) { throw RangeError("Subscript out of range"); }
void __throw_runtime_error(const char*) { throw Error("Internal error"); }
void __throw_overflow_error(const char*) { throw RangeError("Overflow"); }

}  // namespace std
// NOLINTEND(bugprone-reserved-identifier)
#endif
