// What Microsoft's start-up objects give every module and Wine's import libraries do not: the
// bounds of the table of static constructors, the global operators new and delete, the vftable
// of type_info and the floating-point marker.
#include "runtime.h"

#include <stdlib.h>

typedef void(__cdecl* StaticConstructor)();

// Exported by ucrtbase.dll: calls every non-null function pointer in [first, last).
extern "C" __declspec(dllimport) void __cdecl _initterm(StaticConstructor* first, StaticConstructor* last);

// The compiler puts a pointer to each static constructor into the section .CRT$XCU; the linker
// orders the .CRT$XC* sections by name, so these two entries bracket them.
#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
__declspec(allocate(".CRT$XCA")) StaticConstructor constructors_begin[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) StaticConstructor constructors_end[] = {nullptr};

void run_static_constructors() { _initterm(constructors_begin, constructors_end); }

// Without a C++ library there is no std::bad_alloc to throw: running out of memory ends the
// process instead.
void* operator new(size_t size) {
  void* block = malloc(size != 0 ? size : 1);
  if (block == nullptr) abort();
  return block;
}

void operator delete(void* block) noexcept { free(block); }

void operator delete(void* block, size_t) noexcept { free(block); }

// The type information of every polymorphic class points at type_info's vftable. The compiler
// emits a class's vftable where it emits its constructor, hence the constructor.
class type_info {
 public:
  type_info();
  virtual ~type_info();
};

type_info::type_info() = default;
type_info::~type_info() = default;

// The compiler marks every object that uses floating point with a reference to this symbol.
extern "C" int _fltused = 0;
