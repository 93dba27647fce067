#include "skin/data/sStoredSkin.h"

#include "framework/core/FileSystem.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "skin/data/sImageCodecs.h"
#include "skin/data/sIniChain.h"
#include "skin/data/sSkinFolder.h"

int TsStoredSkins::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if ((*this)[i].Name == name) return i;
  return -1;
}

// [SECTION] Stored form -----------------------------------------------------------------------

namespace {

constexpr std::uint32_t kStoredVersion = 1;

class Writer {
 public:
  void U8(std::uint8_t v) { out_ += static_cast<char>(v); }
  void U32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_ += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void Str(std::string_view s) {
    U32(static_cast<std::uint32_t>(s.size()));
    out_.append(s);
  }
  void Image(const TPixelImage& img) {
    if (img.Empty()) {
      U32(0);
    } else {
      Str(WriteBmp(const_cast<TPixelImage&>(img).View()));
    }
  }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// Every read checks what is left; the first short read fails the whole stream.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return ok_; }
  std::uint8_t U8() {
    if (!Need(1)) return 0;
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  std::uint32_t U32() {
    if (!Need(4)) return 0;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_++])) << (8 * i);
    return v;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  bool Bool() { return U8() != 0; }
  TsControlBevel Bevel() {
    const std::uint8_t v = U8();
    return v <= cbLoweredHard ? static_cast<TsControlBevel>(v) : cbNone;
  }
  std::string Str() {
    const std::uint32_t n = U32();
    if (!Need(n)) return {};
    std::string s(bytes_.substr(pos_, n));
    pos_ += n;
    return s;
  }
  // A count of items, each taking at least `minBytes`: a count the rest cannot hold fails.
  std::uint32_t Count(std::uint32_t minBytes) {
    const std::uint32_t n = U32();
    if (static_cast<std::uint64_t>(n) * minBytes > bytes_.size() - pos_) ok_ = false;
    return ok_ ? n : 0;
  }
  void Image(TPixelImage& img) {
    const std::string bmp = Str();
    if (!ok_ || bmp.empty()) {
      img.Resize(0, 0);
      return;
    }
    if (!ReadBmp(bmp, img)) ok_ = false;
  }

 private:
  bool Need(std::uint64_t n) {
    if (!ok_ || n > bytes_.size() - pos_) ok_ = false;
    return ok_;
  }
  std::string_view bytes_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string WriteStoredSkins(const TsStoredSkins& skins) {
  Writer w;
  w.U8('D');
  w.U8('S');
  w.U8('S');
  w.U8('K');
  w.U32(kStoredVersion);
  w.U32(static_cast<std::uint32_t>(skins.Count()));
  for (int s = 0; s < skins.Count(); ++s) {
    const TsStoredSkin& skin = skins[s];
    w.Str(skin.Name);
    w.U32(static_cast<std::uint32_t>(skin.GeneralData.Count()));
    for (int i = 0; i < skin.GeneralData.Count(); ++i) {
      const TsSkinGeneral& g = skin.GeneralData[i];
      w.Str(g.SectionName);
      w.Str(g.ParentClass);
      w.I32(g.Color);
      w.U8(g.Bevel);
      w.I32(g.ShadowBlur);
      w.I32(g.ShadowColor);
      w.Bool(g.ShadowDontUse);
      w.Bool(g.ShadowEnabled);
      w.Bool(g.ReservedBoolean);
      w.I32(g.ShadowOffset);
      w.I32(g.ShadowTransparency);
      w.Str(g.FontColor);
      w.Str(g.HotFontColor);
      w.I32(g.Transparency);
      w.I32(g.GradientPercent);
      w.Str(g.GradientData);
      w.I32(g.ImagePercent);
      w.Bool(g.ShowFocus);
      w.Bool(g.FadingEnabled);
      w.I32(g.FadingIntervalIn);
      w.I32(g.FadingIntervalOut);
      w.I32(g.FadingIterations);
      w.I32(g.HotColor);
      w.I32(g.HotTransparency);
      w.U8(g.HotBevel);
      w.I32(g.HotGradientPercent);
      w.Str(g.HotGradientData);
      w.I32(g.HotImagePercent);
      w.I32(g.BorderColor1);
      w.I32(g.BorderColor2);
      w.Str(g.Name);
    }
    w.U32(static_cast<std::uint32_t>(skin.Images.Count()));
    for (int i = 0; i < skin.Images.Count(); ++i) {
      const TsSkinImage& m = skin.Images[i];
      w.Str(m.SectionName);
      w.Image(m.Image);
      w.Str(m.Name);
      w.Str(m.PropertyName);
      for (std::int32_t v : {m.Left, m.Top, m.Right, m.Bottom, m.ImageCount, m.MaskType, m.BorderWidth}) w.I32(v);
    }
    w.U32(static_cast<std::uint32_t>(skin.Patterns.Count()));
    for (int i = 0; i < skin.Patterns.Count(); ++i) {
      const TsSkinPattern& p = skin.Patterns[i];
      w.Str(p.SectionName);
      w.Str(p.Image.Data);
      w.Str(p.Name);
      w.Str(p.PropertyName);
    }
    w.Image(skin.MasterBitmap);
  }
  return w.Take();
}

bool ReadStoredSkins(std::string_view bytes, TsStoredSkins& skins, std::string* reason) {
  skins.Clear();
  Reader r(bytes);
  const bool magic = r.U8() == 'D' && r.U8() == 'S' && r.U8() == 'S' && r.U8() == 'K';
  if (!magic || r.U32() != kStoredVersion) {
    if (reason != nullptr) *reason = "not a stored skin collection of this version";
    return false;
  }
  const std::uint32_t skinCount = r.Count(4 * 5);
  for (std::uint32_t s = 0; s < skinCount && r.Ok(); ++s) {
    TsStoredSkin& skin = skins.Add();
    skin.Name = r.Str();
    const std::uint32_t generals = r.Count(4 * 25);
    for (std::uint32_t i = 0; i < generals && r.Ok(); ++i) {
      TsSkinGeneral& g = skin.GeneralData.Add();
      g.SectionName = r.Str();
      g.ParentClass = r.Str();
      g.Color = r.I32();
      g.Bevel = r.Bevel();
      g.ShadowBlur = r.I32();
      g.ShadowColor = r.I32();
      g.ShadowDontUse = r.Bool();
      g.ShadowEnabled = r.Bool();
      g.ReservedBoolean = r.Bool();
      g.ShadowOffset = r.I32();
      g.ShadowTransparency = r.I32();
      g.FontColor = r.Str();
      g.HotFontColor = r.Str();
      g.Transparency = r.I32();
      g.GradientPercent = r.I32();
      g.GradientData = r.Str();
      g.ImagePercent = r.I32();
      g.ShowFocus = r.Bool();
      g.FadingEnabled = r.Bool();
      g.FadingIntervalIn = r.I32();
      g.FadingIntervalOut = r.I32();
      g.FadingIterations = r.I32();
      g.HotColor = r.I32();
      g.HotTransparency = r.I32();
      g.HotBevel = r.Bevel();
      g.HotGradientPercent = r.I32();
      g.HotGradientData = r.Str();
      g.HotImagePercent = r.I32();
      g.BorderColor1 = r.I32();
      g.BorderColor2 = r.I32();
      g.Name = r.Str();
    }
    const std::uint32_t images = r.Count(4 * 11);
    for (std::uint32_t i = 0; i < images && r.Ok(); ++i) {
      TsSkinImage& m = skin.Images.Add();
      m.SectionName = r.Str();
      r.Image(m.Image);
      m.Name = r.Str();
      m.PropertyName = r.Str();
      m.Left = r.I32();
      m.Top = r.I32();
      m.Right = r.I32();
      m.Bottom = r.I32();
      m.ImageCount = r.I32();
      m.MaskType = r.I32();
      m.BorderWidth = r.I32();
    }
    const std::uint32_t patterns = r.Count(4 * 4);
    for (std::uint32_t i = 0; i < patterns && r.Ok(); ++i) {
      TsSkinPattern& p = skin.Patterns.Add();
      p.SectionName = r.Str();
      p.Image.Data = r.Str();
      p.Name = r.Str();
      p.PropertyName = r.Str();
    }
    r.Image(skin.MasterBitmap);
  }
  if (!r.Ok()) {
    skins.Clear();
    if (reason != nullptr) *reason = "stored skins cut short or damaged";
    return false;
  }
  return true;
}

// [SECTION] Importing a skin folder -----------------------------------------------------------

void TsStoredSkin::LoadFromIni(TsSkinGenerals& generals, const TMemIniFile& ini) {
  TsIniChain chain(ini);
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& s : sections.Items()) {
    TsSkinGeneral& g = generals.Add();
    g.SectionName = s;
    g.ParentClass = ini.ReadString(s, "PARENTCLASS", "");
    g.Color = chain.Int(s, "COLOR", 0xFFFFFF);
    g.Bevel = BevelFromInt(chain.Int(s, "BEVEL", cbNone));
    g.ShadowBlur = chain.Int(s, "SHADOWBLUR", 6);
    g.ShadowOffset = chain.Int(s, "SHADOWOFFSET", 3);
    g.ShadowColor = ini.ReadInteger(s, "SHADOWCOLOR", 0);
    g.ShadowTransparency = chain.Int(s, "SHADOWTRANSPARENCY", 60);
    g.ShadowEnabled = chain.Bool(s, "SHADOWENABLED", false);
    g.ReservedBoolean = chain.Bool(s, "RESERVEDBOOLEAN", false);
    g.FontColor = chain.Str(s, "FONTCOLOR", "0") + " " + chain.Str(s, "TCLEFT", "-1") + " " +
                  chain.Str(s, "TCTOP", "-1") + " " + chain.Str(s, "TCRIGHT", "-1") + " " +
                  chain.Str(s, "TCBOTTOM", "-1");
    g.HotFontColor = chain.Str(s, "HOTFONTCOLOR", "0") + " " + chain.Str(s, "HOTTCLEFT", "-1") + " " +
                     chain.Str(s, "HOTTCTOP", "-1") + " " + chain.Str(s, "HOTTCRIGHT", "-1") + " " +
                     chain.Str(s, "HOTTCBOTTOM", "-1");
    g.Transparency = chain.Int(s, "TRANSPARENCY", 0);
    g.GradientPercent = chain.Int(s, "GRADIENTPERCENT", 0);
    g.GradientData = chain.Str(s, "GRADIENTDATA", " ");
    g.ImagePercent = chain.Int(s, "IMAGEPERCENT", 0);
    g.ShowFocus = chain.Bool(s, "SHOWFOCUS", false);
    g.FadingEnabled = chain.Bool(s, "FADINGENABLED", false);
    g.FadingIntervalIn = chain.Int(s, "FADINGINTERVALIN", 5);
    g.FadingIntervalOut = chain.Int(s, "FADINGINTERVALOUT", 5);
    g.FadingIterations = chain.Int(s, "FADINGITERATIONS", 5);
    g.HotColor = chain.Int(s, "HOTCOLOR", 0xFFFFFF);
    g.HotTransparency = chain.Int(s, "HOTTRANSPARENCY", 0);
    g.HotBevel = BevelFromInt(chain.Int(s, "HOTBEVEL", cbNone));
    g.HotGradientPercent = chain.Int(s, "HOTGRADIENTPERCENT", 0);
    g.HotGradientData = chain.Str(s, "HOTGRADIENTDATA", " ");
    g.HotImagePercent = chain.Int(s, "HOTIMAGEPERCENT", 0);
    g.BorderColor1 = chain.Int(s, "BORDERCOLOR1", 0);
    g.BorderColor2 = chain.Int(s, "BORDERCOLOR2", 0);
  }
}

std::string TsStoredSkin::LoadSkin(const TMemIniFile& ini) {
  GeneralData.Clear();
  LoadFromIni(GeneralData, ini);
  Images.Clear();
  Patterns.Clear();  // a second import replaces the patterns instead of doubling them
  const std::string folder = FolderOfFile(ini.FileName());
  const std::string master = ini.ReadString("GLOBALINFO", "MASTERBITMAP", "");
  if (!master.empty()) {
    const std::string path = SkinFilePath(folder, master);
    if (FileExists(path)) LoadBmpFile(path, MasterBitmap);
  }
  TStringList sections;
  ini.ReadSections(sections);
  for (const auto& s : sections.Items())
    if (UpperCase(s) == "TSEDIT") return kOldFormatMessage;

  for (const auto& s : sections.Items()) {
    TStringList keys;
    ini.ReadSection(s, keys);
    for (const auto& k : keys.Items()) {
      const std::string v = ini.ReadString(s, k, "-");
      if (v.find('#') != std::string::npos) {
        if (v == "#") continue;
        const TsMaskLine line = ParseMaskLine(v);
        TsSkinImage& m = Images.Add();
        m.SectionName = UpperCase(s);
        m.PropertyName = UpperCase(k);
        m.Left = line.R.Left;
        m.Top = line.R.Top;
        m.Right = line.R.Right;
        m.Bottom = line.R.Bottom;
        m.ImageCount = line.ImageCount;
        m.MaskType = line.MaskType;
        m.BorderWidth = line.BorderWidth;
      } else if (UpperCase(v).find(".BMP") != std::string::npos) {
        const std::string path = SkinFilePath(folder, v);
        if (!FileExists(path)) continue;
        TsSkinImage& m = Images.Add();
        m.Name = FileNamePart(v);
        m.SectionName = s;
        m.PropertyName = k;
        LoadBmpFile(path, m.Image);
        if (m.Image.Width() < 1) Images.Delete(Images.Count() - 1);
      }
    }
  }
  for (const auto& s : sections.Items()) {
    TStringList keys;
    ini.ReadSection(s, keys);
    for (const auto& k : keys.Items()) {
      const std::string v = ini.ReadString(s, k, "-");
      const std::string upper = UpperCase(v);
      if (upper.find(".JPG") == std::string::npos && upper.find(".JPEG") == std::string::npos) continue;
      const std::string path = SkinFilePath(folder, v);
      auto bytes = ReadFileBytes(path);
      if (!bytes) continue;
      TPixelImage probe;
      if (!ReadJpeg(*bytes, probe) || probe.Width() < 1) continue;
      TsSkinPattern& p = Patterns.Add();
      p.Name = FileNamePart(v);
      p.Image.Data = std::move(*bytes);
      p.SectionName = s;
      p.PropertyName = k;
    }
  }
  return {};
}
