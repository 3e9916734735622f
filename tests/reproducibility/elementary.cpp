// The elementary functions on grids over the ranges the toolkit uses and beyond (underflow,
// subnormal results, overflow, huge arguments), on arbitrary bit patterns, and on special values.
#include <float.h>
#include <math.h>

#include "families.h"
#include "input_sequence.h"
#include "numerics/elementary.h"

using namespace numerics;

namespace {

// f at low, low + step, ..., high; step a power of two, so every point is exact.
template <typename Real>
void add_grid(OutputHash& out, Real (*f)(Real), Real low, Real high, Real step) {
  const long count = static_cast<long>((high - low) / step);
  for (long k = 0; k <= count; ++k) out.add(f(low + static_cast<Real>(k) * step));
}

// f at `count` arbitrary bit patterns, then at `count` arguments spread evenly over [low, high).
void add_random(OutputHash& out, double (*f)(double), uint64_t seed, int count, double low, double high) {
  InputSequence in(seed);
  for (int i = 0; i < count; ++i) out.add(f(in.any_double()));
  for (int i = 0; i < count; ++i) out.add(f(low + (high - low) * in.unit_double()));
}

void add_random(OutputHash& out, float (*f)(float), uint64_t seed, int count, float low, float high) {
  InputSequence in(seed);
  for (int i = 0; i < count; ++i) out.add(f(in.any_float()));
  for (int i = 0; i < count; ++i) out.add(f(in.between(low, high)));
}

template <typename Real>
void add_special(OutputHash& out, Real (*f)(Real), const Real* arguments, int count) {
  for (int i = 0; i < count; ++i) out.add(f(arguments[i]));
}

// Zeros, units, infinities, NaN, the ends of the normal and subnormal ranges, the neighbours of
// the overflow and underflow thresholds of exp, and the largest number below 1.
const double special[] = {0.0,
                          -0.0,
                          1.0,
                          -1.0,
                          HUGE_VAL,
                          -HUGE_VAL,
                          NAN,
                          DBL_MIN,
                          -DBL_MIN,
                          DBL_MAX,
                          -DBL_MAX,
                          0x1p-1074,
                          -0x1p-1074,
                          0x1p-26,
                          -0x1p-26,
                          0x1p-54,
                          709.782712893384,
                          709.7827128933841,
                          -708.3964185322641,
                          -745.1332191019411,
                          -745.1332191019412,
                          0x1.fffffffffffffp-1};
const float special_f[] = {0.0f,       -0.0f,       1.0f,        -1.0f,         INFINITY,  -INFINITY,
                           NAN,        FLT_MIN,     -FLT_MIN,    FLT_MAX,       -FLT_MAX,  0x1p-149f,
                           -0x1p-149f, 0x1p-12f,    -0x1p-12f,   0x1p-25f,      88.72283f, 88.72284f,
                           -87.33654f, -103.97208f, -103.97209f, 0x1.fffffep-1f};
const int special_count = sizeof special / sizeof special[0];
const int special_f_count = sizeof special_f / sizeof special_f[0];

// The angles of the transforms' rotations and their halves: +-2 pi / 2^k for k = 0..32.
void add_fft_angles(OutputHash& out, double (*f)(double)) {
  for (int k = 0; k <= 32; ++k) {
    const double theta = 6.28318530717959 / static_cast<double>(1ull << k);
    out.add(f(theta));
    out.add(f(-theta));
  }
}

}  // namespace

void hash_cr_exp(OutputHash& out) {
  add_grid(out, cr_exp, -750.0, 712.0, 0x1p-6);
  add_random(out, cr_exp, 1, 20000, -1.0, 1.0);
  add_special(out, cr_exp, special, special_count);
}

void hash_cr_log(OutputHash& out) {
  add_grid(out, cr_log, 0x1p-8, 256.0, 0x1p-8);
  add_random(out, cr_log, 2, 20000, 1.0 - 0x1p-10, 1.0 + 0x1p-10);
  add_special(out, cr_log, special, special_count);
}

void hash_cr_sin(OutputHash& out) {
  add_grid(out, cr_sin, -64.0, 64.0, 0x1p-9);
  add_fft_angles(out, cr_sin);
  add_random(out, cr_sin, 3, 20000, -0x1p-20, 0x1p-20);
  add_special(out, cr_sin, special, special_count);
}

void hash_cr_cos(OutputHash& out) {
  add_grid(out, cr_cos, -64.0, 64.0, 0x1p-9);
  add_fft_angles(out, cr_cos);
  add_random(out, cr_cos, 4, 20000, -0x1p-20, 0x1p-20);
  add_special(out, cr_cos, special, special_count);
}

void hash_cr_expf(OutputHash& out) {
  add_grid(out, cr_expf, -105.0f, 90.0f, 0x1p-7f);
  add_random(out, cr_expf, 5, 20000, -1.0f, 1.0f);
  add_special(out, cr_expf, special_f, special_f_count);
}

void hash_cr_logf(OutputHash& out) {
  add_grid(out, cr_logf, 0x1p-10f, 128.0f, 0x1p-10f);
  add_random(out, cr_logf, 6, 20000, 1.0f - 0x1p-8f, 1.0f + 0x1p-8f);
  add_special(out, cr_logf, special_f, special_f_count);
}
