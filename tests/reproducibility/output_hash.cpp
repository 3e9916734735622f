#include "output_hash.h"

#include <string.h>

void OutputHash::add_bytes(uint64_t bits, int byte_count) {
  for (int i = 0; i < byte_count; ++i) {
    state_ ^= (bits >> (8 * i)) & 0xff;
    state_ *= 1099511628211u;
  }
}

void OutputHash::add(float value) {
  uint32_t bits = 0x7fc00000;
  if (value == value) memcpy(&bits, &value, sizeof bits);
  add_bytes(bits, 4);
}

void OutputHash::add(double value) {
  uint64_t bits = 0x7ff8000000000000;
  if (value == value) memcpy(&bits, &value, sizeof bits);
  add_bytes(bits, 8);
}

void OutputHash::add(int32_t value) { add_bytes(static_cast<uint32_t>(value), 4); }
void OutputHash::add(uint32_t value) { add_bytes(value, 4); }
void OutputHash::add(uint16_t value) { add_bytes(value, 2); }
void OutputHash::add(bool value) { add_bytes(value ? 1 : 0, 1); }

void OutputHash::add(const float values[], long first, long last) {
  for (long i = first; i <= last; ++i) add(values[i]);
}

void OutputHash::add(const double values[], long first, long last) {
  for (long i = first; i <= last; ++i) add(values[i]);
}

void OutputHash::add(float** m, long row_first, long row_last, long col_first, long col_last) {
  for (long i = row_first; i <= row_last; ++i) add(m[i], col_first, col_last);
}
