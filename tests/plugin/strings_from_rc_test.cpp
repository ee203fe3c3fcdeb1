// The strings that the stand-in reads come from the modules' .rc files, through the generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "file_text.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path sourceDir(VUK_SOURCE_DIR);

// Runs the strings generator on an .rc text; answers its exit status and the written file.
int generateStrings(const std::string& rcText, std::string& written) {
  const vuktest::TempFolder folder;
  const fs::path rc = folder.path() / "module.rc", out = folder.path() / "module.strings";
  std::ofstream(rc) << rcText;
  const std::string command = std::string("'") + VUK_CMAKE + "' -DRC_FILE='" + rc.string() + "' -DHEADER='" +
                              (sourceDir / "plugin" / "resource.h").string() + "' -DOUTPUT='" + out.string() +
                              "' -P '" + (sourceDir / "plugin" / "strings_from_rc.cmake").string() + "' 2>/dev/null";
  const int status = std::system(command.c_str());
  written = fs::exists(out) ? vuktest::fileText(out) : std::string();
  return status;
}

TEST(StringsFromRc, TableLinesBecomeIdTabTextLines) {
  std::string written;
  ASSERT_EQ(generateStrings("#include \"resource.h\"\n"
                            "STRINGTABLE\nBEGIN\n"
                            "    IDS_LIB_DESCRIPTION \"Says \"\"hi\"\"; twice\"\n"
                            "    // a comment\n\n"
                            "    IDS_CLASS_NAME, \"C:\\\\maps\\tTab\"\n"
                            "    7 \"seven\"\n"
                            "END\n"
                            "VS_VERSION_INFO VERSIONINFO\nBEGIN\n  VALUE \"x\", \"y\"\nEND\n",
                            written),
            0);
  EXPECT_EQ(written, "1\tSays \"hi\"; twice\n3\tC:\\\\maps\\tTab\n7\tseven\n");
}

TEST(StringsFromRc, RefusesWhatItCannotRead) {
  std::string written;
  EXPECT_NE(generateStrings("STRINGTABLE\nBEGIN\n  IDS_UNKNOWN \"x\"\nEND\n", written), 0);
  EXPECT_NE(generateStrings("no table here\n", written), 0);
  EXPECT_NE(generateStrings("STRINGTABLE\nBEGIN\n  IDS_CATEGORY x\nEND\n", written), 0);
  EXPECT_TRUE(written.empty());
}

TEST(StringsFromRc, ModulesStringFilesMatchTheirRcTables) {
  for (const char* base : {"vuk_max2018_exporter", "vuk_max2018_importer"}) {
    std::string written;
    ASSERT_EQ(generateStrings(vuktest::fileText(sourceDir / "plugin" / (std::string(base) + ".rc")), written), 0) << base;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 3) << base;
    EXPECT_EQ(written.rfind("1\t", 0), 0u) << base;
  }
}

}  // namespace
