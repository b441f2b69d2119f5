// The program's global allocation functions.
//
// Every allocation of the program asks for a null result on failure
// (new (std::nothrow)) and nothing throws, so the program needs none of the
// C++ exception machinery. Replacing the library's allocation functions with
// these plain ones keeps that machinery (and the thread library it brings)
// out of the executable, which shrinks it by more than half.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

// Plain new is not used by the program; should anything call it, running out
// of memory ends the process as an uncaught exception would.
void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1))
        return p;
    std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
