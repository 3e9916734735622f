// One function per toolkit family: each runs the family's routines on fixed inputs and adds
// every output value to the hash, in a fixed order. Grouped by subsystem, one source file each.
#ifndef REPRODUCIBILITY_FAMILIES_H
#define REPRODUCIBILITY_FAMILIES_H

#include "output_hash.h"

// elementary.cpp
void hash_cr_exp(OutputHash& out);
void hash_cr_log(OutputHash& out);
void hash_cr_sin(OutputHash& out);
void hash_cr_cos(OutputHash& out);
void hash_cr_expf(OutputHash& out);
void hash_cr_logf(OutputHash& out);

// sorting.cpp
void hash_sort(OutputHash& out);
void hash_sort2(OutputHash& out);
void hash_heap_sort(OutputHash& out);
void hash_kth_smallest(OutputHash& out);
void hash_kth_smallest_u16(OutputHash& out);

// special_functions.cpp
void hash_log_gamma(OutputHash& out);
void hash_gammq(OutputHash& out);
void hash_incomplete_beta(OutputHash& out);
void hash_complementary_error_function(OutputHash& out);
void hash_ks_probability(OutputHash& out);

// significance.cpp
void hash_correlation_probability(OutputHash& out);
void hash_t_probability(OutputHash& out);
void hash_f_probability(OutputHash& out);
void hash_correlation_for_probability(OutputHash& out);
void hash_t_for_probability(OutputHash& out);
void hash_f_for_probability(OutputHash& out);
void hash_rayleigh_quantile(OutputHash& out);

// sample_statistics.cpp
void hash_mean_and_variance(OutputHash& out);
void hash_t_statistics(OutputHash& out);
void hash_correlation(OutputHash& out);
void hash_running_updates(OutputHash& out);
void hash_spearman_rank_correlation(OutputHash& out);
void hash_ks_two_sample_statistic(OutputHash& out);

// random_deviates.cpp
void hash_uniform_deviate(OutputHash& out);
void hash_normal_deviate(OutputHash& out);

// fourier.cpp
void hash_complex_fft(OutputHash& out);
void hash_real_fft(OutputHash& out);
void hash_complex_fft_nd(OutputHash& out);
void hash_real_fft_3d(OutputHash& out);

// fitting.cpp
void hash_fit_line(OutputHash& out);
void hash_gaussj(OutputHash& out);
void hash_levenberg_marquardt(OutputHash& out);

// linear_algebra.cpp
void hash_svd_decompose(OutputHash& out);
void hash_svd_least_squares_fit(OutputHash& out);
void hash_jacobi(OutputHash& out);
void hash_matrix_helpers(OutputHash& out);
void hash_svd_pseudo_inverse(OutputHash& out);

#endif
