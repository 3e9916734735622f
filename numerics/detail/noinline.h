// NUMERICS_NOINLINE keeps a rarely taken path out of its caller, so that the caller's common
// path needs no stack frame and fewer registers.
#ifndef NUMERICS_DETAIL_NOINLINE_H
#define NUMERICS_DETAIL_NOINLINE_H

#if defined(_MSC_VER)
#define NUMERICS_NOINLINE __declspec(noinline)
#else
#define NUMERICS_NOINLINE __attribute__((noinline))
#endif

#endif
