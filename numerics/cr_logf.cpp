// The natural logarithm in single precision, correctly rounded. The fast path is table-driven
// and evaluated in double: x = 2^e m with m in [0.7002, 1.4004), m in one of 256 intervals, each
// with a float c near 1/m, so that r = m c - 1 is exact and |r| <= 2^-9; then
// log x = e ln2 - log c + log(1 + r), the last from its Taylor polynomial. Its relative error is
// below 2^-47.3 (bound below); when every value within that error of the approximation rounds to
// the same float, so does log x. Otherwise (990 of all 2^32 floats, about one positive float in
// two million) the accurate path evaluates log x in double-double with an error below 2^-95, far
// below how close log x comes to a rounding boundary for any float x (the exhaustive check over
// all floats shows it).
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

// The bit pattern where the intervals of m start (m = 0.7001953125). Interval i holds the floats
// whose bit patterns lie in [start + i 2^15, start + (i + 1) 2^15): width 2^-9 below 1, 2^-8
// above, and interval 153, [1 - 2^-10, 1 + 2^-9), has 1 in its middle and c = 1 exactly.
const uint32_t interval_start = 0x3f334000;

// Per interval: c, the float nearest to 1/(its midpoint) (kept as a double to save a
// conversion; it has 24 significant bits), and -log c rounded to the nearest double.
struct reduction {
  double c;
  double minus_log_c;
};
// clang-format off
const reduction reductions[256] = {
    {0x1.6d1a62p+0, -0x1.6b85b3abfa3fap-2}, {0x1.6c16c2p+0, -0x1.68ac8589c6a0fp-2},
    {0x1.6b149p+0, -0x1.65d556f4ce004p-2}, {0x1.6a13cep+0, -0x1.6300334baac3cp-2},
    {0x1.691474p+0, -0x1.602d09a7091eap-2}, {0x1.681682p+0, -0x1.5d5bdfa595f2ap-2},
    {0x1.6719f4p+0, -0x1.5a8caf83edf9bp-2}, {0x1.661ec6p+0, -0x1.57bf73648d1f4p-2},
    {0x1.6524f8p+0, -0x1.54f430c7be1a7p-2}, {0x1.642c86p+0, -0x1.522ae1b38a3d5p-2},
    {0x1.63356cp+0, -0x1.4f638013a980cp-2}, {0x1.623fa8p+0, -0x1.4c9e0b8172c37p-2},
    {0x1.614b36p+0, -0x1.49da7dbfcc41ap-2}, {0x1.605816p+0, -0x1.4718dc171c41bp-2},
    {0x1.5f6644p+0, -0x1.4459202d39f3fp-2}, {0x1.5e75bcp+0, -0x1.419b438d5e8c4p-2},
    {0x1.5d867cp+0, -0x1.3edf45841683dp-2}, {0x1.5c9882p+0, -0x1.3c2525533317bp-2},
    {0x1.5babccp+0, -0x1.396ce231bbf51p-2}, {0x1.5ac056p+0, -0x1.36b67563e110fp-2},
    {0x1.59d62p+0, -0x1.3401e3eaecb92p-2}, {0x1.58ed24p+0, -0x1.314f20fd35cd3p-2},
    {0x1.58056p+0, -0x1.2e9e2b8e12286p-2}, {0x1.571ed4p+0, -0x1.2bef087dc9353p-2},
    {0x1.56397cp+0, -0x1.2941b0b986b7ap-2}, {0x1.555556p+0, -0x1.269623134db8ap-2},
    {0x1.54725ep+0, -0x1.23ec584deba46p-2}, {0x1.539094p+0, -0x1.21445520eb8cfp-2},
    {0x1.52aff6p+0, -0x1.1e9e183c899eep-2}, {0x1.51d07ep+0, -0x1.1bf99425a6b8cp-2},
    {0x1.50f22ep+0, -0x1.1956d385bc2fap-2}, {0x1.501502p+0, -0x1.16b5ced2cfb6bp-2},
    {0x1.4f38f6p+0, -0x1.14167e6767782p-2}, {0x1.4e5e0ap+0, -0x1.1178e6c27e478p-2},
    {0x1.4d843cp+0, -0x1.0edd064378081p-2}, {0x1.4cab88p+0, -0x1.0c42d516162dfp-2},
    {0x1.4bd3eep+0, -0x1.09aa57a26c6d4p-2}, {0x1.4afd6ap+0, -0x1.071385f4d5862p-2},
    {0x1.4a27fap+0, -0x1.047e5e31e83aap-2}, {0x1.49539ep+0, -0x1.01eae4aa6c69p-2},
    {0x1.488052p+0, -0x1.feb22276a07ccp-3}, {0x1.47ae14p+0, -0x1.f991c3cb3b37p-3},
    {0x1.46dce4p+0, -0x1.f474b5c4df214p-3}, {0x1.460cbcp+0, -0x1.ef5adb2dcffdcp-3},
    {0x1.453d9ep+0, -0x1.ea4448d84aaf3p-3}, {0x1.446f86p+0, -0x1.e530edde7100ep-3},
    {0x1.43a274p+0, -0x1.e020d27235a9p-3}, {0x1.42d662p+0, -0x1.db13d8bd4893bp-3},
    {0x1.420b52p+0, -0x1.d60a15710350ep-3}, {0x1.414142p+0, -0x1.d10383e655e65p-3},
    {0x1.40782ep+0, -0x1.cc001295b3c2fp-3}, {0x1.3fb014p+0, -0x1.c6ffbc8f00f71p-3},
    {0x1.3ee8f4p+0, -0x1.c20289a17f9b3p-3}, {0x1.3e22ccp+0, -0x1.bd0874c3bd8abp-3},
    {0x1.3d5d9ap+0, -0x1.b81178d3823b1p-3}, {0x1.3c995ap+0, -0x1.b31d83a5bce39p-3},
    {0x1.3bd60ep+0, -0x1.ae2ca9be72bcdp-3}, {0x1.3b13b2p+0, -0x1.a93ed8c8ad9cap-3},
    {0x1.3a5244p+0, -0x1.a4540b3e6aafcp-3}, {0x1.3991c2p+0, -0x1.9f6c3b808964cp-3},
    {0x1.38d22ep+0, -0x1.9a877e06baa1ep-3}, {0x1.381382p+0, -0x1.95a5b2ef70165p-3},
    {0x1.3755bep+0, -0x1.90c6e177cbcb7p-3}, {0x1.3698ep+0, -0x1.8beb03b38fe73p-3},
    {0x1.35dce6p+0, -0x1.8712139d0e994p-3}, {0x1.3521dp+0, -0x1.823c18551a3bep-3},
    {0x1.34679ap+0, -0x1.7d68fe72f5ab3p-3}, {0x1.33ae46p+0, -0x1.7898da4444c6fp-3},
    {0x1.32f5cep+0, -0x1.73cb8adcfd12dp-3}, {0x1.323e34p+0, -0x1.6f01247756aaap-3},
    {0x1.318776p+0, -0x1.6a39a0a3bd37bp-3}, {0x1.30d19p+0, -0x1.6574eb68c133ap-3},
    {0x1.301c82p+0, -0x1.60b30b8309461p-3}, {0x1.2f684cp+0, -0x1.5bf407b543db1p-3},
    {0x1.2eb4eap+0, -0x1.5737cbb818cddp-3}, {0x1.2e025cp+0, -0x1.527e5e2a1b58dp-3},
    {0x1.2d50ap+0, -0x1.4dc7b817bc1c7p-3}, {0x1.2c9fb4p+0, -0x1.4913d2733b54p-3},
    {0x1.2bef98p+0, -0x1.4462b3bc9b3b6p-3}, {0x1.2b404ap+0, -0x1.3fb454c9928adp-3},
    {0x1.2a91cap+0, -0x1.3b08bc0d7f28ap-3}, {0x1.29e412p+0, -0x1.365fc6c159004p-3},
    {0x1.293726p+0, -0x1.31b996aba4f81p-3}, {0x1.288b02p+0, -0x1.2d16169868118p-3},
    {0x1.27dfa4p+0, -0x1.28753ef11ab9ap-3}, {0x1.27350cp+0, -0x1.23d715e49c1f7p-3},
    {0x1.268b38p+0, -0x1.1f3b93bf25d3fp-3}, {0x1.25e228p+0, -0x1.1aa2bea23f6fcp-3},
    {0x1.2539d8p+0, -0x1.160c80c4b27bp-3}, {0x1.24924ap+0, -0x1.1178ee227e458p-3},
    {0x1.23eb7ap+0, -0x1.0ce7f0c4cc27dp-3}, {0x1.234568p+0, -0x1.08598e99e39fcp-3},
    {0x1.22a012p+0, -0x1.03cdbf7d1ec0cp-3}, {0x1.21fb78p+0, -0x1.fe89129dbd565p-4},
    {0x1.215798p+0, -0x1.f57bc799005dbp-4}, {0x1.20b47p+0, -0x1.ec738d30a10e3p-4},
    {0x1.201202p+0, -0x1.e3708b530482ep-4}, {0x1.1f7048p+0, -0x1.da727838446ap-4},
    {0x1.1ecf44p+0, -0x1.d1797ba21935fp-4}, {0x1.1e2ef4p+0, -0x1.c885845bc4b1ap-4},
    {0x1.1d8f56p+0, -0x1.bf9680f9fc9fcp-4}, {0x1.1cf06ap+0, -0x1.b6ac7c9ad5ad1p-4},
    {0x1.1c523p+0, -0x1.adc78265aea86p-4}, {0x1.1bb4a4p+0, -0x1.a4e763cb1bc38p-4},
    {0x1.1b17c6p+0, -0x1.9c0c2ba4d252ep-4}, {0x1.1a7b96p+0, -0x1.9335e4d594988p-4},
    {0x1.19e012p+0, -0x1.8a647d391dc19p-4}, {0x1.194538p+0, -0x1.8197e2740e3fp-4},
    {0x1.18ab08p+0, -0x1.78d01f23d82cep-4}, {0x1.181182p+0, -0x1.700d3deeac089p-4},
    {0x1.1778a2p+0, -0x1.674f0ee365a66p-4}, {0x1.16e068p+0, -0x1.5e959c59791a7p-4},
    {0x1.1648d6p+0, -0x1.55e10e20e0324p-4}, {0x1.15b1e6p+0, -0x1.4d31165207eacp-4},
    {0x1.151b9ap+0, -0x1.4485dc8dbdfa6p-4}, {0x1.1485fp+0, -0x1.3bdf4d7d1ee1p-4},
    {0x1.13f0e8p+0, -0x1.333d734183fp-4}, {0x1.135c82p+0, -0x1.2aa0580471746p-4},
    {0x1.12c8b8p+0, -0x1.2207ac8785473p-4}, {0x1.12358ep+0, -0x1.1973b6346554fp-4},
    {0x1.11a302p+0, -0x1.10e4612cae81fp-4}, {0x1.111112p+0, -0x1.08599959e39a5p-4},
    {0x1.107fbcp+0, -0x1.ffa694dab92fdp-5}, {0x1.0fef02p+0, -0x1.eea338406b7b4p-5},
    {0x1.0f5eep+0, -0x1.dda8b7c67ee35p-5}, {0x1.0ecf56p+0, -0x1.ccb7265ddb24dp-5},
    {0x1.0e4066p+0, -0x1.bbced3a68f3bdp-5}, {0x1.0db20ap+0, -0x1.aaef1ccfb10bap-5},
    {0x1.0d2446p+0, -0x1.9a188df73de25p-5}, {0x1.0c9714p+0, -0x1.894a8349fb262p-5},
    {0x1.0c0a78p+0, -0x1.7885892357793p-5}, {0x1.0b7e6ep+0, -0x1.67c937ed4bad1p-5},
    {0x1.0af2f8p+0, -0x1.5715df403ce3fp-5}, {0x1.0a681p+0, -0x1.466ad942de386p-5},
    {0x1.09ddbap+0, -0x1.35c8b2ca13042p-5}, {0x1.0953f4p+0, -0x1.252f4078d1811p-5},
    {0x1.08cabcp+0, -0x1.149e5680059fap-5}, {0x1.08421p+0, -0x1.0415c89e74404p-5},
    {0x1.07b9f2p+0, -0x1.e72bccc13cd9fp-6}, {0x1.07326p+0, -0x1.c63d06c14aa2ap-6},
    {0x1.06ab5ap+0, -0x1.a55f624c5c427p-6}, {0x1.0624dep+0, -0x1.8492858c8c979p-6},
    {0x1.059eeap+0, -0x1.63d615c690bd6p-6}, {0x1.05198p+0, -0x1.432ab25980c41p-6},
    {0x1.04949cp+0, -0x1.228f827ea2d0ep-6}, {0x1.041042p+0, -0x1.0205a38935667p-6},
    {0x1.038c6cp+0, -0x1.c3177b4c75deep-7}, {0x1.03091cp+0, -0x1.8244e0388a0dcp-7},
    {0x1.02865p+0, -0x1.4192bb96832bfp-7}, {0x1.020408p+0, -0x1.01014f588de6dp-7},
    {0x1.018244p+0, -0x1.8121bb458686fp-8}, {0x1.010102p+0, -0x1.0081539588355p-8},
    {0x1.00804p+0, -0x1.003fd55d5885ep-9}, {0x1.0p+0, 0.0},
    {0x1.fe01fep-1, 0x1.ff00ac2b10bcp-9}, {0x1.fc07fp-1, 0x1.fe02b6b106791p-8},
    {0x1.fa11cap-1, 0x1.7dc49e7810addp-7}, {0x1.f81f82p-1, 0x1.fc0a890fc03e4p-7},
    {0x1.f6310ap-1, 0x1.3cea5df46a5c8p-6}, {0x1.f4465ap-1, 0x1.7b91acfd5b11cp-6},
    {0x1.f25f64p-1, 0x1.b9fc0afaf91a1p-6}, {0x1.f07c2p-1, 0x1.f82990e78338p-6},
    {0x1.ee9c8p-1, 0x1.1b0d90923d99p-5}, {0x1.ecc07cp-1, 0x1.39e86e1febd8dp-5},
    {0x1.eae808p-1, 0x1.58a5b57c8e4dcp-5}, {0x1.e9131ap-1, 0x1.77459be32dd23p-5},
    {0x1.e741aap-1, 0x1.95c836cc8e3f4p-5}, {0x1.e573acp-1, 0x1.b42de091971d5p-5},
    {0x1.e3a918p-1, 0x1.d276b22db0b5dp-5}, {0x1.e1e1e2p-1, 0x1.f0a30a01162a7p-5},
    {0x1.e01e02p-1, 0x1.075982498e472p-4}, {0x1.de5d6ep-1, 0x1.1653710a37ae3p-4},
    {0x1.dca01ep-1, 0x1.253f6120a1419p-4}, {0x1.dae608p-1, 0x1.341d7461bd1ddp-4},
    {0x1.d92f22p-1, 0x1.42edcd9a646f2p-4}, {0x1.d77b66p-1, 0x1.51b06dd061852p-4},
    {0x1.d5cac8p-1, 0x1.60658ad3750c4p-4}, {0x1.d41d42p-1, 0x1.6f0d272e56b4dp-4},
    {0x1.d272cap-1, 0x1.7da76907b12cfp-4}, {0x1.d0cb58p-1, 0x1.8c3465e319b45p-4},
    {0x1.cf26e6p-1, 0x1.9ab42252033afp-4}, {0x1.cd8568p-1, 0x1.a926d8a4ad57p-4},
    {0x1.cbe6dap-1, 0x1.b78c7d2b0edb1p-4}, {0x1.ca4b3p-1, 0x1.c5e54bf5bc748p-4},
    {0x1.c8b266p-1, 0x1.d4313a96cb361p-4}, {0x1.c71c72p-1, 0x1.e27074e2af2e8p-4},
    {0x1.c5894ep-1, 0x1.f0a30391162cap-4}, {0x1.c3f8fp-1, 0x1.fec9141dbeabbp-4},
    {0x1.c26b54p-1, 0x1.06714f3ca5972p-3}, {0x1.c0e07p-1, 0x1.0d77e8cd08e5ap-3},
    {0x1.bf583ep-1, 0x1.14785c6e742bep-3}, {0x1.bdd2b8p-1, 0x1.1b72b012f67a8p-3},
    {0x1.bc4fd6p-1, 0x1.2266f328a5acep-3}, {0x1.bacf92p-1, 0x1.29552c41ff52ep-3},
    {0x1.b951e2p-1, 0x1.303d74c647fddp-3}, {0x1.b7d6c4p-1, 0x1.371fc161e8f75p-3},
    {0x1.b65e2ep-1, 0x1.3dfc2c26cc62bp-3}, {0x1.b4e81cp-1, 0x1.44d2b38cb7d29p-3},
    {0x1.b37484p-1, 0x1.4ba37269a55fp-3}, {0x1.b20364p-1, 0x1.526e5e5a1b438p-3},
    {0x1.b094b4p-1, 0x1.5933896982097p-3}, {0x1.af286cp-1, 0x1.5ff3060a793d5p-3},
    {0x1.adbe88p-1, 0x1.66acd4072ad51p-3}, {0x1.ac5702p-1, 0x1.6d60fce19d21fp-3},
    {0x1.aaf1d2p-1, 0x1.740f93fc037bap-3}, {0x1.a98ef6p-1, 0x1.7ab890410d909p-3},
    {0x1.a82e66p-1, 0x1.815c059c357ffp-3}, {0x1.a6d01ap-1, 0x1.87fa08620c915p-3},
    {0x1.a5741p-1, 0x1.8e92902886d46p-3}, {0x1.a41a42p-1, 0x1.9525a80f456b8p-3},
    {0x1.a2c2a8p-1, 0x1.9bb36547dfb89p-3}, {0x1.a16d4p-1, 0x1.a23bbffe2b567p-3},
    {0x1.a01a02p-1, 0x1.a8becdf082f1cp-3}, {0x1.9ec8eap-1, 0x1.af3c91880bffep-3},
    {0x1.9d79f2p-1, 0x1.b5b51740fb5abp-3}, {0x1.9c2d14p-1, 0x1.bc286be2d8cecp-3},
    {0x1.9ae24ep-1, 0x1.c2968890c18cbp-3}, {0x1.99999ap-1, 0x1.c8ff7a79a9a26p-3},
    {0x1.9852fp-1, 0x1.cf6359209c5eep-3}, {0x1.970e5p-1, 0x1.d5c21434fbb98p-3},
    {0x1.95cbbp-1, 0x1.dc1bcdcabec8bp-3}, {0x1.948b1p-1, 0x1.e27075e2af2e7p-3},
    {0x1.934c68p-1, 0x1.e8c0250aa5a6p-3}, {0x1.920fb4p-1, 0x1.ef0adfddc594p-3},
    {0x1.90d4f2p-1, 0x1.f550a0ecb7b4bp-3}, {0x1.8f9c18p-1, 0x1.fb918bd5e3e44p-3},
    {0x1.8e6528p-1, 0x1.00e6c38ad501ep-2}, {0x1.8d3018p-1, 0x1.04025b6b4d04ap-2},
    {0x1.8bfce8p-1, 0x1.071b860cd590dp-2}, {0x1.8acb9p-1, 0x1.0a3250a7390fp-2},
    {0x1.899c1p-1, 0x1.0d46b3d9ab75p-2}, {0x1.886e6p-1, 0x1.1058bd1ae4ae2p-2},
    {0x1.87427cp-1, 0x1.13686fa13a8b1p-2}, {0x1.861862p-1, 0x1.1675c97aba611p-2},
    {0x1.84f00cp-1, 0x1.1980d3454237p-2}, {0x1.83c978p-1, 0x1.1c898b36999fdp-2},
    {0x1.82a4ap-1, 0x1.1f8ffa248a2f3p-2}, {0x1.818182p-1, 0x1.22941e6cf7969p-2},
    {0x1.806018p-1, 0x1.2596011df763ap-2}, {0x1.7f406p-1, 0x1.2895a0bde86a4p-2},
    {0x1.7e2256p-1, 0x1.2b93013789d31p-2}, {0x1.7d05f4p-1, 0x1.2e8e2bee11d31p-2},
    {0x1.7beb3ap-1, 0x1.31871a414419p-2}, {0x1.7ad22p-1, 0x1.347ddb2987d59p-2},
    {0x1.79baa6p-1, 0x1.37726827fd863p-2}, {0x1.78a4c8p-1, 0x1.3a64c596945eap-2},
    {0x1.779082p-1, 0x1.3d54f7e81f71cp-2}, {0x1.767dcep-1, 0x1.404309206a7e5p-2},
    {0x1.756cacp-1, 0x1.432ef2f84e814p-2}, {0x1.745d18p-1, 0x1.4618ba21c5ecap-2},
    {0x1.734f0cp-1, 0x1.490068ec009d2p-2}, {0x1.724288p-1, 0x1.4be5f937778a1p-2},
    {0x1.713786p-1, 0x1.4ec9758200275p-2}, {0x1.702e06p-1, 0x1.51aad7c2df82ep-2},
    {0x1.6f2602p-1, 0x1.548a2aa6dd268p-2}, {0x1.6e1f76p-1, 0x1.5767736c55a74p-2}
};
// clang-format on

// The rounding tests' error bound: above the 2^-47.3 of approximate_logf, with room for the
// rounding of the tests' own arithmetic.
const double approximation_error = 0x1p-46;

// x = 2^e m, for positive normal x given by its bits, with m in [0.7002, 1.4004) and its interval.
struct decomposition {
  int e;
  double m;
  int interval;
};

decomposition decompose(uint32_t bits) {
  // The offset from interval_start, moved up by 2^30 to stay positive: its top bits are e + 128,
  // the other 23 those of m's offset from interval_start.
  const uint32_t offset = bits - interval_start + 0x40000000u;
  const uint32_t m_bits = interval_start + (offset & 0x7fffffu);
  float m;
  memcpy(&m, &m_bits, sizeof m);
  return {static_cast<int>(offset >> 23) - 128, static_cast<double>(m), static_cast<int>((offset >> 15) & 255u)};
}

// log x with a relative error below 2^-47.3, for x = 2^e_shift times the positive normal float
// with these bits:
//   x near 1 (c = 1): 2^-47.6 dropping the terms from r^6/6 on (|r| <= 2^-9), 2^-52 the rest;
//   other x in [0.7, 1.4) (|log x| > 2^-10): 2^-47.6 the dropped terms (|r| <= 2^-9 where
//     |log x| > 2^-9, |r| <= 2^-9.49 elsewhere), 5 2^-53 rounding -log c, p and the sums;
//   beyond (e != 0, |log x| > 0.336): 8.3 2^-53 rounding ln2, e ln2, -log c and the sums.
inline double approximate_logf(uint32_t bits, int e_shift) {
  const decomposition d = decompose(bits);
  const reduction& t = reductions[d.interval];
  const double r = d.m * t.c - 1.0;  // exact: a 48-bit product near 1
  const double r2 = r * r;
  // log(1 + r) = r - r^2/2 + r^3/3 - r^4/4 + r^5/5, grouped for a short dependency chain.
  const double p = (r + r2 * (-0.5 + r * 0x1.5555555555555p-2)) + (r2 * r2) * (-0.25 + r * 0x1.999999999999ap-3);
  return (static_cast<double>(d.e + e_shift) * 0x1.62e42fefa39efp-1 + t.minus_log_c) + p;
}

// log x in double-double, for x = 2^e_shift times the positive normal float with these bits:
// x = 2^e m, log m = 2 atanh(s) with s = (m - 1)/(m + 1), |s| <= 0.168, by its series to
// s^37/37 (the rest is below 2^-100 of the sum), plus e ln2.
NUMERICS_NOINLINE float accurate_logf(uint32_t bits, int e_shift) {
  const decomposition d = decompose(bits);
  const double m = d.m;
  const detail::double_double s = detail::divide({m - 1.0, 0.0}, m + 1.0);  // both exact
  const detail::double_double s2 = detail::multiply(s, s);
  detail::double_double sum = {0.0, 0.0};
  for (int n = 37; n >= 1; n -= 2) sum = detail::add(detail::divide({1.0, 0.0}, n), detail::multiply(s2, sum));
  const detail::double_double log_m = detail::multiply(sum, {2.0 * s.hi, 2.0 * s.lo});

  const double ed = static_cast<double>(d.e + e_shift);
  const detail::double_double product = detail::two_product(ed, detail::ln2_middle);  // e ln2_high is exact
  const detail::double_double e_ln2 =
      detail::add({ed * detail::ln2_high, 0.0}, {product.hi, product.lo + ed * detail::ln2_low});
  return detail::round_to_float(detail::add(e_ln2, log_m));
}

// The bits of positive finite x scaled into the normal range (subnormal x by 2^23, exactly), and
// the power of two it was scaled by.
uint32_t normal_bits(float x, int* e_shift) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  *e_shift = 0;
  if (bits < 0x00800000u) {
    const float scaled = x * 0x1p23f;
    memcpy(&bits, &scaled, sizeof bits);
    *e_shift = -23;
  }
  return bits;
}

// Zero, negative, infinite, NaN and subnormal x.
bool edge_logf(float x, float* result) {
  if (x != x) {
    *result = x + x;  // NaN: quiet it
  } else if (x == 0.0f) {
    *result = -INFINITY;
  } else if (x < 0.0f) {
    *result = NAN;
  } else if (x == INFINITY) {
    *result = x;
  } else {
    int e_shift;
    const uint32_t bits = normal_bits(x, &e_shift);
    return detail::round_normal_within(approximate_logf(bits, e_shift), approximation_error, result);
  }
  return true;
}

// cr_logf of the edge arguments: the accurate path where edge_logf cannot decide.
NUMERICS_NOINLINE float edge_or_accurate_logf(float x) {
  float result;
  if (edge_logf(x, &result)) return result;
  int e_shift;
  const uint32_t bits = normal_bits(x, &e_shift);
  return accurate_logf(bits, e_shift);
}

// Whether x takes edge_logf (not positive and normal), as its bits.
inline bool is_edge(uint32_t bits) { return bits - 0x00800000u >= 0x7f000000u; }

}  // namespace

namespace detail {

bool logf_fast_path(float x, float* result) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  if (is_edge(bits)) return edge_logf(x, result);
  return round_normal_within(approximate_logf(bits, 0), approximation_error, result);
}

}  // namespace detail

float cr_logf(float x) {
  uint32_t bits;
  memcpy(&bits, &x, sizeof bits);
  if (is_edge(bits)) return edge_or_accurate_logf(x);
  float result;
  if (detail::round_normal_within(approximate_logf(bits, 0), approximation_error, &result)) return result;
  return accurate_logf(bits, 0);
}

}  // namespace numerics
