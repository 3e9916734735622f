// Atomic access to the few process-wide values that threads share (the chosen vector path, the
// run-time error handler), without <atomic>: the toolkit uses the C runtime only. GCC and Clang
// (clang-cl included) have the __atomic builtins; Microsoft's compiler makes aligned volatile
// accesses of up to 8 bytes atomic on x86-64, with acquire loads and release stores (its
// default /volatile:ms), and has an interlocked exchange.
#ifndef NUMERICS_DETAIL_ATOMIC_ACCESS_H
#define NUMERICS_DETAIL_ATOMIC_ACCESS_H

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#include <string.h>
#endif

namespace numerics::detail {

// For a value that is read and written whole and orders nothing else.
template <typename T>
T load_relaxed(const T* p) {
#if defined(_MSC_VER) && !defined(__clang__)
  return *static_cast<const volatile T*>(p);
#else
  return __atomic_load_n(p, __ATOMIC_RELAXED);
#endif
}

template <typename T>
void store_relaxed(T* p, T value) {
#if defined(_MSC_VER) && !defined(__clang__)
  *static_cast<volatile T*>(p) = value;
#else
  __atomic_store_n(p, value, __ATOMIC_RELAXED);
#endif
}

// For a pointer published by one thread and used by another: the load sees everything the
// publishing thread wrote before its exchange.
template <typename T>
T load_acquire(const T* p) {
#if defined(_MSC_VER) && !defined(__clang__)
  return *static_cast<const volatile T*>(p);
#else
  return __atomic_load_n(p, __ATOMIC_ACQUIRE);
#endif
}

// Stores `value` and returns the value it replaces, in one step: release for the new value,
// acquire for the old one. For pointer-sized T.
template <typename T>
T exchange(T* p, T value) {
  static_assert(sizeof(T) == sizeof(long long), "exchange is for pointer-sized values");
#if defined(_MSC_VER) && !defined(__clang__)
  long long bits;
  memcpy(&bits, &value, sizeof bits);
  const long long old_bits = _InterlockedExchange64(reinterpret_cast<volatile long long*>(p), bits);
  T old;
  memcpy(&old, &old_bits, sizeof old);
  return old;
#else
  return __atomic_exchange_n(p, value, __ATOMIC_ACQ_REL);
#endif
}

}  // namespace numerics::detail

#endif
