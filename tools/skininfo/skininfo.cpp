// skininfo: a checker for skin authors. Loads a stored skin (by name) or a skin folder (by
// path) with the loaders the program uses, prints what it holds, how long the load took and
// every problem an author should fix.
//
//   skininfo NAME-OR-FOLDER            summary and problems
//   skininfo NAME --extract DIR        writes the stored skin NAME as a folder inside DIR
//   skininfo --help                    this usage
//
// Exit status: 0 loaded without problems, 1 loaded with problems, 2 could not be loaded (or
// a wrong command line). On Linux the files of a folder are found whatever the case of their
// names, as on Windows, so that only real problems are reported.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "framework/core/Exceptions.h"
#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "resources/skins/StoredSkins.h"
#include "skin/data/sSkinData.h"
#include "skin/data/sSkinFolder.h"
#include "skin/data/sSkinLoad.h"
#include "skin/data/sSkinLookup.h"
#include "skin/data/sStoredSkin.h"
#include "skin/paint/sFrameRegion.h"
#include "tools/console/Console.h"

namespace {

// The command line as UTF-8, whatever the system's code page is.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(bytes > 0 ? bytes - 1 : 0), '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
    args.push_back(arg);
  }
  LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

constexpr const char* kUsage =
    "usage: skininfo NAME-OR-FOLDER\n"
    "       skininfo NAME --extract DIR\n"
    "       skininfo --help\n"
    "\n"
    "Checks a stored skin (by its name, such as \"BlueGlass (internal)\") or a skin folder (by\n"
    "its path, holding Options.dat) with the program's own loaders: prints its sections, masks,\n"
    "patterns and master bitmap, how long the load took, and every problem a skin author\n"
    "should fix. --extract writes a stored skin as the folder \"NAME extracted\" inside DIR,\n"
    "making DIR first when it does not exist.\n"
    "File names in a folder match whatever their case, as on Windows.\n"
    "\n"
    "Exit status:\n"
    "  0  loaded, no problems\n"
    "  1  loaded, problems listed\n"
    "  2  not loadable: no such skin or folder, an Options.dat that is missing, a folder,\n"
    "     a link out of the folder's parent or larger than 16 MB, or a wrong command line\n";

int Usage() {
  ConsolePrintf(stderr, "%s", kUsage);
  return 2;
}

// Masks cut from the master bitmap must lie inside it.
void CheckRectangles(std::vector<std::string>& problems) {
  for (const auto& m : ma) {
    if (m.Bmp) continue;
    const TRect& r = m.R;
    if (!MasterBitmap) {
      problems.push_back("[" + m.ClassName + "] " + m.PropertyName + ": a mask rectangle without a master bitmap");
    } else if (r.Left < 0 || r.Top < 0 || r.Right > MasterBitmap->Width() || r.Bottom > MasterBitmap->Height() ||
               r.Left >= r.Right || r.Top >= r.Bottom) {
      problems.push_back("[" + m.ClassName + "] " + m.PropertyName + ": mask rectangle " + FormatMaskLine(r, m.ImageCount, m.MaskType, m.BorderWidth) +
                         " is not inside the " + std::to_string(MasterBitmap->Width()) + " x " +
                         std::to_string(MasterBitmap->Height()) + " master bitmap");
    }
  }
}

// The parts of the calculator's window that are drawn from a mask of their section: a skin that
// has the section but not the mask (or an empty one) leaves the window without the part. A skin
// without the section at all leaves that control unskinned, which is no mistake.
void CheckWindowParts(std::vector<std::string>& problems) {
  struct TPart {
    const char* What;
    const char* Section;
    const char* Key;
  };
  static constexpr TPart kParts[] = {
      {"the close button", "FORM", "BICONCLOSE"},
      {"the drop-down glyph of the lists", "COMBOBOX", "GLYPHMASK"},
      {"the scroll bars' left arrow", "SCROLLBTNLEFT", "GLYPHMASK"},
      {"the scroll bars' right arrow", "SCROLLBTNRIGHT", "GLYPHMASK"},
      {"the scroll bars' slider", "SCROLLSLIDERH", "BORDERSMASK"},
  };
  for (const TPart& part : kParts) {
    const std::string where = std::string("[") + part.Section + "] " + part.Key + ": ";
    const std::int32_t section = GetSkinIndex(part.Section);
    if (!IsValidSkinIndex(section)) continue;
    const std::int32_t index = GetMaskIndex(section, part.Section, part.Key);
    if (!IsValidImgIndex(index)) {
      problems.push_back(where + "no mask, so the window lacks " + part.What);
      continue;
    }
    // One state image, as the controls cut it.
    const TsMaskData& m = ma[static_cast<std::size_t>(index)];
    const std::int32_t w = m.Bmp ? m.Bmp->Width() / 3 : WidthOf(m.R) / std::max<std::int32_t>(m.ImageCount, 1);
    const std::int32_t h = m.Bmp ? m.Bmp->Height() / 2 : HeightOf(m.R) / (m.MaskType + 1);
    if (w <= 0 || h <= 0)
      problems.push_back(where + "an empty mask (its images are " + std::to_string(std::max(w, 0)) + " x " +
                         std::to_string(std::max(h, 0)) + " pixels), so the window lacks " + part.What);
  }
}

// The calculator's window: a client area of 735 x 187 in a dialog frame, with the system's
// usual metrics (a 3-pixel border, a 19-pixel caption).
constexpr TsFrameGeometry kCalculatorFrame{741, 212, 23, 3, 3, 19, true};

// A frame region that cuts away the whole caption or the close button leaves the user nothing
// to choose another skin with; the program refuses such a skin.
void CheckFrameRegion(std::vector<std::string>& problems) {
  const std::string hidden = HiddenFramePart(kCalculatorFrame, "FORM");
  if (!hidden.empty())
    problems.push_back("[FORM] BORDERSMASK: the window's region would leave no visible pixel of its " + hidden + " (in a " +
                       std::to_string(kCalculatorFrame.Width) + " x " + std::to_string(kCalculatorFrame.Height) +
                       " window); the program refuses this skin");
}

// Parent chains of loaded sections that come back to themselves.
void CheckParentLoops(std::vector<std::string>& problems) {
  for (std::size_t i = 0; i < gd.size(); ++i) {
    std::vector<std::int32_t> seen = {static_cast<std::int32_t>(i)};
    std::int32_t at = static_cast<std::int32_t>(i);
    while (true) {
      const std::string parent = gd[static_cast<std::size_t>(at)].ParentClass;
      if (parent.empty() || SameText(parent, gd[static_cast<std::size_t>(at)].ClassName)) break;
      const std::int32_t next = GetSkinIndex(parent);
      if (next < 0) break;
      if (std::find(seen.begin(), seen.end(), next) != seen.end()) {
        problems.push_back("[" + gd[i].ClassName + "] parent chain loops back to a section already visited");
        break;
      }
      seen.push_back(next);
      at = next;
    }
  }
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    ConsolePrintf(stdout, "%s", kUsage);
    return 0;
  }
  TsStoredSkins skins;
  if (!LoadStoredSkins(skins)) {
    ConsolePrintf(stderr, "skininfo: the program's stored skins are damaged\n");
    return 2;
  }
  const std::string& target = args[0];
  if (args.size() == 3 && args[1] == "--extract") {
    // The folder to extract into is made first, with any missing folders above it, so that
    // "--extract c:\Skins" works on a system that has none yet. Only for a skin that exists:
    // a wrong name writes nothing.
    const std::string& destination = args[2];
    if (skins.IndexOf(target) >= 0 && !DirectoryExists(destination) && !ForceDirectories(destination)) {
      ConsolePrintf(stderr, "skininfo: Directory %s creation error.\n", destination.c_str());
      return 2;
    }
    const std::string error = ExtractInternalSkin(skins, target, destination);
    if (!error.empty()) {
      ConsolePrintf(stderr, "skininfo: %s\n", error.c_str());
      return 2;
    }
    ConsolePrintf(stdout, "extracted \"%s\" into \"%s\"\n", target.c_str(), destination.c_str());
    return 0;
  }
  if (args.size() != 1) return Usage();

  std::vector<std::string> problems;
  TsSkinSource source;
  source.Problems = &problems;
  source.InternalSkins = &skins;
  const bool folder = DirectoryExists(target);
  if (folder) {
    // Checked as the program checks a folder of its skin directory: here the folder's parent.
    std::string path = target;
    while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const std::size_t cut = path.find_last_of("\\/");
    const std::string parent = cut == std::string::npos ? "." : path.substr(0, cut == 0 ? 1 : cut);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    std::string fault = SkinFolderFault(parent, name);
    if (fault.empty() && !FileExists(path + "\\Options.dat")) fault = "the folder " + target + " has no \"Options.dat\" file";
    if (!fault.empty()) {
      ConsolePrintf(stderr, "skininfo: %s\n", fault.c_str());
      return 2;
    }
    SelectSkinFolder(path + "\\");
  } else if (skins.IndexOf(target) < 0) {
    ConsolePrintf(stderr, "skininfo: no stored skin and no folder named \"%s\"\n", target.c_str());
    return 2;
  } else {
    source.SkinName = target;
  }

  // A conversion error stops one loader, as it stops the program's; the others still run.
  // The time is that of a skin change: the loaders and the cached indexes.
  const auto start = std::chrono::steady_clock::now();
  for (auto* load : {&LoadAllMasks, &LoadAllPatterns, &LoadAllGeneralData}) {
    try {
      load(source);
    } catch (const EConvertError& e) {
      problems.push_back("loading stopped: " + DescribeSkinLoadError(e));
    }
  }
  InitConstantIndexes();
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (!folder) {
    CheckRectangles(problems);
    CheckParentLoops(problems);
  }
  CheckWindowParts(problems);
  CheckFrameRegion(problems);

  std::size_t named = 0;
  for (const auto& g : gd) named += g.ClassName.empty() ? 0 : 1;
  ConsolePrintf(stdout, "skin:          %s (%s)\n", target.c_str(), folder ? "skin folder" : "stored skin");
  if (folder) ConsolePrintf(stdout, "encoding:      %s\n", IniEncodingName(sSkinData->SkinFile->Encoding()));
  ConsolePrintf(stdout, "sections:      %zu (%zu named)\n", gd.size(), named);
  ConsolePrintf(stdout, "masks:         %zu\n", ma.size());
  ConsolePrintf(stdout, "patterns:      %zu\n", pa.size());
  if (MasterBitmap) {
    ConsolePrintf(stdout, "master bitmap: %d x %d\n", MasterBitmap->Width(), MasterBitmap->Height());
  } else {
    ConsolePrintf(stdout, "master bitmap: none\n");
  }
  ConsolePrintf(stdout, "load time:     %.1f ms\n", took.count());
  for (const auto& p : problems) ConsolePrintf(stdout, "problem: %s\n", p.c_str());
  return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(Arguments(argc, argv));
  } catch (const std::exception& e) {
    ConsolePrintf(stderr, "skininfo: %s\n", e.what());
  } catch (...) {
    ConsolePrintf(stderr, "skininfo: unexpected failure\n");
  }
  return 2;
}
