// The summary every effect benchmark prints after Google Benchmark's own table: for each
// registered case, its pixel rate (best of the repetitions) and its ratio to the "memcpy",
// "loop" and "sdl" cases of the same group (the name up to its last '/') in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

inline std::vector<std::string>& RegisteredOrder() {
    static std::vector<std::string> order;
    return order;
}

// Registers a benchmark and keeps its place in the summary.
template <class... Args>
void Register(const std::string& name, Args&&... args) {
    RegisteredOrder().push_back(name);
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...);
}

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto it = run.counters.find("items_per_second");
            if (it == run.counters.end()) continue;
            double& best = rates_[run.benchmark_name()];
            best = std::max(best, it->second.value);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nSummary (Mpx/s, best of the repetitions; ratios to the same group)\n");
        std::printf("%-28s %-7s %9s %9s %9s %9s\n", "group", "case", "Mpx/s", "x memcpy", "x loop",
                    "x sdl");
        for (const std::string& name : RegisteredOrder()) {
            if (rates_.count(name) == 0) continue;
            const std::string group = name.substr(0, name.rfind('/'));
            const auto ratio = [&](const char* base) {
                const auto b = rates_.find(group + "/" + base);
                if (b == rates_.end() || b->second <= 0) return std::string("-");
                char text[32];
                std::snprintf(text, sizeof text, "%.2f", rates_[name] / b->second);
                return std::string(text);
            };
            std::printf("%-28s %-7s %9.0f %9s %9s %9s\n", group.c_str(),
                        name.substr(name.rfind('/') + 1).c_str(), rates_[name] / 1e6,
                        ratio("memcpy").c_str(), ratio("loop").c_str(), ratio("sdl").c_str());
        }
    }

  private:
    std::map<std::string, double> rates_;
};

// Google Benchmark's main with the ratio summary; register() adds the cases.
template <class RegisterCases>
int RunWithRatios(int argc, char** argv, RegisterCases registerCases) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerCases();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
