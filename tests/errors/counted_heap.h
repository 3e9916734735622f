// The heap as the toolkit sees it in these tests: malloc and free are wrapped at link time
// (-Wl,--wrap), so that the tests can count the blocks the toolkit holds and make a chosen
// request fail as a heap that has run out would.
#ifndef TESTS_ERRORS_COUNTED_HEAP_H
#define TESTS_ERRORS_COUNTED_HEAP_H

namespace counted_heap {

// Blocks obtained through the wrapped malloc and not yet freed. Code in shared libraries
// (the C++ library on Linux) is not wrapped, so only differences over a stretch of toolkit
// calls mean anything.
long live_blocks();

// The request `skipped` requests from now (0: the next one) returns null; every other request
// is granted. refuse_none() cancels a refusal that has not happened yet. Counts requests made
// on every thread: use it where only one thread allocates.
void refuse_request(int skipped);
void refuse_none();

}  // namespace counted_heap

#endif
