// Under AddressSanitizer the heap must answer a refused request with null, as the C runtime
// does, so that the toolkit's own allocation-failure reports can be tested.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
