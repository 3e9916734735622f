#include <math.h>

#include "numerics/sorting.h"
#include "numerics/statistics.h"

namespace numerics {

// Walks both sorted samples in step. Every value equal to the current one is taken from both
// samples before the two distribution functions are compared, so values the samples share
// count as one jump of each function; within one sample, equal values only make intermediate
// points whose distance never exceeds that of the points around them.
void ks_two_sample_statistic(float data1[], unsigned n1, float data2[], unsigned n2, float* d) {
  sort(n1, data1);
  sort(n2, data2);
  const float count1 = static_cast<float>(n1);
  const float count2 = static_cast<float>(n2);
  unsigned i = 1;
  unsigned j = 1;
  float f1 = 0.0f;
  float f2 = 0.0f;
  float distance = 0.0f;
  while (i <= n1 && j <= n2) {
    const float a = data1[i];
    const float b = data2[j];
    if (!(a <= b) && !(b <= a)) break;  // NaN: nothing can be taken in order
    const float current = a <= b ? a : b;
    for (; i <= n1 && data1[i] == current; ++i) f1 = static_cast<float>(i) / count1;
    for (; j <= n2 && data2[j] == current; ++j) f2 = static_cast<float>(j) / count2;
    const float gap = fabsf(f2 - f1);
    if (gap > distance) distance = gap;
  }
  *d = distance;
}

}  // namespace numerics
