// The window definition text: values of every kind, nesting, and the errors a broken text gives.
#include <gtest/gtest.h>

#include "framework/core/Definition.h"

TEST(Definition, ReadsValuesOfEveryKindAndNestedComponents) {
  const TDefObject root = ParseDefinition(
      "# a comment line\n"
      "Form1: TForm1 {\n"
      "  Left = 191\n"
      "  Top = -5\n"
      "  Color = 0xCAAB77\n"
      "  Caption = \"Расчет \\\"x\\\"\\r\\n\\\\\"\n"
      "  Font.Style = [fsBold, fsItalic]\n"
      "  BorderSides = []\n"
      "  Items.Strings = (\"320x240\", \"1 секунда\")\n"
      "  OnClick = Button1Click\n"
      "  Label1: TLabel {\n"
      "    Caption = \"a\"\n"
      "  }\n"
      "  Button1: TButton {\n"
      "  }\n"
      "}\n");
  EXPECT_EQ(root.Name, "Form1");
  EXPECT_EQ(root.ClassName, "TForm1");
  ASSERT_EQ(root.Properties.size(), 8u);
  EXPECT_EQ(root.Properties[0].Value.Integer, 191);
  EXPECT_EQ(root.Properties[1].Value.Integer, -5);
  EXPECT_EQ(root.Properties[2].Value.Integer, 0xCAAB77);
  EXPECT_EQ(root.Properties[3].Value.Kind, TDefValue::TKind::String);
  EXPECT_EQ(root.Properties[3].Value.Text, "Расчет \"x\"\r\n\\");
  EXPECT_EQ(root.Properties[4].Name, "Font.Style");
  EXPECT_EQ(root.Properties[4].Value.Items, (std::vector<std::string>{"fsBold", "fsItalic"}));
  EXPECT_EQ(root.Properties[5].Value.Kind, TDefValue::TKind::Set);
  EXPECT_TRUE(root.Properties[5].Value.Items.empty());
  EXPECT_EQ(root.Properties[6].Value.Items, (std::vector<std::string>{"320x240", "1 секунда"}));
  EXPECT_EQ(root.Properties[7].Value.Kind, TDefValue::TKind::Identifier);
  EXPECT_EQ(root.Properties[7].Value.Text, "Button1Click");
  EXPECT_EQ(root.Properties[7].Line, 10);
  ASSERT_EQ(root.Children.size(), 2u);
  EXPECT_EQ(root.Children[0].Name, "Label1");
  EXPECT_EQ(root.Children[0].Properties[0].Value.Text, "a");
  EXPECT_EQ(root.Children[1].ClassName, "TButton");
  EXPECT_EQ(root.Children[1].Line, 14);
}

TEST(Definition, BrokenTextsNameTheirLine) {
  struct TCase {
    const char* Text;
    const char* Line;
  };
  const TCase cases[] = {
      {"", "line 1"},
      {"Form1 TForm1 {\n}\n", "line 1"},
      {"Form1: TForm1 {\n  Left = \n}\n", "line 2"},
      {"Form1: TForm1 {\n  Left 3\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Caption = \"open\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Caption = \"\\q\"\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Left = 99999999999\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Left = 1 2\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Items = (\"a\" \"b\")\n}\n", "line 2"},
      {"Form1: TForm1 {\n  Items = (a)\n}\n", "line 2"},
      {"Form1: TForm1 {\n  A: TLabel {\n  }\n  Left = 1\n}\n", "line 4"},
      {"Form1: TForm1 {\n  Left = 1\n", "line 3"},
      {"Form1: TForm1 {\n}\nForm2: TForm2 {\n}\n", "line 3"},
  };
  for (const TCase& c : cases) {
    try {
      ParseDefinition(c.Text);
      ADD_FAILURE() << "accepted: " << c.Text;
    } catch (const EReadError& error) {
      EXPECT_NE(std::string(error.what()).find(c.Line), std::string::npos) << c.Text << " -> " << error.what();
    }
  }
}
