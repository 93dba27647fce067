// skininfo on each kind of broken skin folder a skin author or a download leaves behind: its exit
// status (2 for a folder the program refuses before reading, 1 for problems, 0 for none) and
// the line that says what is wrong, by section and key where there is one.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/FileSystem.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sSkinFolder.h"
#include "tests/skin/data/MasterBitmaps.h"

namespace {

using testskins::MasterBitmap;

namespace fs = std::filesystem;

struct TRun {
  int Status = -1;
  std::string Output;  // standard output and error together
};

TRun RunSkininfo(const std::string& argument) {
  TRun run;
  const std::string command = std::string("'") + DS_SKININFO + "' '" + argument + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.Output.append(buffer, n);
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

class SkinInfoKindsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("skininfo-kinds-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "Skins");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Skins() const { return root_.string() + "/Skins/"; }
  std::string Write(const std::string& path, const std::string& bytes) {
    const fs::path p = root_ / path;
    fs::create_directories(p.parent_path());
    EXPECT_TRUE(WriteFileBytes(p.string(), bytes)) << path;
    return p.string();
  }
  fs::path root_;
};

// Window parts, frame and mask lines that are all there: a skin without problems to start from.
// (The master bitmap named in "GLOBALINFO" also counts as a mask of its own bitmap.)
const std::string kMaster = "[GLOBALINFO]\nMASTERBITMAP=Master.bmp\n";
const std::string kWhole = kMaster +
                           "[FORM]\nCOLOR=255\nBICONCLOSE=#(0,0,60,20),3,0\n"
                           "[COMBOBOX]\nGLYPHMASK=#(0,20,30,30),3,0\n"
                           "[SCROLLBTNLEFT]\nGLYPHMASK=#(0,30,30,40),3,0\n"
                           "[SCROLLBTNRIGHT]\nGLYPHMASK=#(0,30,30,40),3,0\n"
                           "[SCROLLSLIDERH]\nBORDERSMASK=#(0,40,30,50),3,0\n";

TEST_F(SkinInfoKindsTest, EachKindOfFolderHasItsStatusAndItsLine) {
  const std::string master = MasterBitmap(300, 150, 300);  // no transparent pixel
  struct TCase {
    const char* Folder;
    std::vector<std::pair<std::string, std::string>> Files;  // a name ending in "/" is a folder
    int Status;
    std::vector<std::string> Lines;  // each must be in the output
  };
  std::string huge = kWhole;
  huge.resize(static_cast<std::size_t>(kMaxOptionsBytes) + 1, ';');
  std::string sixteen = kWhole;
  sixteen.resize(static_cast<std::size_t>(kMaxOptionsBytes), ';');
  const std::vector<TCase> cases = {
      {"Whole", {{"Master.bmp", master}, {"Options.dat", kWhole}}, 0, {"encoding:      code page 1251"}},
      // Refused before anything is read.
      {"No options", {{"Master.bmp", master}}, 2, {"has no \"Options.dat\" file"}},
      {"Options folder", {{"Master.bmp", master}, {"Options.dat/", ""}}, 2, {"\"Options.dat\" in the folder", "is a folder, not a file"}},
      {"Huge", {{"Master.bmp", master}, {"Options.dat", huge}}, 2, {"is larger than 16 MB (16777217 bytes) and is not read"}},
      {"Sixteen", {{"Master.bmp", master}, {"Options.dat", sixteen}}, 0, {"sections:      6"}},
      // Read as the editor saved it.
      {"Utf16 little", {{"Master.bmp", master}, {"Options.dat", Utf16(kWhole, false)}}, 0,
       {"encoding:      UTF-16 little-endian", "sections:      6 (6 named)", "masks:         6"}},
      {"Utf16 big", {{"Master.bmp", master}, {"Options.dat", Utf16(kWhole, true)}}, 0,
       {"encoding:      UTF-16 big-endian", "sections:      6 (6 named)"}},
      {"Utf8", {{"Master.bmp", master}, {"Options.dat", "\xEF\xBB\xBF" + kWhole}}, 0, {"encoding:      UTF-8"}},
      // Problems, by section and key.
      {"Bad number", {{"Master.bmp", master}, {"Options.dat", kWhole + "[BUTTON]\nBORDERSMASK=#(x,0,30,20),3,1\n"}}, 1,
       {"loading stopped: Options.dat, [BUTTON] BORDERSMASK: 'x' is not a valid integer value"}},
      {"Old", {{"Master.bmp", master}, {"Options.dat", kWhole + "[TSEDIT]\nCOLOR=1\n"}}, 1, {"old-format skin folder"}},
      {"No caption",
       {{"Master.bmp", MasterBitmap(2400, 150, 0)}, {"Options.dat", kWhole + "[FORM]\nBORDERSMASK=#(0,0,2400,150),1,0\n"}},
       1,
       {"[FORM] BORDERSMASK: the window's region would leave no visible pixel of its caption"}},
      {"No close button",
       {{"Master.bmp", MasterBitmap(300, 150, 200)}, {"Options.dat", kWhole + "[FORM]\nBORDERSMASK=#(0,0,300,150),1,0\n"}},
       1,
       {"[FORM] BORDERSMASK: the window's region would leave no visible pixel of its close button"}},
      {"Parts missing",
       {{"Master.bmp", master},
        {"Options.dat", kMaster + "[FORM]\nBICONCLOSE=#(0,0,2,20),3,0\n[COMBOBOX]\nCOLOR=1\n[SCROLLBTNLEFT]\nCOLOR=1\n[SCROLLBTNRIGHT]\nGLYPHMASK=#(0,30,30,40),3,0\n"
                                  "[SCROLLSLIDERH]\nBORDERSMASK=#(0,40,30,50),3,10\n"}},
       1,
       {"[FORM] BICONCLOSE: an empty mask (its images are 0 x 20 pixels), so the window lacks the close button",
        "[COMBOBOX] GLYPHMASK: no mask, so the window lacks the drop-down glyph of the lists",
        "[SCROLLBTNLEFT] GLYPHMASK: no mask, so the window lacks the scroll bars' left arrow",
        "[SCROLLSLIDERH] BORDERSMASK: an empty mask (its images are 10 x 0 pixels"}},
      {"Partly outside", {{"Master.bmp", master}, {"Options.dat", kWhole + "[EDIT]\nBORDERSMASK=#(290,0,320,20),1,0\n"}}, 1,
       {"[EDIT] BORDERSMASK: mask rectangle #(290,0,320,20),1,0 is not inside the 300 x 150 master bitmap"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Folder);
    const std::string folder = Skins() + c.Folder + "/";
    fs::create_directories(folder);
    for (const auto& [name, bytes] : c.Files) {
      if (name.ends_with("/")) {
        fs::create_directories(folder + name);
      } else {
        ASSERT_TRUE(WriteFileBytes(folder + name, bytes));
      }
    }
    const TRun run = RunSkininfo(folder);
    EXPECT_EQ(run.Status, c.Status) << run.Output;
    for (const std::string& line : c.Lines) EXPECT_NE(run.Output.find(line), std::string::npos) << line << "\n" << run.Output;
    if (c.Status == 0) {
      EXPECT_EQ(run.Output.find("problem:"), std::string::npos) << run.Output;
    }
  }
}

// A link is followed: to a file inside the skin directory it is the skin's own file, to one
// outside it the folder is refused.
TEST_F(SkinInfoKindsTest, AnOptionsLinkOutOfTheSkinDirectoryIsRefused) {
  const std::string master = MasterBitmap(300, 150, 300);
  const std::string outside = Write("Elsewhere/Options.dat", kWhole);
  const std::string inside = Write("Skins/Shared/Options.dat", kWhole);
  for (const char* folder : {"Linked out", "Linked in"}) Write(std::string("Skins/") + folder + "/Master.bmp", master);
  fs::create_symlink(outside, Skins() + "Linked out/Options.dat");
  fs::create_symlink(inside, Skins() + "Linked in/Options.dat");
  // A folder that is itself a link out of the skin directory.
  fs::create_directory_symlink(root_ / "Elsewhere", Skins() + "Folder link");

  TRun out = RunSkininfo(Skins() + "Linked out");
  EXPECT_EQ(out.Status, 2) << out.Output;
  EXPECT_NE(out.Output.find("leads out of the skin directory"), std::string::npos) << out.Output;
  out = RunSkininfo(Skins() + "Folder link");
  EXPECT_EQ(out.Status, 2) << out.Output;
  EXPECT_NE(out.Output.find("leads out of the skin directory"), std::string::npos) << out.Output;
  const TRun in = RunSkininfo(Skins() + "Linked in");
  EXPECT_EQ(in.Status, 0) << in.Output;
}

}  // namespace
