// Release builds only. An exception that escapes a function of this library (the exports are
// noexcept, so that ends in std::terminate) aborts the process at once instead of first printing
// the exception's demangled type to stderr, which no window of a GUI host shows. Defining the
// handler here keeps libstdc++'s verbose handler, and the demangler it needs (about 46 KB of the
// i686 DLL), out of the release DLL. The developer build keeps the verbose handler for the tests.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
