// libstdc++'s default std::terminate handler names the exception on standard
// error, which a GUI program does not have, and pulls the whole C++
// demangler into the exe for it: about a quarter of the exe's size. The
// forms runtime reports every run-time error before one could get this far,
// so all that is left to do here is to end.

#include <cstdlib>  // also says which C++ library this is

#if defined(__GLIBCXX__)
namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }  // NOLINT(bugprone-reserved-identifier): replaced on purpose

}  // namespace __gnu_cxx
#endif
