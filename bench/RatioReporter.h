#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints one table after the run: each figure with its ratio to the baseline of
// its group, measured in the same run. A benchmark named "Group/baseline" (or
// "Group/baseline/args") is the baseline of every "Group/..." with the same args.
class RatioReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

private:
    struct Row {
        std::string name;
        double ms = 0;
        std::string label;
    };
    std::vector<Row> m_rows;
};
