// The random deviates: 10^5 of each from fixed seeds, and the restarts of the uniform sequence.
#include "families.h"
#include "numerics/statistics.h"

using namespace numerics;

void hash_uniform_deviate(OutputHash& out) {
  const int seeds[] = {-1, -2, -123456789, -2147483646};
  for (int start : seeds) {
    int seed = start;
    for (int i = 0; i < 25000; ++i) out.add(uniform_deviate(&seed));
    out.add(static_cast<int32_t>(seed));
  }
}

void hash_normal_deviate(OutputHash& out) {
  int seed = -20240611;
  for (int i = 0; i < 100000; ++i) out.add(normal_deviate(&seed));
  out.add(static_cast<int32_t>(seed));
}
