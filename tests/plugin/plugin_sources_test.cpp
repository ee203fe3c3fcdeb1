// The plug-in sources build against the real SDK as they are: they include only the SDK's header
// names, standard headers, the image libraries and our own headers. The strings
// that the stand-in reads come from the modules' .rc files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "file_text.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

const fs::path sourceDir(VUK_SOURCE_DIR);

const std::set<std::string> standardHeaders = {
    "algorithm", "array", "atomic", "cassert", "cctype", "cerrno", "cfloat", "charconv", "chrono", "cinttypes",
    "climits", "csetjmp", "clocale", "cmath", "cstddef", "cstdint", "cstdio", "cstdlib", "cstring", "ctime", "cwchar",
    "cwctype", "deque", "exception", "filesystem", "functional", "initializer_list", "iterator", "limits", "list",
    "map", "memory", "mutex", "new", "numeric", "optional", "random", "set", "sstream", "stdexcept", "string",
    "string_view", "system_error", "tuple", "type_traits", "unordered_map", "unordered_set", "utility",
    "variant", "vector",
};

// The image libraries that the exporter's decoders and its TIFF writer call.
const std::set<std::string> imageLibraryHeaders = {"tiffio.h", "png.h", "jpeglib.h", "OpenEXR/openexr.h"};

// The POSIX file calls of the file transaction and the source reading, each beside a Windows
// branch.
const std::set<std::string> posixHeaders = {"fcntl.h", "sys/stat.h", "unistd.h"};

std::set<std::string> sdkHeaderNames() {
  std::set<std::string> names;
  const fs::path include = sourceDir / "host" / "include";
  for (const auto& entry : fs::recursive_directory_iterator(include)) {
    if (entry.is_regular_file()) names.insert(fs::relative(entry.path(), include).generic_string());
  }
  return names;
}

bool isSourceFile(const fs::path& path) {
  const std::string extension = path.extension().string();
  return extension == ".h" || extension == ".cpp";
}

TEST(PluginSources, IncludeOnlySdkStandardLibraryAndOwnHeaders) {
  const std::set<std::string> sdk = sdkHeaderNames();
  ASSERT_TRUE(sdk.count("max.h") && sdk.count("maxscript/maxscript.h"));
  std::set<std::string> own;
  const char* folders[] = {"plugin", "importer", "exporter", "exchange", "hostside"};
  for (const char* folder : folders) {
    for (const auto& entry : fs::directory_iterator(sourceDir / folder)) {
      if (isSourceFile(entry.path())) own.insert(entry.path().filename().string());
    }
  }
  const std::regex includeLine(R"(^[ \t]*#[ \t]*include[ \t]*([<"])([^>"]+)[>"])", std::regex::multiline);
  int checked = 0;
  for (const char* folder : folders) {
    for (const auto& entry : fs::directory_iterator(sourceDir / folder)) {
      if (!isSourceFile(entry.path())) continue;
      const std::string text = vuktest::fileText(entry.path());
      for (auto it = std::sregex_iterator(text.begin(), text.end(), includeLine); it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[2].str();
        const bool allowed = sdk.count(name) || standardHeaders.count(name) || own.count(name) ||
                             imageLibraryHeaders.count(name) || posixHeaders.count(name);
        EXPECT_TRUE(allowed) << entry.path().string() << " includes " << name;
        EXPECT_EQ(name.find("standin"), std::string::npos) << entry.path().string();
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 20);
}

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
