#pragma once
// The benchmarks' console report followed by the ratio of each large case to its small one, in CPU
// time (the machine may be busy with other work, which wall time would count).
#include <benchmark/benchmark.h>

#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair names a benchmark and its small and large argument, e.g. {"BM_ListPaint", {"20", "100000"}}.
    explicit RatioReporter(std::vector<std::pair<std::string, std::pair<std::string, std::string>>> pairs)
        : pairs_(std::move(pairs))
    {
    }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, sizes] : pairs_) {
            const auto small = times_.find(name + "/" + sizes.first);
            const auto large = times_.find(name + "/" + sizes.second);
            if (small != times_.end() && large != times_.end() && small->second > 0)
                std::cout << name << " ratio " << sizes.second << " rows / " << sizes.first
                          << " rows: " << large->second / small->second << "\n";
        }
    }

private:
    std::vector<std::pair<std::string, std::pair<std::string, std::string>>> pairs_;
    std::map<std::string, double> times_;
};

}  // namespace bench
