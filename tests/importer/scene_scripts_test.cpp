#include "scene_scripts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ScriptStringEscaping, EscapesOnlyBackslashAndDoubleQuote) {
  EXPECT_EQ(escapeScriptString(L"C:\\new\\tex.tif"), L"C:\\\\new\\\\tex.tif");
  EXPECT_EQ(escapeScriptString(L"a\"b"), L"a\\\"b");
  EXPECT_EQ(escapeScriptString(L"plain name 1.tif"), L"plain name 1.tif");
  EXPECT_EQ(escapeScriptString(L""), L"");
  EXPECT_EQ(escapeScriptString(L"\u00e9t\u00e9 %n\t"), L"\u00e9t\u00e9 %n\t");
  EXPECT_EQ(escapeScriptString(L"\\\""), L"\\\\\\\"");
}

TEST(NumberList, CountsFromOneWithCommasAndNoBlanks) {
  EXPECT_EQ(numberList({}), "");
  EXPECT_EQ(numberList({0}), "1");
  EXPECT_EQ(numberList({0, 1, 4}), "1,2,5");
  EXPECT_EQ(numberList({9, 99, 2147483646}), "10,100,2147483647");
  EXPECT_EQ(numberList({2147483647}), "2147483648");
}

TEST(NumberList, LongListIsWholeAndInOrder) {
  std::vector<std::int32_t> numbers(100000);
  for (std::size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<std::int32_t>(i);
  const std::string list = numberList(numbers);
  EXPECT_EQ(list.substr(0, 8), "1,2,3,4,");
  EXPECT_EQ(list.substr(list.size() - 12), "99999,100000");
  EXPECT_EQ(std::count(list.begin(), list.end(), ','), 99999);
}

TEST(FixedScripts, TextsAreExact) {
  EXPECT_STREQ(displayGammaScript(), L"IDisplayGamma.colorCorrectionMode = #none;");
  EXPECT_STREQ(bumpMapScript(),
               L"$.material.bumpMapEnable = on; $.material.bumpMapAmount = 100; "
               L"$.material.bumpMap = Normal_Bump ();");
}

TEST(NormalMapScript, PathStandsBetweenQuotesEscaped) {
  EXPECT_EQ(normalMapScript(L"D:/maps/head_NM.tif"),
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"D:/maps/head_NM.tif\"; "
            L"$.material.bumpMap.normal_map.alphaSource = 2; $.material.bumpMap.flipgreen = on;");
  EXPECT_EQ(normalMapScript(L""),
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"\"; "
            L"$.material.bumpMap.normal_map.alphaSource = 2; $.material.bumpMap.flipgreen = on;");
  EXPECT_EQ(normalMapScript(L"C:\\new\\tex.tif"),
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"C:\\\\new\\\\tex.tif\"; "
            L"$.material.bumpMap.normal_map.alphaSource = 2; $.material.bumpMap.flipgreen = on;");
}

TEST(NormalMapScript, HostilePathCannotEndTheString) {
  const std::wstring script = normalMapScript(L"x\"; deleteFile \"C:\\\\boot.ini\"; \"");
  EXPECT_EQ(script,
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"x\\\"; deleteFile "
            L"\\\"C:\\\\\\\\boot.ini\\\"; \\\"\"; $.material.bumpMap.normal_map.alphaSource = 2; "
            L"$.material.bumpMap.flipgreen = on;");
}

TEST(SelectionSetScript, PiecesJoinExactly) {
  EXPECT_EQ(selectionSetScript("1,2,5", L"Head", 3),
            L"k = #{1,2,5}; appendSubSelSet \" Head_set_3\"; $.Faces[\"Head_set_3\"] = k");
  EXPECT_EQ(selectionSetScript("1", L"Head", -1),
            L"k = #{1}; appendSubSelSet \" Head_set_-1\"; $.Faces[\"Head_set_-1\"] = k");
  EXPECT_EQ(selectionSetScript("7", L"Body", -32768),
            L"k = #{7}; appendSubSelSet \" Body_set_-32768\"; $.Faces[\"Body_set_-32768\"] = k");
}

TEST(SelectionSetScript, HostileNameIsEscapedInBothUses) {
  EXPECT_EQ(selectionSetScript("1", L"a\"b\\c", 0),
            L"k = #{1}; appendSubSelSet \" a\\\"b\\\\c_set_0\"; "
            L"$.Faces[\"a\\\"b\\\\c_set_0\"] = k");
}

TEST(SelectionSetScripts, OneCommandPerGroupInIdOrder) {
  GroupFaceTable groups;
  groups[7] = {2};
  groups[-1] = {0, 1, 4};
  groups[3] = {3};
  SceneScripts scripts(groups, {}, L"Head");
  ASSERT_EQ(scripts.size(), 3u);
  EXPECT_EQ(scripts.text(0),
            L"k = #{1,2,5}; appendSubSelSet \" Head_set_-1\"; $.Faces[\"Head_set_-1\"] = k");
  EXPECT_EQ(scripts.text(2), L"k = #{3}; appendSubSelSet \" Head_set_7\"; $.Faces[\"Head_set_7\"] = k");
  EXPECT_EQ(scripts.text(1), L"k = #{4}; appendSubSelSet \" Head_set_3\"; $.Faces[\"Head_set_3\"] = k");
  EXPECT_EQ(SceneScripts({}, {}, L"Head").size(), 0u);
}

// After the sets come the conversion and the crease command, every text written into the one
// buffer reserved up front: handing them out never allocates.
TEST(SceneScripts, SetsThenConversionThenEdgeCommandInOneBuffer) {
  GroupFaceTable groups;
  groups[2] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  SceneScripts scripts(groups, {0, 1, 2, 3}, L"Head");
  ASSERT_EQ(scripts.size(), 3u);
  const wchar_t* const buffer = scripts.text(2).data();
  EXPECT_EQ(scripts.text(1),
            L"obj = getnodebyname \"Head\"; if obj != undefined then select obj; "
            L"macros.run \"Modifier Stack\" \"Convert_to_Poly\"");
  EXPECT_EQ(scripts.text(2).data(), buffer);
  EXPECT_EQ(scripts.text(2),
            L"$.EditablePoly.SetSelection #Edge #{1,2,3,4};  $.EditablePoly.setEdgeData 1 0.77 ");
  EXPECT_EQ(scripts.text(0).data(), buffer);
  EXPECT_EQ(scripts.text(0), selectionSetScript("1,2,3,4,5,6,7,8,9,10,11", L"Head", 2));
}

TEST(CreaseScripts, NodeLookUpEscapesTheName) {
  EXPECT_EQ(polyConversionScript(L"My \"Best\" Head\\2"),
            L"obj = getnodebyname \"My \\\"Best\\\" Head\\\\2\"; if obj != undefined then select "
            L"obj; macros.run \"Modifier Stack\" \"Convert_to_Poly\"");
}

}  // namespace

namespace {

// The scripts of the import write their number lists straight into the script at a length worked
// out beforehand, counting up through runs of consecutive numbers; each digit count, each carry
// into a new digit, every jump and the largest numbers must come out as numberList has them.
TEST(SelectionSetScripts, ListsMadeInPlaceEqualTheNumberList) {
  std::vector<std::int32_t> numbers = {0, 8, 9, 98, 99, 998, 999, 99999, 999999999,
                                       2147483646, 2147483647, 5, 4, 4};
  for (const std::int32_t start : {0, 95, 996, 9997, 999995, 2147483640}) {
    for (std::int32_t n = start; n < start + 7; ++n) numbers.push_back(n);
  }
  GroupFaceTable groups;
  groups[7] = numbers;
  SceneScripts scripts(groups, numbers, L"Edge");
  ASSERT_EQ(scripts.size(), 3u);
  EXPECT_EQ(scripts.text(0), selectionSetScript(numberList(numbers), L"Edge", 7));
  EXPECT_EQ(scripts.text(2), creaseScript(numberList(numbers)));
}

}  // namespace
