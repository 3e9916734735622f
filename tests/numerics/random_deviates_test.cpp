#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fatal.h"
#include "numerics/statistics.h"

using namespace numerics;

// The generators keep process-wide state: what a fresh process gives is checked in a child
// started anew (death-test style "threadsafe"), which prints what it saw and exits with 0.

namespace {

const float first_of_seed_one = 0.41599935f;

[[noreturn]] void report_and_exit(const char* text) {
  fputs(text, stderr);
  exit(0);
}

[[noreturn]] void first_five_deviates_of_seed_minus_one() {
  int seed = -1;
  char text[200];
  int length = 0;
  for (int i = 0; i < 5; ++i) length += snprintf(text + length, sizeof text - length, "%.8g ", uniform_deviate(&seed));
  snprintf(text + length, sizeof text - length, "%d", seed);
  report_and_exit(text);
}

[[noreturn]] void first_deviate_of_a_positive_seed() {
  int seed = 987654;
  char text[40];
  snprintf(text, sizeof text, "%.8g", uniform_deviate(&seed));
  report_and_exit(text);
}

// v2 f comes first, v1 f on the next call, which draws nothing; a restart of the uniform
// sequence does not clear the spare.
[[noreturn]] void normal_pair_order() {
  int seed = -1;
  const float first = normal_deviate(&seed);
  const int seed_after_pair = seed;
  int other_seed = -5;
  const float second = normal_deviate(&other_seed);
  const bool drew_nothing = other_seed == -5 && seed == seed_after_pair;

  seed = -1;
  const float v1 = static_cast<float>(2.0 * uniform_deviate(&seed) - 1.0);
  const float v2 = static_cast<float>(2.0 * uniform_deviate(&seed) - 1.0);
  const float s = v1 * v1 + v2 * v2;  // 0.69: the first pair is accepted
  const float f = static_cast<float>(std::sqrt(-2.0 * std::log(s) / s));
  char text[120];
  snprintf(text, sizeof text, "%d %d %d %d", s < 1.0f, drew_nothing, first == v2 * f, second == v1 * f);
  report_and_exit(text);
}

}  // namespace

TEST(RandomDeviatesFreshProcess, SeedMinusOneGivesTheDocumentedSequence) {
  numerics_test::run_death_tests_in_fresh_children();
  EXPECT_EXIT(first_five_deviates_of_seed_minus_one(), ::testing::ExitedWithCode(0),
              "^0.41599935 0.091964893 0.75641048 0.52970022 0.93043649 1399125485$");
}

TEST(RandomDeviatesFreshProcess, APositiveFirstSeedStartsFromOne) {
  numerics_test::run_death_tests_in_fresh_children();
  EXPECT_EXIT(first_deviate_of_a_positive_seed(), ::testing::ExitedWithCode(0), "^0.41599935$");
}

TEST(RandomDeviatesFreshProcess, NormalDeviatesComeSecondOfThePairFirst) {
  numerics_test::run_death_tests_in_fresh_children();
  EXPECT_EXIT(normal_pair_order(), ::testing::ExitedWithCode(0), "^1 1 1 1$");
}

TEST(UniformDeviate, RestartsOnlyOnSeedsAtOrBelowZero) {
  int seed = -1;
  EXPECT_EQ(uniform_deviate(&seed), first_of_seed_one);
  int positive = 1;  // a later positive seed continues the shared table
  EXPECT_NE(uniform_deviate(&positive), first_of_seed_one);
  int zero = 0;  // 0 restarts as if the seed were 1
  EXPECT_EQ(uniform_deviate(&zero), first_of_seed_one);
  int lowest = INT_MIN;  // no positive negation: starts from 1
  EXPECT_EQ(uniform_deviate(&lowest), first_of_seed_one);
}

TEST(UniformDeviate, SeedOfMinusModulusGivesZeroThenRestarts) {
  int seed = -2147483647;
  EXPECT_EQ(uniform_deviate(&seed), 0.0f);
  EXPECT_EQ(seed, 0);
  EXPECT_EQ(uniform_deviate(&seed), first_of_seed_one);
}
