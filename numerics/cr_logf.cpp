// The natural logarithm in single precision, correctly rounded. The fast path is table-driven
// and evaluated in double: x = 2^e m with m in [0.701, 1.402), m in one of 128 intervals, each
// with a float c near 1/m, so that r = m c - 1 is exact and |r| <= 2^-8; then
// log x = e ln2 - log c + log(1 + r), the last from its Taylor polynomial. Its relative error is
// below 2^-49.5 (bound below); when both ends of that error interval round to the same float,
// so does log x. Otherwise (about one argument in 10^7) the accurate path evaluates log x in
// double-double with an error below 2^-95, far below how close log x comes to a rounding
// boundary for any float x (the exhaustive check over all floats shows it).
#include <math.h>
#include <stdint.h>
#include <string.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/elementary.h"

namespace numerics {
namespace {

// The bit pattern where the intervals of m start (m = 0.701171875). Interval i holds the floats
// whose bit patterns lie in [start + i 2^16, start + (i + 1) 2^16): width 2^-8 below 1, 2^-7
// above, and the one around 1, [1 - 2^-9, 1 + 2^-8), has c = 1 exactly.
const uint32_t interval_start = 0x3f338000;

// Per interval: c, the float nearest to 1/(its midpoint), and -log c rounded to the nearest double.
struct reduction {
  float c;
  double minus_log_c;
};
const reduction reductions[128] = {
    {0x1.6c16c2p+0f, -0x1.68ac8589c6a0fp-2},
    {0x1.6a13cep+0f, -0x1.6300334baac3cp-2},
    {0x1.681682p+0f, -0x1.5d5bdfa595f2ap-2},
    {0x1.661ec6p+0f, -0x1.57bf73648d1f4p-2},
    {0x1.642c86p+0f, -0x1.522ae1b38a3d5p-2},
    {0x1.623fa8p+0f, -0x1.4c9e0b8172c37p-2},
    {0x1.605816p+0f, -0x1.4718dc171c41bp-2},
    {0x1.5e75bcp+0f, -0x1.419b438d5e8c4p-2},
    {0x1.5c9882p+0f, -0x1.3c2525533317bp-2},
    {0x1.5ac056p+0f, -0x1.36b67563e110fp-2},
    {0x1.58ed24p+0f, -0x1.314f20fd35cd3p-2},
    {0x1.571ed4p+0f, -0x1.2bef087dc9353p-2},
    {0x1.555556p+0f, -0x1.269623134db8ap-2},
    {0x1.539094p+0f, -0x1.21445520eb8cfp-2},
    {0x1.51d07ep+0f, -0x1.1bf99425a6b8cp-2},
    {0x1.501502p+0f, -0x1.16b5ced2cfb6bp-2},
    {0x1.4e5e0ap+0f, -0x1.1178e6c27e478p-2},
    {0x1.4cab88p+0f, -0x1.0c42d516162dfp-2},
    {0x1.4afd6ap+0f, -0x1.071385f4d5862p-2},
    {0x1.49539ep+0f, -0x1.01eae4aa6c69p-2},
    {0x1.47ae14p+0f, -0x1.f991c3cb3b37p-3},
    {0x1.460cbcp+0f, -0x1.ef5adb2dcffdcp-3},
    {0x1.446f86p+0f, -0x1.e530edde7100ep-3},
    {0x1.42d662p+0f, -0x1.db13d8bd4893bp-3},
    {0x1.414142p+0f, -0x1.d10383e655e65p-3},
    {0x1.3fb014p+0f, -0x1.c6ffbc8f00f71p-3},
    {0x1.3e22ccp+0f, -0x1.bd0874c3bd8abp-3},
    {0x1.3c995ap+0f, -0x1.b31d83a5bce39p-3},
    {0x1.3b13b2p+0f, -0x1.a93ed8c8ad9cap-3},
    {0x1.3991c2p+0f, -0x1.9f6c3b808964cp-3},
    {0x1.381382p+0f, -0x1.95a5b2ef70165p-3},
    {0x1.3698ep+0f, -0x1.8beb03b38fe73p-3},
    {0x1.3521dp+0f, -0x1.823c18551a3bep-3},
    {0x1.33ae46p+0f, -0x1.7898da4444c6fp-3},
    {0x1.323e34p+0f, -0x1.6f01247756aaap-3},
    {0x1.30d19p+0f, -0x1.6574eb68c133ap-3},
    {0x1.2f684cp+0f, -0x1.5bf407b543db1p-3},
    {0x1.2e025cp+0f, -0x1.527e5e2a1b58dp-3},
    {0x1.2c9fb4p+0f, -0x1.4913d2733b54p-3},
    {0x1.2b404ap+0f, -0x1.3fb454c9928adp-3},
    {0x1.29e412p+0f, -0x1.365fc6c159004p-3},
    {0x1.288b02p+0f, -0x1.2d16169868118p-3},
    {0x1.27350cp+0f, -0x1.23d715e49c1f7p-3},
    {0x1.25e228p+0f, -0x1.1aa2bea23f6fcp-3},
    {0x1.24924ap+0f, -0x1.1178ee227e458p-3},
    {0x1.234568p+0f, -0x1.08598e99e39fcp-3},
    {0x1.21fb78p+0f, -0x1.fe89129dbd565p-4},
    {0x1.20b47p+0f, -0x1.ec738d30a10e3p-4},
    {0x1.1f7048p+0f, -0x1.da727838446ap-4},
    {0x1.1e2ef4p+0f, -0x1.c885845bc4b1ap-4},
    {0x1.1cf06ap+0f, -0x1.b6ac7c9ad5ad1p-4},
    {0x1.1bb4a4p+0f, -0x1.a4e763cb1bc38p-4},
    {0x1.1a7b96p+0f, -0x1.9335e4d594988p-4},
    {0x1.194538p+0f, -0x1.8197e2740e3fp-4},
    {0x1.181182p+0f, -0x1.700d3deeac089p-4},
    {0x1.16e068p+0f, -0x1.5e959c59791a7p-4},
    {0x1.15b1e6p+0f, -0x1.4d31165207eacp-4},
    {0x1.1485fp+0f, -0x1.3bdf4d7d1ee1p-4},
    {0x1.135c82p+0f, -0x1.2aa0580471746p-4},
    {0x1.12358ep+0f, -0x1.1973b6346554fp-4},
    {0x1.111112p+0f, -0x1.08599959e39a5p-4},
    {0x1.0fef02p+0f, -0x1.eea338406b7b4p-5},
    {0x1.0ecf56p+0f, -0x1.ccb7265ddb24dp-5},
    {0x1.0db20ap+0f, -0x1.aaef1ccfb10bap-5},
    {0x1.0c9714p+0f, -0x1.894a8349fb262p-5},
    {0x1.0b7e6ep+0f, -0x1.67c937ed4bad1p-5},
    {0x1.0a681p+0f, -0x1.466ad942de386p-5},
    {0x1.0953f4p+0f, -0x1.252f4078d1811p-5},
    {0x1.08421p+0f, -0x1.0415c89e74404p-5},
    {0x1.07326p+0f, -0x1.c63d06c14aa2ap-6},
    {0x1.0624dep+0f, -0x1.8492858c8c979p-6},
    {0x1.05198p+0f, -0x1.432ab25980c41p-6},
    {0x1.041042p+0f, -0x1.0205a38935667p-6},
    {0x1.03091cp+0f, -0x1.8244e0388a0dcp-7},
    {0x1.020408p+0f, -0x1.01014f588de6dp-7},
    {0x1.010102p+0f, -0x1.0081539588355p-8},
    {0x1.0p+0f, 0.0},
    {0x1.fc07fp-1f, 0x1.fe02b6b106791p-8},
    {0x1.f81f82p-1f, 0x1.fc0a890fc03e4p-7},
    {0x1.f4465ap-1f, 0x1.7b91acfd5b11cp-6},
    {0x1.f07c2p-1f, 0x1.f82990e78338p-6},
    {0x1.ecc07cp-1f, 0x1.39e86e1febd8dp-5},
    {0x1.e9131ap-1f, 0x1.77459be32dd23p-5},
    {0x1.e573acp-1f, 0x1.b42de091971d5p-5},
    {0x1.e1e1e2p-1f, 0x1.f0a30a01162a7p-5},
    {0x1.de5d6ep-1f, 0x1.1653710a37ae3p-4},
    {0x1.dae608p-1f, 0x1.341d7461bd1ddp-4},
    {0x1.d77b66p-1f, 0x1.51b06dd061852p-4},
    {0x1.d41d42p-1f, 0x1.6f0d272e56b4dp-4},
    {0x1.d0cb58p-1f, 0x1.8c3465e319b45p-4},
    {0x1.cd8568p-1f, 0x1.a926d8a4ad57p-4},
    {0x1.ca4b3p-1f, 0x1.c5e54bf5bc748p-4},
    {0x1.c71c72p-1f, 0x1.e27074e2af2e8p-4},
    {0x1.c3f8fp-1f, 0x1.fec9141dbeabbp-4},
    {0x1.c0e07p-1f, 0x1.0d77e8cd08e5ap-3},
    {0x1.bdd2b8p-1f, 0x1.1b72b012f67a8p-3},
    {0x1.bacf92p-1f, 0x1.29552c41ff52ep-3},
    {0x1.b7d6c4p-1f, 0x1.371fc161e8f75p-3},
    {0x1.b4e81cp-1f, 0x1.44d2b38cb7d29p-3},
    {0x1.b20364p-1f, 0x1.526e5e5a1b438p-3},
    {0x1.af286cp-1f, 0x1.5ff3060a793d5p-3},
    {0x1.ac5702p-1f, 0x1.6d60fce19d21fp-3},
    {0x1.a98ef6p-1f, 0x1.7ab890410d909p-3},
    {0x1.a6d01ap-1f, 0x1.87fa08620c915p-3},
    {0x1.a41a42p-1f, 0x1.9525a80f456b8p-3},
    {0x1.a16d4p-1f, 0x1.a23bbffe2b567p-3},
    {0x1.9ec8eap-1f, 0x1.af3c91880bffep-3},
    {0x1.9c2d14p-1f, 0x1.bc286be2d8cecp-3},
    {0x1.99999ap-1f, 0x1.c8ff7a79a9a26p-3},
    {0x1.970e5p-1f, 0x1.d5c21434fbb98p-3},
    {0x1.948b1p-1f, 0x1.e27075e2af2e7p-3},
    {0x1.920fb4p-1f, 0x1.ef0adfddc594p-3},
    {0x1.8f9c18p-1f, 0x1.fb918bd5e3e44p-3},
    {0x1.8d3018p-1f, 0x1.04025b6b4d04ap-2},
    {0x1.8acb9p-1f, 0x1.0a3250a7390fp-2},
    {0x1.886e6p-1f, 0x1.1058bd1ae4ae2p-2},
    {0x1.861862p-1f, 0x1.1675c97aba611p-2},
    {0x1.83c978p-1f, 0x1.1c898b36999fdp-2},
    {0x1.818182p-1f, 0x1.22941e6cf7969p-2},
    {0x1.7f406p-1f, 0x1.2895a0bde86a4p-2},
    {0x1.7d05f4p-1f, 0x1.2e8e2bee11d31p-2},
    {0x1.7ad22p-1f, 0x1.347ddb2987d59p-2},
    {0x1.78a4c8p-1f, 0x1.3a64c596945eap-2},
    {0x1.767dcep-1f, 0x1.404309206a7e5p-2},
    {0x1.745d18p-1f, 0x1.4618ba21c5ecap-2},
    {0x1.724288p-1f, 0x1.4be5f937778a1p-2},
    {0x1.702e06p-1f, 0x1.51aad7c2df82ep-2},
    {0x1.6e1f76p-1f, 0x1.5767736c55a74p-2},
};

// The fast path's error, relative to log x, is at most
//   x near 1 (c = 1): 2^-50.8 dropping the terms from r^7/7 on, 2^-53 the final addition;
//   0.70 < x < 1.41 otherwise (|log x| > 2^-9): 2^-50.8 the dropped terms, 5 2^-53 rounding
//     -log c, p and the sums;
//   beyond (e != 0, |log x| > 0.338): 8.3 2^-53 rounding ln2, e ln2, -log c and the sums,
// below 2^-49.5 in all. The test interval is wider, y (1 +- 2^-48), which also covers the
// rounding of its own ends.
const double fast_path_error = 0x1p-48;

// log x for x = 2^e m in double-double: log m = 2 atanh(s) with s = (m - 1)/(m + 1),
// |s| <= 0.168, by its series to s^37/37 (the rest is below 2^-100 of the sum), plus e ln2.
float accurate_logf(int e, float m) {
  const double ln2_high = 0x1.62e42ffp-1;  // 29 bits: e ln2_high is exact
  const double ln2_middle = -0x1.718432a1b0e26p-35;
  const double ln2_low = -0x1.9ff0342542fc3p-90;
  const double md = static_cast<double>(m);
  const detail::double_double s = detail::divide({md - 1.0, 0.0}, md + 1.0);  // both exact
  const detail::double_double s2 = detail::multiply(s, s);
  detail::double_double sum = {0.0, 0.0};
  for (int n = 37; n >= 1; n -= 2) sum = detail::add(detail::divide({1.0, 0.0}, n), detail::multiply(s2, sum));
  const detail::double_double log_m = detail::multiply(sum, {2.0 * s.hi, 2.0 * s.lo});

  const double ed = static_cast<double>(e);
  const detail::double_double product = detail::two_product(ed, ln2_middle);
  const detail::double_double e_ln2 = detail::add({ed * ln2_high, 0.0}, {product.hi, product.lo + ed * ln2_low});
  return detail::round_to_float(detail::add(e_ln2, log_m));
}

// log x for zero, negative, infinite and NaN x.
float special_logf(float x) {
  if (x != x) return x + x;  // NaN: quiet it
  if (x == 0.0f) return -INFINITY;
  if (x < 0.0f) return NAN;
  return x;  // +inf
}

// x = 2^e m with m in [0.701, 1.402), for positive finite x, and the interval of m.
struct decomposition {
  int e;
  float m;
  int interval;
};

decomposition decompose(float x) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  int e_shift = 0;
  if (bits < 0x00800000u) {  // subnormal: scaled by 2^23, exactly
    const float scaled = x * 0x1p23f;
    memcpy(&bits, &scaled, sizeof bits);
    e_shift = -23;
  }
  // The offset from interval_start, moved up by 2^30 to stay positive: its top bits are e + 128.
  const uint32_t offset = bits - interval_start + 0x40000000u;
  const uint32_t m_bits = interval_start + (offset & 0x7fffffu);
  float m;
  memcpy(&m, &m_bits, sizeof m);
  return {static_cast<int>(offset >> 23) - 128 + e_shift, m, static_cast<int>((offset >> 16) & 127u)};
}

}  // namespace

namespace detail {

bool logf_fast_path(float x, float* result) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  if (bits - 1u >= 0x7f7fffffu) {  // zero, negative, infinite or NaN
    *result = special_logf(x);
    return true;
  }
  const decomposition d = decompose(x);
  const reduction& t = reductions[d.interval];
  const double r = static_cast<double>(d.m) * static_cast<double>(t.c) - 1.0;  // exact: a 48-bit product near 1
  const double r2 = r * r;
  const double p = r + r2 * ((-0.5 + r * 0x1.5555555555555p-2) +
                             r2 * (-0.25 + r * 0x1.999999999999ap-3 - r2 * 0x1.5555555555555p-3));  // log(1 + r)
  const double y = (static_cast<double>(d.e) * 0x1.62e42fefa39efp-1 + t.minus_log_c) + p;
  const float low = static_cast<float>(y - y * fast_path_error);
  const float high = static_cast<float>(y + y * fast_path_error);
  *result = low;
  return low == high;
}

}  // namespace detail

float cr_logf(float x) {
  float result;
  if (detail::logf_fast_path(x, &result)) return result;
  const decomposition d = decompose(x);
  return accurate_logf(d.e, d.m);
}

}  // namespace numerics
