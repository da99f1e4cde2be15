// The clocks and the side-by-side sampling the benchmarks share.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// The folder of the running benchmark program.
inline std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

// Wall clock in milliseconds.
inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

// This process's CPU time (kernel and user) in milliseconds.
inline double CpuNow() {
  FILETIME creation{}, exit{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

struct Timing {
  double wallMs = 0;
  double cpuMs = 0;
};

// Wall and CPU milliseconds per step over one sample of `repeat` steps. The
// windows paint between steps (`pump`), as they do in the program; painting
// is not part of the step and its CPU time is left out.
inline Timing Sample(const std::function<void()>& step, int repeat, void (*pump)()) {
  double spent = 0, pumpCpu = 0;
  const double cpuStart = CpuNow();
  for (int i = 0; i < repeat; ++i) {
    const double t = Now();
    step();
    spent += Now() - t;
    const double beforePump = CpuNow();
    pump();
    pumpCpu += CpuNow() - beforePump;
  }
  return {spent / repeat, (CpuNow() - cpuStart - pumpCpu) / repeat};
}

// Medians over `samples` samples of each step, the samples of the steps
// taken in turn so that all see the same load on the machine. The process
// CPU clock ticks coarsely (10 to 16 ms), so each sample runs its step often
// enough to take about 200 ms.
inline std::vector<Timing> MeasureInTurn(const std::vector<std::function<void()>>& steps, int samples, void (*pump)()) {
  std::vector<int> repeats;
  for (const auto& step : steps) {
    const double start = Now();
    step();
    pump();
    repeats.push_back(std::max(1, static_cast<int>(200.0 / std::max(Now() - start, 0.05))));
  }
  std::vector<std::vector<double>> wall(steps.size()), cpu(steps.size());
  for (int sample = 0; sample < samples; ++sample) {
    for (size_t i = 0; i < steps.size(); ++i) {
      const Timing t = Sample(steps[i], repeats[i], pump);
      wall[i].push_back(t.wallMs);
      cpu[i].push_back(t.cpuMs);
    }
  }
  std::vector<Timing> medians;
  for (size_t i = 0; i < steps.size(); ++i) medians.push_back({Median(wall[i]), Median(cpu[i])});
  return medians;
}

}  // namespace bench
