#pragma once
// Skin folders made to cost the loader as much as possible for their size: one very long value,
// deep and looping parent chains, very many sections, masks and common sections. The stress
// test loads each and checks what it holds; bench/loadbench loads them at doubling sizes and
// prints how the time grows. `n` is the size knob of each kind.
#include <string>
#include <utility>
#include <vector>

#include "framework/core/FileSystem.h"
#include "framework/core/StringList.h"
#include "skin/data/sImageCodecs.h"

namespace hostile {

enum class TKind {
  kLongGradient,
  kLongMaskLine,
  kDeepChain,
  kLoopChain,
  kManySections,
  kManyMasks,
  kManyCommonSections,
  kOnePictureManyTimes
};

struct TKindInfo {
  TKind Kind;
  const char* Id;    // a name for test lists
  const char* Name;  // what it is
  int Size;  // a size that makes a file of about a megabyte
};

inline const std::vector<TKindInfo>& Kinds() {
  static const std::vector<TKindInfo> kinds = {
      {TKind::kLongGradient, "LongGradient", "gradient of n steps on one line", 40000},
      {TKind::kLongMaskLine, "LongMaskLine", "mask line padded with n blanks", 1000000},
      {TKind::kDeepChain, "DeepChain", "parent chain n sections deep", 20000},
      {TKind::kLoopChain, "LoopChain", "parent loop of n sections", 20000},
      {TKind::kManySections, "ManySections", "n sections with a mask each", 20000},
      {TKind::kManyMasks, "ManyMasks", "n masks in one section", 30000},
      {TKind::kManyCommonSections, "ManyCommonSections", "n common sections, each the parent of the next", 20000},
      {TKind::kOnePictureManyTimes, "OnePictureManyTimes", "one 1000 x 1000 JPEG named n times", 3000},
  };
  return kinds;
}

inline std::string Num(int i) { return std::to_string(i); }

// The text of "Options.dat" (and, for common sections, the lines given to the manager).
struct TSkinText {
  std::string Options;
  TStringList Common;
  std::vector<std::pair<std::string, std::string>> Files;  // further files: name, bytes
};

inline TSkinText Make(TKind kind, int n) {
  TSkinText t;
  std::string& o = t.Options;
  o = "[GLOBALINFO]\r\nMASTERBITMAP=Master.bmp\r\nCOLOR=7\r\n";
  switch (kind) {
    case TKind::kLongGradient:
      o += "[FORM]\r\nGRADIENTDATA=";
      for (int i = 0; i < n; ++i) o += Num(i) + ";" + Num(i + 1) + ";" + Num(i % 300) + ";1;0;";
      o += "\r\nHOTGRADIENTDATA=" + std::string(static_cast<std::size_t>(n), ';') + "1;2;3;4;5\r\n";
      break;
    case TKind::kLongMaskLine:
      o += "[FORM]\r\nBORDERSMASK=#(" + std::string(static_cast<std::size_t>(n), ' ') + "1,2,30,20),3,1,4\r\n";
      break;
    case TKind::kDeepChain:
      // S0 holds the values; every other section inherits them through all its ancestors. The
      // deepest is EDIT, whose border mask is S0's.
      o += "[S0]\r\nCOLOR=1234\r\nGRADIENTDATA=1;2;3;0;0\r\nSHOWFOCUS=TRUE\r\nBORDERSMASK=#(0,0,30,20),3,1\r\n";
      for (int i = 1; i < n - 1; ++i) o += "[S" + Num(i) + "]\r\nPARENTCLASS=S" + Num(i - 1) + "\r\n";
      o += "[EDIT]\r\nPARENTCLASS=S" + Num(n - 2) + "\r\n";
      break;
    case TKind::kLoopChain:
      // L0 -> L1 -> ... -> L(n-1) -> L0; one member in the middle holds a colour; a tail section
      // leads into the loop.
      for (int i = 0; i < n; ++i) {
        o += "[L" + Num(i) + "]\r\nPARENTCLASS=L" + Num((i + 1) % n) + "\r\n";
        if (i == n / 2) o += "COLOR=42\r\n";
      }
      o += "[SCROLLBTNTOP]\r\nPARENTCLASS=L0\r\n";
      break;
    case TKind::kManySections:
      for (int i = 0; i < n; ++i)
        o += "[SECTION" + Num(i) + "]\r\nCOLOR=" + Num(i) + "\r\nBORDERSMASK=#(0,0,3,3),1,0\r\n";
      break;
    case TKind::kManyMasks:
      o += "[FORM]\r\n";
      for (int i = 0; i < n; ++i) o += "M" + Num(i) + "=#(" + Num(i % 30) + ",0,31,20),1,0\r\n";
      break;
    case TKind::kManyCommonSections:
      o += "[PANEL]\r\nCOLOR=99\r\n";
      t.Common.Add("[C0]");
      t.Common.Add("PARENTCLASS=PANEL");
      for (int i = 1; i < n; ++i) {
        t.Common.Add("[C" + Num(i) + "]");
        t.Common.Add("PARENTCLASS=C" + Num(i - 1));
        t.Common.Add("TRANSPARENCY=" + Num(i % 100));
      }
      break;
    case TKind::kOnePictureManyTimes: {
      // A plain grey picture compresses to little; each name of it would be a picture of 3 MB.
      TPixelImage picture(1000, 1000);
      const TPixelView v = picture.View();
      for (int y = 0; y < v.Height; ++y)
        for (int x = 0; x < v.Width; ++x) v.Pixel(x, y)[0] = v.Pixel(x, y)[1] = v.Pixel(x, y)[2] = 128;
      t.Files.emplace_back("BIG.JPG", WriteJpeg(picture.View(), 50));
      o += "[FORM]\r\n";
      for (int i = 0; i < n; ++i) o += "P" + Num(i) + "=big.jpg\r\n";
      break;
    }
  }
  return t;
}

// Writes the folder (`folder` ends in a separator) with a 40 x 30 master bitmap.
inline bool WriteFolder(const std::string& folder, const TSkinText& text) {
  bool ok = ForceDirectories(folder) && WriteFileBytes(folder + "Master.bmp", WriteBmp(TPixelImage(40, 30).View())) &&
            WriteFileBytes(folder + "Options.dat", text.Options);
  for (const auto& [name, bytes] : text.Files) ok = ok && WriteFileBytes(folder + name, bytes);
  return ok;
}

}  // namespace hostile
