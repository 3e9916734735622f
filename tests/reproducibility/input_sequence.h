// The program's inputs: a fixed pseudo-random sequence (splitmix64) turned into numbers by
// integer arithmetic and scaling by powers of two, which are exact, so every build starts from
// the same bits. Each family seeds its own sequence, so families do not shift one another.
#ifndef REPRODUCIBILITY_INPUT_SEQUENCE_H
#define REPRODUCIBILITY_INPUT_SEQUENCE_H

#include <stdint.h>

class InputSequence {
 public:
  explicit InputSequence(uint64_t seed) : state_(seed) {}

  uint64_t bits();
  // A multiple of 2^-24 in [0, 1).
  float unit();
  // low + (high - low) * unit(), each step rounded in float.
  float between(float low, float high);
  // An integer in [0, count).
  uint32_t below(uint32_t count);
  // A multiple of 2^-53 in [0, 1).
  double unit_double();
  // Any bit pattern of the format: NaNs, infinities, subnormals and zeros included.
  float any_float();
  double any_double();

  // values[first..last] = between(low, high), in index order.
  void fill(float values[], long first, long last, float low, float high);

 private:
  uint64_t state_;
};

#endif
