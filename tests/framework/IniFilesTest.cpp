// The in-memory ini file, the string list and the text helpers they rely on.
#include <gtest/gtest.h>

#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFiles.h"
#include "framework/core/StrUtils.h"
#include "framework/core/StringList.h"

namespace {

TEST(IniFile, ManySpellingsOfOneFileReadTheSame) {
  const char* spellings[] = {
      "[Edit]\r\nColor=255\r\nParentClass=PANEL\r\n[panel]\r\nColor=$FF00\r\n",
      "; comment\nstray=line before any section\n[EDIT]\ncolor = 255\nPARENTCLASS= PANEL \n\n[PANEL]\nCOLOR=0xff00\n",
      "  [edit]  \r  COLOR=255\r  no equals sign here\r  ;COLOR=1\r  parentclass=PANEL\r[Panel]\rcolor=65280\r",
      "[EDIT]\nCOLOR=255\nPARENTCLASS=PANEL\nCOLOR=7\n[PANEL]\nCOLOR=65280\n[edit]\nCOLOR=9\n",
  };
  for (const char* text : spellings) {
    SCOPED_TRACE(text);
    TMemIniFile ini;
    ini.SetText(text);
    TStringList sections;
    ini.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_TRUE(SameText(sections[0], "EDIT"));
    EXPECT_TRUE(SameText(sections[1], "PANEL"));
    TStringList keys;
    ini.ReadSection("edit", keys);
    ASSERT_EQ(keys.Count(), 2);
    EXPECT_TRUE(SameText(keys[0], "COLOR"));
    EXPECT_EQ(ini.ReadInteger("EDIT", "color", -1), 255);
    EXPECT_EQ(ini.ReadString("Edit", "ParentClass", "?"), "PANEL");
    EXPECT_EQ(ini.ReadInteger("panel", "COLOR", -1), 0xFF00);
    EXPECT_EQ(ini.ReadString("EDIT", "missing", "-"), "-");
    EXPECT_EQ(ini.ReadString("missing", "COLOR", "-"), "-");
  }
}

TEST(IniFile, ValuesOfEachKind) {
  TMemIniFile ini;
  ini.SetText(
      "[S]\nneg=-5\nhex=$FFFFFFFF\nbig=2147483648\nblank=\ntext=a=b\nyes=true\nno=FALSE\none=1\n"
      "junk=12x\nver=2.5\nverComma=1,25\n");
  EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -5);
  EXPECT_EQ(ini.ReadInteger("S", "hex", 0), -1);  // hex colours wrap to 32 bits
  EXPECT_EQ(ini.ReadInteger("S", "big", 7), 7);   // beyond 32 bits: unreadable
  EXPECT_EQ(ini.ReadInteger("S", "blank", 7), 7);
  EXPECT_EQ(ini.ReadInteger("S", "junk", 7), 7);
  EXPECT_EQ(ini.ReadString("S", "blank", "-"), "");
  EXPECT_EQ(ini.ReadString("S", "text", ""), "a=b");
  EXPECT_TRUE(ini.ReadBool("S", "yes", false));
  EXPECT_FALSE(ini.ReadBool("S", "no", true));
  EXPECT_TRUE(ini.ReadBool("S", "one", false));
  EXPECT_TRUE(ini.ReadBool("S", "junk", true));
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "ver", 0), 2.5);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "verComma", 0), 1.25);
  EXPECT_DOUBLE_EQ(ini.ReadFloat("S", "junk", 3), 3);
}

TEST(IniFile, WritesKeepOrderAndRoundTripThroughBothEncodings) {
  TMemIniFile ini;
  ini.WriteString("Форма", "Заголовок", "Расчет");
  ini.WriteInteger("Форма", "COLOR", 255);
  ini.WriteBool("B", "ON", true);
  ini.WriteInteger("ФОРМА", "color", 7);  // same key, other case: replaced in place
  const std::string bytes = ini.ToBytes();
  EXPECT_EQ(bytes.substr(0, 3), "[\xD4\xEE");  // code page 1251 on disk
  TMemIniFile back;
  back.LoadFromBytes(bytes);
  EXPECT_EQ(back.GetStrings(), ini.GetStrings());
  EXPECT_EQ(back.ReadString("форма", "заголовок", ""), "Расчет");
  EXPECT_EQ(back.ReadInteger("Форма", "Color", 0), 7);

  // A character outside code page 1251 switches the file to UTF-8 rather than losing it.
  ini.WriteString("B", "Text", "snow \u2744");
  const std::string utf8 = ini.ToBytes();
  EXPECT_TRUE(StartsWithUtf8Bom(utf8));
  back.LoadFromBytes(utf8);
  EXPECT_EQ(back.ReadString("B", "TEXT", ""), "snow \u2744");
}

// The same file saved in each encoding an editor offers; the UTF-16 bytes are written out by
// hand: "[Ф]" is 5B 00 24 04 5D 00 little-endian.
TEST(IniFile, EachEncodingWithItsMarkReadsTheSameText) {
  auto utf16 = [](std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
      const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
      bytes += bigEndian ? high : low;
      bytes += bigEndian ? low : high;
    }
    return bytes;
  };
  const std::u16string text = u"[\u0424]\r\nCOLOR=255\r\nTEXT=\u0420\u0430\u0441\u0447\u0435\u0442\r\n";
  EXPECT_EQ(utf16(u"[\u0424]", false), std::string("\xFF\xFE\x5B\x00\x24\x04\x5D\x00", 8));
  struct TCase {
    std::string Bytes;
    TIniEncoding Encoding;
  };
  const TCase cases[] = {
      {"[\xD4]\r\nCOLOR=255\r\nTEXT=\xD0\xE0\xF1\xF7\xE5\xF2\r\n", TIniEncoding::ieCp1251},
      {"\xEF\xBB\xBF[\u0424]\r\nCOLOR=255\r\nTEXT=\u0420\u0430\u0441\u0447\u0435\u0442\r\n", TIniEncoding::ieUtf8},
      {utf16(text, false), TIniEncoding::ieUtf16LE},
      {utf16(text, true), TIniEncoding::ieUtf16BE},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(IniEncodingName(c.Encoding));
    TMemIniFile ini;
    ini.LoadFromBytes(c.Bytes);
    EXPECT_EQ(ini.Encoding(), c.Encoding);
    EXPECT_TRUE(ini.SectionExists("ф"));
    EXPECT_EQ(ini.ReadInteger("Ф", "color", 0), 255);
    EXPECT_EQ(ini.ReadString("Ф", "TEXT", ""), "Расчет");
  }
  // Beyond the basic plane, lone surrogates and an odd last byte.
  EXPECT_EQ(Utf16ToUtf8(std::string("\x3D\xD8\x00\xDE", 4), false), "\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(std::string("\x00\xDE" "x\x00" "\x3D\xD8", 6), false), "\uFFFDx\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::string("A\x00" "B", 3), false), "A");
}

TEST(IniFile, EraseAndDeleteKeepLookupsRight) {
  TMemIniFile ini;
  ini.SetText("[A]\nx=1\ny=2\n[B]\nz=3\n");
  ini.DeleteKey("a", "X");
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  EXPECT_EQ(ini.ReadString("A", "y", ""), "2");
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_EQ(ini.ReadString("B", "z", ""), "3");
}

TEST(CodePage, Cp1251CoversTheRussianAlphabetBothWays) {
  std::string all;
  for (int b = 0x20; b < 0x100; ++b) all += static_cast<char>(b);
  const std::string utf8 = Cp1251ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1251(utf8), all);
  EXPECT_EQ(Cp1251ToUtf8("\xC0\xFF\xA8\xB8"), "АяЁё");
  EXPECT_FALSE(Utf8ToCp1251("\xE2\x9D\x84").has_value());  // not in the code page
  EXPECT_FALSE(Utf8ToCp1251("\xD0").has_value());          // cut UTF-8
}

TEST(StrUtils, WordsNumbersAndCase) {
  struct WordCase {
    const char* text;
    const char* separators;
    int count;
    const char* second;
  };
  const WordCase words[] = {
      {"0 -1 -1 -1 -1", " ", 5, "-1"}, {"0  -1 -1 -1 -1", " ", 5, "-1"}, {" ;1;;2;3;4;5; ", ";", 7, "1"},
      {"", ";", 0, ""},                {"#(63,72,126,114),3,1", " ()", 3, "63,72,126,114"},
  };
  for (const auto& w : words) {
    SCOPED_TRACE(w.text);
    EXPECT_EQ(WordCount(w.text, w.separators), w.count);
    EXPECT_EQ(ExtractWord(2, w.text, w.separators), w.second);
    EXPECT_EQ(ExtractWord(w.count + 1, w.text, w.separators), "");
  }
  EXPECT_EQ(ParseInt("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseInt("2147483648").has_value());
  EXPECT_FALSE(ParseInt("0x").has_value());
  EXPECT_FALSE(ParseInt(" 1").has_value());
  EXPECT_FALSE(ParseInt("$10", false).has_value());
  EXPECT_THROW(DecimalStrToInt("1 2"), EConvertError);
  EXPECT_EQ(UpperCase("Skin ёлка"), "SKIN ЁЛКА");
  EXPECT_LT(CompareText("beta", "BlueGlass"), 0);
  EXPECT_LT(CompareText("BlueGlass (internal)", "Zeta"), 0);
}

TEST(StringList, SortIsCaseInsensitiveAndTextSplitsEveryLineEnd) {
  TStringList list;
  list.SetText("Zeta\r\nbeta\nAlpha\rgamma");
  ASSERT_EQ(list.Count(), 4);
  list.Sort();
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"Alpha", "beta", "gamma", "Zeta"}));
  EXPECT_EQ(list.IndexOf("ZETA"), 3);
  EXPECT_EQ(list.Text(), "Alpha\r\nbeta\r\ngamma\r\nZeta\r\n");
}

}  // namespace
