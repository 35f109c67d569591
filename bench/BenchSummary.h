#pragma once

// A console reporter that also keeps each run's time and counters, so that a
// benchmark program can print its comparisons after the usual output. Of a
// repeated run it keeps the median and the slowest repetition: a user meets
// the slow runs too.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

class BenchSummary : public benchmark::ConsoleReporter
{
public:
    BenchSummary() : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    // The name of a statistic that a benchmark can add with
    // ->ComputeStatistics(BenchSummary::kWorst, BenchSummary::Worst): its
    // slowest repetition, which a program that shows only the aggregates
    // would otherwise never see.
    static constexpr const char* kWorst = "max";
    static double Worst(const std::vector<double>& v)
    {
        double worst = 0;
        for (double x : v)
            worst = x > worst ? x : worst;
        return worst;
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            // The name as registered, without the repetition count.
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name.append("/").append(run.run_name.args);
            // In milliseconds whatever unit the run printed in.
            const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const bool single = run.run_type == Run::RT_Iteration;
            if (single || run.aggregate_name == kWorst) {
                double& worst = m_worstTimes[name];
                worst = std::max(worst, run.GetAdjustedRealTime() * toMs);
            }
            // A run repeated on a busy machine is summed up by its median,
            // which comes after the single runs and takes their place.
            if (!single && run.aggregate_name != "median")
                continue;
            m_times[name] = run.GetAdjustedRealTime() * toMs;
            m_cpuTimes[name] = run.GetAdjustedCPUTime() * toMs;
            for (const auto& [counterName, counter] : run.counters)
                m_counters[name][counterName] = counter.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Real time per iteration in milliseconds; 0 for a run that did not happen.
    double Time(const std::string& name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0 : it->second;
    }

    // The slowest single run's real time in milliseconds; 0 for a run that
    // did not happen.
    double WorstTime(const std::string& name) const
    {
        const auto it = m_worstTimes.find(name);
        return it == m_worstTimes.end() ? 0 : it->second;
    }

    // The thread's processor time (user and system) per iteration in
    // milliseconds: on a shared machine, the work itself without the waits
    // for a processor.
    double CpuTime(const std::string& name) const
    {
        const auto it = m_cpuTimes.find(name);
        return it == m_cpuTimes.end() ? 0 : it->second;
    }

    // A counter's value; 0 when the run or the counter is missing.
    double Counter(const std::string& name, const std::string& counter) const
    {
        const auto it = m_counters.find(name);
        if (it == m_counters.end())
            return 0;
        const auto c = it->second.find(counter);
        return c == it->second.end() ? 0 : c->second;
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_worstTimes;
    std::map<std::string, double> m_cpuTimes;
    std::map<std::string, std::map<std::string, double>> m_counters;
};
