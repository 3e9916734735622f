#include "numerics/detail/cpu_dispatch.h"

#include "numerics/detail/atomic_access.h"

#if defined(_MSC_VER)
#include <intrin.h>
#else
#include <cpuid.h>
#endif

namespace numerics::detail {
namespace {

struct cpuid_registers {
  unsigned eax, ebx, ecx, edx;
};

cpuid_registers cpuid(unsigned leaf, unsigned subleaf) {
  cpuid_registers r{};
#if defined(_MSC_VER)
  int values[4];
  __cpuidex(values, static_cast<int>(leaf), static_cast<int>(subleaf));
  r = {static_cast<unsigned>(values[0]), static_cast<unsigned>(values[1]), static_cast<unsigned>(values[2]),
       static_cast<unsigned>(values[3])};
#else
  if (__get_cpuid_max(0, nullptr) >= leaf) __cpuid_count(leaf, subleaf, r.eax, r.ebx, r.ecx, r.edx);
#endif
  return r;
}

// The register states the operating system saves (XCR0); only valid when OSXSAVE is set.
unsigned long long enabled_register_states() {
#if defined(_MSC_VER) && !defined(__clang__)
  return _xgetbv(0);
#else
  unsigned eax, edx;
  __asm__("xgetbv" : "=a"(eax), "=d"(edx) : "c"(0));
  return (static_cast<unsigned long long>(edx) << 32) | eax;
#endif
}

bool bit(unsigned value, int n) { return (value >> n) & 1u; }

vector_path detect() {
  const cpuid_registers features = cpuid(1, 0);
  if (!bit(features.ecx, 27) || !bit(features.ecx, 28)) return vector_path::sse2;  // OSXSAVE, AVX
  const unsigned long long states = enabled_register_states();
  if ((states & 0x6) != 0x6) return vector_path::sse2;  // SSE and AVX state
  const cpuid_registers extended = cpuid(7, 0);
  if (!bit(extended.ebx, 5)) return vector_path::sse2;  // AVX2
  const bool avx512 = bit(extended.ebx, 16) && bit(extended.ebx, 17) && bit(extended.ebx, 30) &&
                      bit(extended.ebx, 31);                          // F, DQ, BW, VL
  if (avx512 && (states & 0xe6) == 0xe6) return vector_path::avx512;  // opmask and ZMM state
  return vector_path::avx2;
}

// Written once by detection (every thread writes the same value) or by a test; read on every
// dispatch. Atomic access keeps the concurrent first calls free of a data race.
int chosen_path = -1;

}  // namespace

vector_path supported_vector_path() {
  static_assert(sizeof(void*) == 8, "the vector paths are written for x86-64");
  return detect();
}

vector_path active_vector_path() {
  int path = load_relaxed(&chosen_path);
  if (path < 0) {
    path = static_cast<int>(detect());
    store_relaxed(&chosen_path, path);
  }
  return static_cast<vector_path>(path);
}

bool force_vector_path(vector_path path) {
  if (static_cast<int>(path) > static_cast<int>(supported_vector_path())) return false;
  store_relaxed(&chosen_path, static_cast<int>(path));
  return true;
}

}  // namespace numerics::detail
