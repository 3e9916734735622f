// e^x in single precision, correctly rounded. The fast path is the table-driven method of Tang
// evaluated in double: x = (128 m + i + u) ln2/128 with integers m, i (0 <= i < 128) and
// |u| <= 1/2, e^x = 2^m 2^(i/128) e^(u ln2/128), the last from its Taylor polynomial. Its
// relative error is below 2^-49.3 (bound below); when every value within that error of the
// approximation rounds to the same float, so does e^x. Otherwise (69 of all 2^32 floats, about
// one in five million arguments of moderate size) the accurate path evaluates e^x in
// double-double with an error below 2^-95, far below how close e^x comes to a rounding boundary
// for any float x (the exhaustive check over all floats shows it).
#include <math.h>
#include <stdint.h>
#include <string.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/detail/float_rounding.h"
#include "numerics/detail/ln2.h"
#include "numerics/detail/noinline.h"
#include "numerics/elementary.h"

namespace numerics {
namespace {

// 2^(i/128), i = 0..127, each rounded to the nearest double.
// clang-format off
const double exp2_table[128] = {
    0x1.0p+0, 0x1.0163da9fb3335p+0, 0x1.02c9a3e778061p+0, 0x1.04315e86e7f85p+0,
    0x1.059b0d3158574p+0, 0x1.0706b29ddf6dep+0, 0x1.0874518759bc8p+0, 0x1.09e3ecac6f383p+0,
    0x1.0b5586cf9890fp+0, 0x1.0cc922b7247f7p+0, 0x1.0e3ec32d3d1a2p+0, 0x1.0fb66affed31bp+0,
    0x1.11301d0125b51p+0, 0x1.12abdc06c31ccp+0, 0x1.1429aaea92dep+0, 0x1.15a98c8a58e51p+0,
    0x1.172b83c7d517bp+0, 0x1.18af9388c8deap+0, 0x1.1a35beb6fcb75p+0, 0x1.1bbe084045cd4p+0,
    0x1.1d4873168b9aap+0, 0x1.1ed5022fcd91dp+0, 0x1.2063b88628cd6p+0, 0x1.21f49917ddc96p+0,
    0x1.2387a6e756238p+0, 0x1.251ce4fb2a63fp+0, 0x1.26b4565e27cddp+0, 0x1.284dfe1f56381p+0,
    0x1.29e9df51fdee1p+0, 0x1.2b87fd0dad99p+0, 0x1.2d285a6e4030bp+0, 0x1.2ecafa93e2f56p+0,
    0x1.306fe0a31b715p+0, 0x1.32170fc4cd831p+0, 0x1.33c08b26416ffp+0, 0x1.356c55f929ff1p+0,
    0x1.371a7373aa9cbp+0, 0x1.38cae6d05d866p+0, 0x1.3a7db34e59ff7p+0, 0x1.3c32dc313a8e5p+0,
    0x1.3dea64c123422p+0, 0x1.3fa4504ac801cp+0, 0x1.4160a21f72e2ap+0, 0x1.431f5d950a897p+0,
    0x1.44e086061892dp+0, 0x1.46a41ed1d0057p+0, 0x1.486a2b5c13cdp+0, 0x1.4a32af0d7d3dep+0,
    0x1.4bfdad5362a27p+0, 0x1.4dcb299fddd0dp+0, 0x1.4f9b2769d2ca7p+0, 0x1.516daa2cf6642p+0,
    0x1.5342b569d4f82p+0, 0x1.551a4ca5d920fp+0, 0x1.56f4736b527dap+0, 0x1.58d12d497c7fdp+0,
    0x1.5ab07dd485429p+0, 0x1.5c9268a5946b7p+0, 0x1.5e76f15ad2148p+0, 0x1.605e1b976dc09p+0,
    0x1.6247eb03a5585p+0, 0x1.6434634ccc32p+0, 0x1.6623882552225p+0, 0x1.68155d44ca973p+0,
    0x1.6a09e667f3bcdp+0, 0x1.6c012750bdabfp+0, 0x1.6dfb23c651a2fp+0, 0x1.6ff7df9519484p+0,
    0x1.71f75e8ec5f74p+0, 0x1.73f9a48a58174p+0, 0x1.75feb564267c9p+0, 0x1.780694fde5d3fp+0,
    0x1.7a11473eb0187p+0, 0x1.7c1ed0130c132p+0, 0x1.7e2f336cf4e62p+0, 0x1.80427543e1a12p+0,
    0x1.82589994cce13p+0, 0x1.8471a4623c7adp+0, 0x1.868d99b4492edp+0, 0x1.88ac7d98a6699p+0,
    0x1.8ace5422aa0dbp+0, 0x1.8cf3216b5448cp+0, 0x1.8f1ae99157736p+0, 0x1.9145b0b91ffc6p+0,
    0x1.93737b0cdc5e5p+0, 0x1.95a44cbc8520fp+0, 0x1.97d829fde4e5p+0, 0x1.9a0f170ca07bap+0,
    0x1.9c49182a3f09p+0, 0x1.9e86319e32323p+0, 0x1.a0c667b5de565p+0, 0x1.a309bec4a2d33p+0,
    0x1.a5503b23e255dp+0, 0x1.a799e1330b358p+0, 0x1.a9e6b5579fdbfp+0, 0x1.ac36bbfd3f37ap+0,
    0x1.ae89f995ad3adp+0, 0x1.b0e07298db666p+0, 0x1.b33a2b84f15fbp+0, 0x1.b59728de5593ap+0,
    0x1.b7f76f2fb5e47p+0, 0x1.ba5b030a1064ap+0, 0x1.bcc1e904bc1d2p+0, 0x1.bf2c25bd71e09p+0,
    0x1.c199bdd85529cp+0, 0x1.c40ab5fffd07ap+0, 0x1.c67f12e57d14bp+0, 0x1.c8f6d9406e7b5p+0,
    0x1.cb720dcef9069p+0, 0x1.cdf0b555dc3fap+0, 0x1.d072d4a07897cp+0, 0x1.d2f87080d89f2p+0,
    0x1.d5818dcfba487p+0, 0x1.d80e316c98398p+0, 0x1.da9e603db3285p+0, 0x1.dd321f301b46p+0,
    0x1.dfc97337b9b5fp+0, 0x1.e264614f5a129p+0, 0x1.e502ee78b3ff6p+0, 0x1.e7a51fbc74c83p+0,
    0x1.ea4afa2a490dap+0, 0x1.ecf482d8e67f1p+0, 0x1.efa1bee615a27p+0, 0x1.f252b376bba97p+0,
    0x1.f50765b6e454p+0, 0x1.f7bfdad9cbe14p+0, 0x1.fa7c1819e90d8p+0, 0x1.fd3c22b8f71f1p+0
};
// clang-format on

// e^x for |x| < 104 in double-double: x = m ln2 + r with |r| <= ln2/2 and r exact to about
// 2^-100, e^r by its Taylor series to r^20/20! (the rest is below 2^-97), scaled by 2^m.
NUMERICS_NOINLINE float accurate_expf(float x) {
  // m ln2_high and x - m ln2_high are exact
  const double xd = static_cast<double>(x);
  const double m = detail::nearest_integer(xd * 0x1.71547652b82fep+0);
  const detail::double_double product = detail::two_product(m, detail::ln2_middle);
  const detail::double_double head = detail::two_sum(xd - m * detail::ln2_high, -product.hi);
  const detail::double_double r = detail::fast_two_sum(head.hi, (head.lo - product.lo) - m * detail::ln2_low);

  detail::double_double sum = {1.0, 0.0};
  for (int n = 20; n >= 1; --n) sum = detail::add({1.0, 0.0}, detail::divide(detail::multiply(sum, r), n));

  uint64_t scale_bits = static_cast<uint64_t>(static_cast<int64_t>(m) + 1023) << 52;
  double scale;
  memcpy(&scale, &scale_bits, sizeof scale);
  return detail::round_to_float({sum.hi * scale, sum.lo * scale});
}

// The rounding tests' error bound: above the 2^-49.3 of approximate_expf, with room for the
// rounding of the tests' own arithmetic.
const double approximation_error = 0x1p-48;

// e^x with a relative error below 2^-49.3, for |x| < 104 (the result lies in [2^-151, 2^150]):
//   2^-49.55  dropping the terms from u^5 on (|u ln2/128| <= 0.0027077),
//   2^-53     rounding 2^(i/128) in the table,
//   2^-53     the final addition s + s p,
//   2^-60     u (x 128/ln2 is split so that x times its high part is exact) and s p.
inline double approximate_expf(float x) {
  // Adding 1.5 2^52 rounds z to an integer k, kept in the low bits of the sum (two's complement).
  const double shift = 0x1.8p52;
  const double xd = static_cast<double>(x);
  const double z = xd * 0x1.7154765p+7;  // x (128/ln2)_high, exact: 24 times 29 bits
  const double shifted = z + shift;
  const double kd = shifted - shift;
  const double u = (z - kd) + xd * 0x1.5c17f0bbbe88p-24;  // x 128/ln2 - k: z - kd is exact

  // s = 2^m 2^(i/128) with k = 128 m + i, 0 <= i < 128, by adding m to the exponent of the table
  // entry (1 <= entry < 2): (k - i) 2^45 = m 2^52 modulo 2^64, and the shift's own bits move
  // out of the word.
  uint64_t k_bits;
  memcpy(&k_bits, &shifted, sizeof k_bits);
  const uint64_t i = k_bits & 127u;
  uint64_t s_bits;
  memcpy(&s_bits, &exp2_table[i], sizeof s_bits);
  s_bits += (k_bits - i) << 45;
  double s;
  memcpy(&s, &s_bits, sizeof s);

  // e^(u ln2/128) - 1 = a1 u + a2 u^2 + a3 u^3 + a4 u^4 with a_n = (ln2/128)^n / n!.
  const double u2 = u * u;
  const double p =
      u * 0x1.62e42fefa39efp-8 + u2 * (0x1.ebfbdff82c58fp-17 + u * 0x1.c6b08d704a0cp-26 + u2 * 0x1.3b2ab6fba4e77p-35);
  return s + s * p;
}

// Arguments with |x| >= 87, whose results may overflow, be subnormal or saturate. From
// |x| >= 104 on the result is decided without arithmetic: e^x overflows above
// 128 ln2 = 88.72... and falls below half the smallest subnormal, 2^-150, below
// -150 ln2 = -103.97...
bool edge_expf(float x, float* result) {
  if (x != x) {
    *result = x + x;  // NaN: quiet it
    return true;
  }
  if (fabsf(x) >= 104.0f) {
    *result = x > 0.0f ? INFINITY : 0.0f;
    return true;
  }
  return detail::round_within(approximate_expf(x), approximation_error, result);
}

// cr_expf of the edge arguments: the accurate path where edge_expf cannot decide.
NUMERICS_NOINLINE float edge_or_accurate_expf(float x) {
  float result;
  return edge_expf(x, &result) ? result : accurate_expf(x);
}

// Whether x takes edge_expf (|x| >= 87 or NaN), as its bits.
inline bool is_edge(uint32_t bits) { return (bits & 0x7fffffffu) >= 0x42ae0000u; }

}  // namespace

namespace detail {

bool expf_fast_path(float x, float* result) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  if (is_edge(bits)) return edge_expf(x, result);
  return round_normal_within(approximate_expf(x), approximation_error, result);
}

}  // namespace detail

float cr_expf(float x) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  if (is_edge(bits)) return edge_or_accurate_expf(x);
  float result;
  if (detail::round_normal_within(approximate_expf(x), approximation_error, &result)) return result;
  return accurate_expf(x);
}

}  // namespace numerics
