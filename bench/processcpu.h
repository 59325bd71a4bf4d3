#pragma once

// The CPU time of the whole process, every thread counted: Qt's pooled raster threads, the
// network and decoder threads. Google Benchmark's CPU column counts the main thread only, which
// hides the work a frame hands to other threads.

#include <benchmark/benchmark.h>

#include <ctime>

inline double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Started just before a benchmark's loop; reports the process CPU per iteration beside the
// benchmark's own columns, in microseconds.
class ProcessCpuPerIteration
{
public:
    void report(benchmark::State &state) const
    {
        state.counters["process_cpu_us"] = benchmark::Counter((processCpuSeconds() - m_start) * 1e6,
                                                              benchmark::Counter::kAvgIterations);
    }

private:
    double m_start = processCpuSeconds();
};
