#include "harness.h"

#include <map>
#include <random>
#include <set>
#include <utility>

namespace {

std::vector<bench::Entry>& registry() {
  static std::vector<bench::Entry> all;
  return all;
}

std::map<std::string, std::size_t>& index_by_name() {
  static std::map<std::string, std::size_t> index;
  return index;
}

constexpr double default_min_time = 0.1;

}  // namespace

const std::vector<bench::Entry>& bench::entries() { return registry(); }

const bench::Entry* bench::find_entry(const std::string& name) {
  const auto found = index_by_name().find(name);
  return found == index_by_name().end() ? nullptr : &registry()[found->second];
}

std::string bench::copy_name(std::size_t bytes) { return "copy/memcpy/" + std::to_string(bytes); }

void bench::add(const std::string& routine, const std::string& implementation, const std::string& size,
                std::size_t refill_bytes, std::function<void(benchmark::State&)> body, double calls_per_iteration) {
  const std::string name = routine + "/" + implementation + "/" + size;
  index_by_name()[name] = registry().size();
  registry().push_back({routine, implementation, size, refill_bytes, calls_per_iteration});
  benchmark::RegisterBenchmark(name.c_str(), std::move(body))->MinTime(default_min_time);
}

void bench::add_copy_baselines() {
  std::set<std::size_t> sizes;
  for (const Entry& e : registry())
    if (e.refill_bytes > 0) sizes.insert(e.refill_bytes);
  for (const std::size_t bytes : sizes) {
    add("copy", "memcpy", std::to_string(bytes), 0, [bytes](benchmark::State& state) {
      std::vector<unsigned char> input(bytes, 1), work(bytes);
      run(state, {{work.data(), input.data(), bytes}}, [] {});
    });
  }
}

void bench::record(benchmark::State& state, const Counts& before) {
  const Counts after = counts();
  const double iterations = static_cast<double>(state.iterations());
  state.counters["allocations"] = static_cast<double>(after.allocations - before.allocations) / iterations;
  state.counters["sines"] = static_cast<double>(after.sines - before.sines) / iterations;
}

const std::vector<float>& bench::random_values(std::size_t n, unsigned seed) {
  static std::map<std::pair<std::size_t, unsigned>, std::vector<float>> cache;
  std::vector<float>& values = cache[{n, seed}];
  if (values.size() != n) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    values.resize(n);
    for (float& v : values) v = uniform(generator);
  }
  return values;
}
