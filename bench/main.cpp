// The benchmark program: registers every routine beside its peers, checks once that both give
// the same results, runs Google Benchmark and prints one table of the results on stdout
// (progress goes to stderr). Google Benchmark's flags apply, for instance
// --benchmark_filter=fft or --benchmark_out=results.json.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "numerics/detail/cpu_dispatch.h"

namespace {

struct Result {
  double seconds;      // CPU time per iteration
  double allocations;  // per iteration
  double sines;        // per iteration
  double slow_path;    // share of calls that took an elementary function's slow path (-1: not counted)
};

std::string format_time(double seconds) {
  const char* units[] = {"ns", "us", "ms", "s"};
  double value = seconds * 1e9;
  int unit = 0;
  while (unit < 3 && value >= 999.5) {
    value /= 1000;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text,
                value < 9.995   ? "%.2f %s"
                : value < 99.95 ? "%.1f %s"
                                : "%.0f %s",
                value, units[unit]);
  return text;
}

std::string format_count(double count) {
  char text[32];
  if (count == static_cast<double>(static_cast<long long>(count)))
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(count));
  else
    std::snprintf(text, sizeof text, "%.2f", count);
  return text;
}

std::string format_ratio(double ratio) {
  char text[32];
  std::snprintf(text, sizeof text, ratio < 9.995 ? "%.2f" : ratio < 99.95 ? "%.1f" : "%.0f", ratio);
  return text;
}

// Collects the runs, shows progress on stderr, and prints the table at the end.
class TableReporter : public benchmark::BenchmarkReporter {
 public:
  explicit TableReporter(bool checks_passed) : checks_passed_(checks_passed) {}

  bool ReportContext(const Context& context) override {
    PrintBasicContext(&GetErrorStream(), context);
    return true;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      if (run.error_occurred) {
        errors_.push_back(name + ": " + run.error_message);
        continue;
      }
      // With --benchmark_repetitions the median stands for the repetitions.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const auto counter = [&run](const char* key) {
        const auto found = run.counters.find(key);
        return found == run.counters.end() ? 0.0 : found->second.value;
      };
      const auto slow_path = run.counters.find("slow_path");
      results_[run.run_name.function_name] = {
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit), counter("allocations"),
          counter("sines"), slow_path == run.counters.end() ? -1.0 : slow_path->second.value};
      const bench::Entry* entry = bench::find_entry(run.run_name.function_name);
      if (!median && entry != nullptr) {
        std::fprintf(stderr, "[%zu] %s: %s per call\n", ++done_, run.run_name.function_name.c_str(),
                     format_time(results_[run.run_name.function_name].seconds / entry->calls_per_iteration).c_str());
      }
    }
  }

  void Finalize() override { print_table(); }

 private:
  using Row = std::vector<std::string>;

  // The time of one call, less the refill of its input.
  double per_call(const bench::Entry& entry, const Result& result) const {
    double seconds = result.seconds;
    if (entry.refill_bytes > 0) {
      const auto copy = results_.find(bench::copy_name(entry.refill_bytes));
      if (copy != results_.end())
        seconds -= copy->second.seconds;
      else
        refill_missing_ = true;
    }
    return seconds / entry.calls_per_iteration;
  }

  const Result* result_of(const bench::Entry& entry) const {
    const auto found = results_.find(entry.routine + "/" + entry.implementation + "/" + entry.size);
    return found == results_.end() ? nullptr : &found->second;
  }

  // Rows in the order the routines were registered: ours against each of its peers.
  std::vector<Row> rows() const {
    std::vector<Row> table;
    const std::vector<bench::Entry>& all = bench::entries();
    for (const bench::Entry& ours : all) {
      if (ours.implementation != "ours") continue;
      const Result* our_result = result_of(ours);
      if (our_result == nullptr) continue;
      const double our_time = per_call(ours, *our_result);
      const std::string our_allocations = format_count(our_result->allocations / ours.calls_per_iteration);
      const std::string our_sines =
          our_result->sines > 0 ? format_count(our_result->sines / ours.calls_per_iteration) : "";
      bool any_peer = false;
      for (const bench::Entry& peer : all) {
        if (peer.routine != ours.routine || peer.size != ours.size || peer.implementation == "ours") continue;
        const Result* peer_result = result_of(peer);
        if (peer_result == nullptr) continue;
        const double peer_time = per_call(peer, *peer_result);
        table.push_back({ours.routine, ours.size, peer.implementation, format_time(our_time), format_time(peer_time),
                         format_ratio(our_time / peer_time), our_allocations,
                         format_count(peer_result->allocations / peer.calls_per_iteration), our_sines});
        any_peer = true;
      }
      if (!any_peer)
        table.push_back(
            {ours.routine, ours.size, "(none)", format_time(our_time), "", "", our_allocations, "", our_sines});
    }
    return table;
  }

  void print_table() const {
    const Row header = {"routine",   "size",        "peer",        "ours",      "peer time",
                        "ours/peer", "allocs ours", "allocs peer", "sin() ours"};
    const std::vector<bool> right = {false, false, false, true, true, true, true, true, true};
    const std::vector<Row> table = rows();
    std::vector<std::size_t> widths(header.size());
    for (std::size_t c = 0; c < header.size(); ++c) {
      widths[c] = header[c].size();
      for (const Row& row : table) widths[c] = std::max(widths[c], row[c].size());
    }
    const auto print_row = [&](const Row& row) {
      std::string line = "|";
      for (std::size_t c = 0; c < row.size(); ++c) {
        const std::string pad(widths[c] - row[c].size(), ' ');
        line += " " + (right[c] ? pad + row[c] : row[c] + pad) + " |";
      }
      std::printf("%s\n", line.c_str());
    };
    std::printf("\n");
    print_row(header);
    std::string rule = "|";
    for (std::size_t c = 0; c < header.size(); ++c)
      rule += (right[c] ? std::string(widths[c] + 1, '-') + ":" : ":" + std::string(widths[c] + 1, '-')) + "|";
    std::printf("%s\n", rule.c_str());
    for (const Row& row : table) print_row(row);
    std::printf(
        "\nCPU time per call, less the time of refilling the input (a memcpy of the same bytes, timed\n"
        "in the same run); ours/peer above 1 means the toolkit is slower. Allocations: heap blocks\n"
        "requested per call; sin(): calls of the sine per transform.\n");
    if (refill_missing_) std::printf("Some refill baselines were filtered out: those times include the refill.\n");
    std::printf(checks_passed_ ? "Results agree with the peers' (checked once before timing).\n"
                               : "WARNING: some results differ from the peers' (see the messages above).\n");
    for (const std::string& error : errors_) std::printf("error: %s\n", error.c_str());
    print_slow_paths();
  }

  // The share of calls of each correctly rounded elementary function that left its fast path.
  void print_slow_paths() const {
    bool header = false;
    for (const bench::Entry& ours : bench::entries()) {
      const Result* result = ours.implementation == "ours" ? result_of(ours) : nullptr;
      if (result == nullptr || result->slow_path < 0) continue;
      if (!header) {
        std::printf(
            "\nCalls that took the slow path of a correctly rounded function, of 10^6 arguments of its range:\n");
        header = true;
      }
      std::printf("  %-8s %-16s %.0f\n", ours.routine.c_str(), ours.size.c_str(), 1e6 * result->slow_path);
    }
  }

  bool checks_passed_;
  std::size_t done_ = 0;
  std::map<std::string, Result> results_;
  std::vector<std::string> errors_;
  mutable bool refill_missing_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  static const char* const path_names[] = {"SSE2", "AVX2", "AVX-512"};
  std::printf("Vector path: %s\n", path_names[static_cast<int>(numerics::detail::active_vector_path())]);
  bench::add_sorting();
  bench::add_statistics();
  bench::add_elementary();
  bench::add_fourier();
  bench::add_fitting();
  bench::add_linear_algebra();
  bench::add_copy_baselines();

  bool checks_passed = bench::check_sorting();
  checks_passed = bench::check_statistics() && checks_passed;
  checks_passed = bench::check_elementary() && checks_passed;
  checks_passed = bench::check_fourier() && checks_passed;
  checks_passed = bench::check_fitting() && checks_passed;
  checks_passed = bench::check_linear_algebra() && checks_passed;

  TableReporter reporter(checks_passed);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
