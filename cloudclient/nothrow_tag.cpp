// The SOAP engine is linked in from Debian's static runtime, which is built
// without -fPIC. Its one reference to libstdc++ data, the std::nothrow tag it
// passes to operator new, cannot be bound to libstdc++.so from inside a
// shared library; the link points that symbol at this local tag instead
// (--defsym in CMakeLists.txt). The tag has no contents: operator new only
// looks at its type.
#include <new>

extern "C" __attribute__((visibility("hidden"))) const std::nothrow_t skelvin_nothrow_tag{};
