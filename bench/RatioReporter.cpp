#include "RatioReporter.h"

#include <cstdio>

namespace {
// "Group/variant/args" -> {"Group", "variant", "args"}
struct NameParts {
    std::string group, variant, args;
};

NameParts split(const std::string& name)
{
    NameParts parts;
    const auto first = name.find('/');
    if (first == std::string::npos) {
        parts.group = name;
        return parts;
    }
    parts.group = name.substr(0, first);
    const auto second = name.find('/', first + 1);
    parts.variant = name.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (second != std::string::npos)
        parts.args = name.substr(second + 1);
    // A fixed number of runs says how a figure was taken, not what was measured:
    // a baseline run fewer times still belongs to its group.
    if (parts.args.rfind("iterations:", 0) == 0)
        parts.args.clear();
    return parts;
}
}

bool RatioReporter::ReportContext(const Context& context)
{
    std::printf("%d cores at %.0f MHz\n", context.cpu_info.num_cpus, context.cpu_info.cycles_per_second / 1e6);
    return true;
}

void RatioReporter::ReportRuns(const std::vector<Run>& reports)
{
    for (const Run& run : reports) {
        if (run.error_occurred)
            continue;
        const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        m_rows.push_back({run.benchmark_name(), seconds * 1e3, run.report_label});
    }
}

void RatioReporter::Finalize()
{
    std::map<std::string, double> baselines;
    for (const Row& row : m_rows) {
        const NameParts parts = split(row.name);
        if (parts.variant == "baseline")
            baselines[parts.group + "|" + parts.args] = row.ms;
    }
    std::printf("\n%-58s %12s %12s  %s\n", "benchmark", "time (ms)", "speed-up", "note");
    std::printf("%s\n", std::string(100, '-').c_str());
    for (const Row& row : m_rows) {
        const NameParts parts = split(row.name);
        const auto base = baselines.find(parts.group + "|" + parts.args);
        char ratio[32] = "-";
        if (parts.variant == "baseline")
            std::snprintf(ratio, sizeof ratio, "1.00x");
        else if (base != baselines.end() && row.ms > 0)
            std::snprintf(ratio, sizeof ratio, "%.2fx", base->second / row.ms);
        std::printf("%-58s %12.3f %12s  %s\n", row.name.c_str(), row.ms, ratio, row.label.c_str());
    }
}
