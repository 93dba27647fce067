// loadbench: how the time to load a skin folder grows with its size. Each hostile kind of
// tests/skin/data/HostileSkins.h is written at a base size and at twice and four times that, and
// loaded as a skin change does (the three loaders, then the cached indexes, with the lookups of
// a skin announcement). Printed per kind: the best of a few loads at each size, and the ratio
// of each time to the one of half the size. A cost in proportion to the size gives about 2.
//
//   loadbench [--scale F]   base sizes times F (default 1: files of about a megabyte)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/core/FileSystem.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "tests/skin/data/HostileSkins.h"

namespace {

double LoadSeconds(const std::string& folder, const hostile::TSkinText& text) {
  TsSkinSource source;
  source.CommonSections = PrepareCommonSections(text.Common);
  const auto start = std::chrono::steady_clock::now();
  SelectSkinFolder(folder);
  LoadSkinArrays(source);
  sSkinData->Active = true;
  InitConstantIndexes();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  SelectInternalSkin();
  FreeBitmaps();
  FreeJpegs();
  gd.clear();
  sSkinData->Active = false;
  return took.count();
}

}  // namespace

int main(int argc, char** argv) {
  double scale = 1;
  if (argc == 3 && std::string(argv[1]) == "--scale") scale = std::atof(argv[2]);
  if (!(scale > 0)) {
    std::fprintf(stderr, "usage: loadbench [--scale F]\n");
    return 2;
  }
  const std::string folder = PathToUtf8(std::filesystem::temp_directory_path()) + "/ds-loadbench/";
  std::printf("%-48s %10s %10s %10s %10s %7s %7s\n", "kind", "n", "bytes", "t(n) ms", "t(4n) ms", "2n/n", "4n/2n");
  bool slow = false;
  for (const auto& kind : hostile::Kinds()) {
    const int base = std::max(1, static_cast<int>(kind.Size * scale));
    double times[3] = {};
    std::size_t bytes = 0;
    for (int k = 0; k < 3; ++k) {
      const int n = base << k;
      const hostile::TSkinText text = hostile::Make(kind.Kind, n);
      if (k == 0) bytes = text.Options.size() + text.Common.Text().size();
      std::error_code ec;
      std::filesystem::remove_all(PathFromUtf8(folder), ec);
      if (!hostile::WriteFolder(folder, text)) {
        std::fprintf(stderr, "loadbench: cannot write %s\n", folder.c_str());
        return 2;
      }
      double best = 1e30;
      for (int run = 0; run < 3; ++run) best = std::min(best, LoadSeconds(folder, text));
      times[k] = best;
    }
    const double r1 = times[1] / times[0], r2 = times[2] / times[1];
    std::printf("%-48s %10d %10zu %10.1f %10.1f %7.2f %7.2f\n", kind.Name, base, bytes, times[0] * 1e3, times[2] * 1e3, r1, r2);
    slow = slow || times[0] > 1.0;
  }
  std::error_code ec;
  std::filesystem::remove_all(PathFromUtf8(folder), ec);
  return slow ? 1 : 0;
}
