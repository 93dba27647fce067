// planbench: a site of many camera groups for `storagecalc plan`, and how long reading it and
// working out its figures take in this process.
//
//   planbench OUT.json [GROUPS]     (GROUPS defaults to 10000)
//
// writes the plan (groups of both kinds, every frame size and codec that shows an amount, every
// key of a group in use) to OUT.json and prints the median of five rounds of ReadSitePlan and
// SiteFigures. The whole command, start-up and output included, is timed from
// outside: farm-bench -- storagecalc plan OUT.json (and under Wine, tools/wine-run storagecalc.exe).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "calc/SitePlan.h"
#include "framework/core/FileSystem.h"
#include "tools/storagecalc/PlanFile.h"

namespace {

std::string MakePlan(int groups) {
  std::string json = "{\"groups\": [\n";
  int grid = 0;
  for (int i = 0; i < groups; ++i) {
    std::string group = "  {\"name\": \"group " + std::to_string(i) + "\", \"count\": " + std::to_string(1 + i % 16);
    if (i % 2 == 0) {
      group += ", \"bitrate\": \"" + std::to_string(1 + i % 8) + "." + std::to_string(i % 10) + " Mbit/s\"";
    } else {
      // The next grid cell that shows an amount at this frame rate.
      for (;; ++grid) {
        const int size = grid % kFrameSizeCount, column = 1 + grid / kFrameSizeCount % kColumnCount;
        const TColourMode mode = grid / (kFrameSizeCount * kColumnCount) % 2 == 0 ? cmBlackWhite : cmColour;
        const int fps = 1 + grid % 5;
        const int limit = LimitLookup(size, column, mode);
        if (!GridCoefficient(size, column, mode) || (limit != 0 && limit < fps)) continue;
        group += ", \"frame_size\": \"" + std::string(FrameSizeText(size)) + "\", \"codec\": \"" +
                 std::string(CodecCaption(column)) + "\", \"colour\": " + (mode == cmColour ? "true" : "false") +
                 ", \"fps\": " + std::to_string(fps);
        ++grid;
        break;
      }
    }
    group += ", \"hours_per_day\": " + std::to_string(1 + i % 24) + ", \"motion_percent\": " + std::to_string(1 + i % 100) +
             ", \"retention_days\": " + std::to_string(1 + i % 90) + "}";
    json += group + (i + 1 == groups ? "\n" : ",\n");
  }
  return json + "],\n \"disks\": {\"size\": \"18T\", \"count\": 3000, \"raid\": \"6\", \"free_percent\": 5}}\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: planbench OUT.json [GROUPS]\n");
    return 2;
  }
  const int groups = argc == 3 ? std::max(1, std::atoi(argv[2])) : 10000;
  const std::string json = MakePlan(groups);
  if (!WriteFileBytes(argv[1], json)) {
    std::fprintf(stderr, "planbench: cannot write %s\n", argv[1]);
    return 1;
  }
  std::vector<double> ms;
  std::string days;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const TSitePlan plan = ReadSitePlan(json);
    const TSiteFigures figures = SiteFigures(plan);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    days = figures.DaysHeld.ToString();
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: %d groups, %zu bytes; read and figured in %.1f ms (median of 5; %.1f to %.1f); the disks hold %s days\n",
              argv[1], groups, json.size(), ms[2], ms.front(), ms.back(), days.c_str());
  return 0;
}
