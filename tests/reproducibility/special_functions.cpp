// The special functions on grids over their arguments (both paths of gammq and of
// incomplete_beta included), then at random arguments, whose last bits catch what a grid of
// round numbers may not.
#include "families.h"
#include "input_sequence.h"
#include "numerics/statistics.h"

using namespace numerics;

void hash_log_gamma(OutputHash& out) {
  for (int k = 1; k <= 200 * 64; ++k) out.add(log_gamma(k * 0x1p-6));
  for (int k = 1; k <= 1000; ++k) out.add(log_gamma(k * 1000.0));
  InputSequence in(10);
  for (int i = 0; i < 20000; ++i) out.add(log_gamma(200.0 * in.unit_double() + 0x1p-20));
}

// a from 1/16 to 256, x from 0 to about 4a: the series below a + 1, the fraction above.
void hash_gammq(OutputHash& out) {
  for (int i = 0; i < 64; ++i) {
    const float a = static_cast<float>((i + 1) * (i + 1)) * 0.0625f;
    for (int j = 0; j < 64; ++j) {
      out.add(gammq(a, a * static_cast<float>(j) * 0.0625f));
      out.add(gammq(a, static_cast<float>(j) * 0.25f));
    }
  }
  InputSequence in(11);
  for (int i = 0; i < 10000; ++i) {
    const float a = in.between(0x1p-10f, 100.0f);
    out.add(gammq(a, in.between(0.0f, 2.0f) * a));
  }
}

void hash_incomplete_beta(OutputHash& out) {
  const float shapes[] = {0.25f, 0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 5.0f, 10.0f, 25.0f, 100.0f, 1000.0f};
  for (float a : shapes)
    for (float b : shapes)
      for (int k = 0; k <= 64; ++k) out.add(incomplete_beta(a, b, static_cast<float>(k) * 0x1p-6f));
  InputSequence in(12);
  for (int i = 0; i < 20000; ++i) {
    const float a = in.between(0x1p-10f, 64.0f), b = in.between(0x1p-10f, 64.0f);
    out.add(incomplete_beta(a, b, in.unit()));
  }
}

void hash_complementary_error_function(OutputHash& out) {
  for (int k = -12 * 512; k <= 12 * 512; ++k) out.add(complementary_error_function(static_cast<float>(k) * 0x1p-9f));
  InputSequence in(13);
  for (int i = 0; i < 100000; ++i) out.add(complementary_error_function(in.between(-10.0f, 10.0f)));
}

void hash_ks_probability(OutputHash& out) {
  for (int k = 0; k <= 1024; ++k) out.add(ks_probability(static_cast<float>(k) * 0x1p-8f));
  InputSequence in(14);
  for (int i = 0; i < 10000; ++i) out.add(ks_probability(in.between(0.0f, 3.0f)));
}
