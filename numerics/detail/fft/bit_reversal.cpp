#include "numerics/detail/fft/bit_reversal.h"

#include <stddef.h>

namespace numerics::detail::fft {
namespace {

// Tiles of 2^tile_bits x 2^tile_bits values: rows of 128 bytes, a pair of tiles within 4 KB.
constexpr int tile_bits = 4;

int log2_of(unsigned power_of_two) {
  int bits = 0;
  while ((1u << bits) < power_of_two) ++bits;
  return bits;
}

unsigned reversed(unsigned k, int bits) {
  unsigned r = 0;
  for (int b = 0; b < bits; ++b) r |= ((k >> b) & 1u) << (bits - 1 - b);
  return r;
}

void swap_values(float* data, size_t i, size_t j) {
  float* a = data + 2 * i;
  float* b = data + 2 * j;
  const float re = a[0];
  const float im = a[1];
  a[0] = b[0];
  a[1] = b[1];
  b[0] = re;
  b[1] = im;
}

// Steps through k in order with its mirror j = bit-reverse(k) kept by a reversed increment.
void bit_reverse_directly(float* data, unsigned values) {
  unsigned j = 0;
  for (unsigned k = 0; k < values; ++k) {
    if (j > k) swap_values(data, k, j);
    unsigned h = values >> 1;
    while (h >= 1 && (j & h)) {
      j ^= h;
      h >>= 1;
    }
    j |= h;
  }
}

// Index k = (a, m, c), with a the top and c the bottom tile_bits bits, goes to
// (rev c, rev m, rev a): the values of the tile of middle part m trade places with those of the
// tile of rev m, a row of one with a column of the other.
void bit_reverse_by_tiles(float* data, int bits) {
  const int middle_bits = bits - 2 * tile_bits;
  const unsigned side = 1u << tile_bits;
  unsigned reversed_side[1u << tile_bits];
  for (unsigned c = 0; c < side; ++c) reversed_side[c] = reversed(c, tile_bits);
  const int top_shift = bits - tile_bits;
  for (unsigned m = 0; m < (1u << middle_bits); ++m) {
    const unsigned mirror = reversed(m, middle_bits);
    if (mirror < m) continue;
    for (unsigned a = 0; a < side; ++a) {
      for (unsigned c = 0; c < side; ++c) {
        const size_t i = (static_cast<size_t>(a) << top_shift) | (m << tile_bits) | c;
        const size_t j =
            (static_cast<size_t>(reversed_side[c]) << top_shift) | (mirror << tile_bits) | reversed_side[a];
        if (m != mirror || i < j) swap_values(data, i, j);
      }
    }
  }
}

void swap_runs(float* data, size_t i, size_t j, unsigned run) {
  for (unsigned u = 0; u < run; ++u) swap_values(data, i + u, j + u);
}

}  // namespace

void bit_reverse(float* data, unsigned values) {
  const int bits = log2_of(values);
  if (bits >= 2 * tile_bits + 2)
    bit_reverse_by_tiles(data, bits);
  else
    bit_reverse_directly(data, values);
}

void bit_reverse_runs(float* data, unsigned length, unsigned run, unsigned repeats) {
  if (run == 1) {
    for (unsigned r = 0; r < repeats; ++r) bit_reverse(data + 2 * static_cast<size_t>(r) * length, length);
    return;
  }
  const int bits = log2_of(length);
  const size_t block = static_cast<size_t>(length) * run;
  for (unsigned r = 0; r < repeats; ++r) {
    for (unsigned q = 0; q < length; ++q) {
      const unsigned mirror = reversed(q, bits);
      if (mirror > q)
        swap_runs(data, r * block + static_cast<size_t>(q) * run, r * block + static_cast<size_t>(mirror) * run, run);
    }
  }
}

}  // namespace numerics::detail::fft
