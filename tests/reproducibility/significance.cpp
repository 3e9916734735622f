// The significance levels over their statistics and degrees of freedom, their inverses over
// probabilities from 2^-20 to 1, and the Rayleigh quantile.
#include "families.h"
#include "numerics/statistics.h"

using namespace numerics;

namespace {

const unsigned counts[] = {1, 2, 3, 5, 10, 30, 100, 1000};

// Probabilities k / 64 for k = 1..63, then 2^-7 down to 2^-20.
template <typename Inverse>
void add_over_probabilities(OutputHash& out, Inverse inverse) {
  for (int k = 1; k < 64; ++k) out.add(inverse(static_cast<float>(k) * 0x1p-6f));
  for (float p = 0x1p-7f; p >= 0x1p-20f; p *= 0.5f) out.add(inverse(p));
}

}  // namespace

void hash_correlation_probability(OutputHash& out) {
  for (unsigned n : counts)
    for (int k = -128; k <= 128; ++k) out.add(correlation_probability(static_cast<float>(k) * 0x1p-7f, n));
}

void hash_t_probability(OutputHash& out) {
  for (unsigned df : counts)
    for (int k = -800; k <= 800; ++k) out.add(t_probability(static_cast<float>(k) * 0.0625f, df));
}

void hash_f_probability(OutputHash& out) {
  for (unsigned df1 : counts)
    for (unsigned df2 : counts)
      for (int k = 0; k <= 320; ++k) out.add(f_probability(static_cast<float>(k) * 0.0625f, df1, df2));
}

void hash_correlation_for_probability(OutputHash& out) {
  for (unsigned n : counts)
    if (n > 2) add_over_probabilities(out, [n](float p) { return correlation_for_probability(p, n); });
}

void hash_t_for_probability(OutputHash& out) {
  for (unsigned df : counts) add_over_probabilities(out, [df](float p) { return t_for_probability(p, df); });
}

void hash_f_for_probability(OutputHash& out) {
  for (unsigned df1 : counts)
    for (unsigned df2 : counts)
      add_over_probabilities(out, [df1, df2](float p) { return f_for_probability(p, df1, df2); });
}

// Over [0, 2] and a little beyond it at both ends.
void hash_rayleigh_quantile(OutputHash& out) {
  for (int k = -16; k <= 8192 + 16; ++k) out.add(rayleigh_quantile(static_cast<float>(k) * 0x1p-12f));
}
