// Prints one hash of the output bits per toolkit family: each family's routines run on fixed
// inputs made in this program, and every output value goes into the family's hash in a fixed
// order (output_hash.h). Every build of the tree must print the same lines: the test compares
// them with expected.txt beside this file (compare.cmake). Uses the C runtime only, so that it
// builds and runs wherever the toolkit does.
//
// Output: one line per family, its name and the hash in 16 hexadecimal digits.
#include <stdio.h>

#include "families.h"

namespace {

const struct {
  const char* name;
  void (*run)(OutputHash& out);
} families[] = {
    {"cr_exp", hash_cr_exp},
    {"cr_log", hash_cr_log},
    {"cr_sin", hash_cr_sin},
    {"cr_cos", hash_cr_cos},
    {"cr_expf", hash_cr_expf},
    {"cr_logf", hash_cr_logf},
    {"sort", hash_sort},
    {"sort2", hash_sort2},
    {"heap_sort", hash_heap_sort},
    {"kth_smallest", hash_kth_smallest},
    {"kth_smallest_u16", hash_kth_smallest_u16},
    {"log_gamma", hash_log_gamma},
    {"gammq", hash_gammq},
    {"incomplete_beta", hash_incomplete_beta},
    {"complementary_error_function", hash_complementary_error_function},
    {"ks_probability", hash_ks_probability},
    {"correlation_probability", hash_correlation_probability},
    {"t_probability", hash_t_probability},
    {"f_probability", hash_f_probability},
    {"correlation_for_probability", hash_correlation_for_probability},
    {"t_for_probability", hash_t_for_probability},
    {"f_for_probability", hash_f_for_probability},
    {"rayleigh_quantile", hash_rayleigh_quantile},
    {"mean_and_variance", hash_mean_and_variance},
    {"t_statistics", hash_t_statistics},
    {"correlation", hash_correlation},
    {"running_updates", hash_running_updates},
    {"spearman_rank_correlation", hash_spearman_rank_correlation},
    {"ks_two_sample_statistic", hash_ks_two_sample_statistic},
    {"uniform_deviate", hash_uniform_deviate},
    {"normal_deviate", hash_normal_deviate},
    {"complex_fft", hash_complex_fft},
    {"real_fft", hash_real_fft},
    {"complex_fft_nd", hash_complex_fft_nd},
    {"real_fft_3d", hash_real_fft_3d},
    {"fit_line", hash_fit_line},
    {"gaussj", hash_gaussj},
    {"levenberg_marquardt", hash_levenberg_marquardt},
    {"svd_decompose", hash_svd_decompose},
    {"svd_least_squares_fit", hash_svd_least_squares_fit},
    {"jacobi", hash_jacobi},
    {"matrix_helpers", hash_matrix_helpers},
    {"svd_pseudo_inverse", hash_svd_pseudo_inverse},
};

}  // namespace

int main() {
  for (const auto& family : families) {
    OutputHash out;
    family.run(out);
    const uint64_t hash = out.value();
    printf("%s %08lx%08lx\n", family.name, static_cast<unsigned long>(hash >> 32),
           static_cast<unsigned long>(hash & 0xffffffff));
  }
  return 0;
}
