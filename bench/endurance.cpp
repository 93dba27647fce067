// The endurance run on the calculator window: 1,000 skin switches, 1,000 calculations, 1,000
// scroll steps and 100 openings of the system menu, in rounds (bench/Endurance.h), after a
// warm-up. Prints the counted resources after 10 and after 1,000 rounds side by side and says
// whether anything grew: every count must be equal, private memory within 64 KiB. Exits
// non-zero when something grew or a menu did not open and close.
//
//   endurance [ROUNDS]   ROUNDS rounds (default 1000); the first count is after round 10
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchWindow.h"
#include "bench/Endurance.h"

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(11, std::atoi(argv[1])) : 1000;
  constexpr int kFirstCount = 10;
  std::printf("endurance: %d-bit, %d rounds, load before: %s\n", static_cast<int>(8 * sizeof(void*)), rounds,
              bench::MachineLoad().c_str());
  bool failed = false;
  {
    bench::TBenchWindow calculator(true);
    TForm1& form = calculator.Form();
    HWND window = calculator.Window();
    endurance::WarmUp(form);

    endurance::TEnduranceRounds run(form);
    endurance::TResourceCounts early, late;
    const double start = bench::Milliseconds();
    for (int round = 0; round < rounds; ++round) {
      run.Round(round);
      if (round + 1 == kFirstCount) early = endurance::CountResources(window);
    }
    late = endurance::CountResources(window);
    const double seconds = (bench::Milliseconds() - start) / 1000;

    std::printf("%lld skin switches, %lld calculations, %lld scroll steps, %lld menu openings (%lld closed) in %.1f s\n",
                static_cast<long long>(run.Switches), static_cast<long long>(run.Calculations),
                static_cast<long long>(run.ScrollSteps), static_cast<long long>(run.MenuOpenings),
                static_cast<long long>(run.MenusClosed()), seconds);
    std::printf("%-24s %12s %12s\n", "", ("round " + std::to_string(kFirstCount)).c_str(),
                ("round " + std::to_string(rounds)).c_str());
    const std::vector<std::string> names = endurance::CountNames();
    const std::vector<std::int64_t> a = early.Counts(), b = late.Counts();
    for (std::size_t i = 0; i < names.size(); ++i) {
      const bool grew = a[i] != b[i];
      failed |= grew;
      std::printf("%-24s %12lld %12lld%s\n", names[i].c_str(), static_cast<long long>(a[i]),
                  static_cast<long long>(b[i]), grew ? "   changed" : "");
    }
    const std::int64_t memoryGrowth = late.PrivateBytes - early.PrivateBytes;
    const bool memoryGrew = memoryGrowth > endurance::kMemorySlack;
    failed |= memoryGrew;
    std::printf("%-24s %12lld %12lld   %+lld bytes%s\n", "private memory (bytes)", static_cast<long long>(early.PrivateBytes),
                static_cast<long long>(late.PrivateBytes), static_cast<long long>(memoryGrowth),
                memoryGrew ? ", more than 64 KiB" : "");
    if (run.MenusClosed() != run.MenuOpenings) {
      std::printf("menus: %lld opened, %lld closed by the timer\n", static_cast<long long>(run.MenuOpenings),
                  static_cast<long long>(run.MenusClosed()));
      failed = true;
    }
  }
  std::printf("load after: %s\n", bench::MachineLoad().c_str());
  std::printf("%s\n", failed ? "something grew" : "nothing grew");
  return failed ? 1 : 0;
}
