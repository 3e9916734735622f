// The hash of one family's output bits: 64-bit FNV-1a over the bytes of every value in the order
// they are added, least significant byte first, so that it names the bits themselves. Every NaN
// is hashed as the one quiet NaN of its format: which NaN an operation returns (sign and
// payload) may differ between compilers and is not part of what the builds must agree on.
#ifndef REPRODUCIBILITY_OUTPUT_HASH_H
#define REPRODUCIBILITY_OUTPUT_HASH_H

#include <stdint.h>

class OutputHash {
 public:
  void add(float value);
  void add(double value);
  void add(int32_t value);
  void add(uint32_t value);
  void add(uint16_t value);
  void add(bool value);
  // values[first..last], inclusive, as the toolkit's offset vectors are indexed.
  void add(const float values[], long first, long last);
  void add(const double values[], long first, long last);
  // rows [row_first..row_last] x columns [col_first..col_last] of a matrix, row after row.
  void add(float** m, long row_first, long row_last, long col_first, long col_last);

  uint64_t value() const { return state_; }

 private:
  void add_bytes(uint64_t bits, int byte_count);

  uint64_t state_ = 14695981039346656037u;
};

#endif
