#include "input_sequence.h"

#include <string.h>

uint64_t InputSequence::bits() {
  state_ += 0x9e3779b97f4a7c15u;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
  return z ^ (z >> 31);
}

float InputSequence::unit() { return static_cast<float>(bits() >> 40) * 0x1p-24f; }

float InputSequence::between(float low, float high) { return low + (high - low) * unit(); }

uint32_t InputSequence::below(uint32_t count) { return static_cast<uint32_t>((bits() >> 32) % count); }

double InputSequence::unit_double() { return static_cast<double>(bits() >> 11) * 0x1p-53; }

float InputSequence::any_float() {
  const uint32_t pattern = static_cast<uint32_t>(bits() >> 32);
  float value;
  memcpy(&value, &pattern, sizeof value);
  return value;
}

double InputSequence::any_double() {
  const uint64_t pattern = bits();
  double value;
  memcpy(&value, &pattern, sizeof value);
  return value;
}

void InputSequence::fill(float values[], long first, long last, float low, float high) {
  for (long i = first; i <= last; ++i) values[i] = between(low, high);
}
