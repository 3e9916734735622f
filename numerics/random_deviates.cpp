#include <limits.h>

#include "numerics/detail/polar_factor.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

const int multiplier = 16807;
const int modulus = 2147483647;
const int schrage_quotient = 127773;  // modulus / multiplier
const int schrage_remainder = 2836;   // modulus % multiplier
const int table_size = 32;
const int warm_up_steps = 8;
const int table_divisor = 67108864;  // 1 + (modulus - 1) / table_size: entry to slot
const double output_scale = 4.656612875245797e-10;
const double output_ceiling = 0.99999988;
const float largest_output = 0.99999988f;  // 1 - 2^-23

// Process-wide generator state, zero at load.
int shuffle_table[table_size];
int shuffle_output = 0;  // 0: the table has not been filled yet
float spare_normal_deviate = 0.0f;
int spare_normal_ready = 0;

// seed = 16807 seed mod (2^31 - 1) by Schrage's factorisation. The seed is in 0..2^31 - 1
// here, so seed - k * 127773 lies in 0..127772 and no product leaves 32 bits.
void congruential_step(int* seed) {
  const int k = *seed / schrage_quotient;
  *seed = multiplier * (*seed - k * schrage_quotient) - schrage_remainder * k;
  if (*seed < 0) *seed += modulus;
}

// A negative seed starts from its magnitude; 0, a positive seed, and -2^31 (whose magnitude
// does not fit an int) start from 1.
void start_sequence(int* seed) {
  *seed = (*seed < 0 && *seed != INT_MIN) ? -*seed : 1;
  for (int j = table_size + warm_up_steps - 1; j >= 0; --j) {
    congruential_step(seed);
    if (j < table_size) shuffle_table[j] = *seed;
  }
  shuffle_output = shuffle_table[0];
}

}  // namespace

float uniform_deviate(int* seed) {
  if (*seed <= 0 || shuffle_output == 0) start_sequence(seed);
  congruential_step(seed);
  const int slot = shuffle_output / table_divisor;
  shuffle_output = shuffle_table[slot];
  shuffle_table[slot] = *seed;
  const float value = static_cast<float>(output_scale * shuffle_output);
  return static_cast<double>(value) > output_ceiling ? largest_output : value;
}

// Polar method: a point uniform in the unit disc gives two independent normal deviates.
float normal_deviate(int* seed) {
  if (spare_normal_ready) {
    spare_normal_ready = 0;
    return spare_normal_deviate;
  }
  float v1;
  float v2;
  float s;
  do {
    v1 = static_cast<float>(2.0 * uniform_deviate(seed) - 1.0);
    v2 = static_cast<float>(2.0 * uniform_deviate(seed) - 1.0);
    s = v1 * v1 + v2 * v2;
  } while (!(static_cast<double>(s) < 1.0 && static_cast<double>(s) != 0.0));
  const float factor = detail::polar_factor(s);
  spare_normal_deviate = v1 * factor;
  spare_normal_ready = 1;
  return v2 * factor;
}

}  // namespace numerics
