// What each module exports: exactly the seven entry points, in the dynamic symbol table on Linux
// and with ordinals 1 to 7 in the Windows .def files. And what each takes from elsewhere: only what
// the host's SDK and the libraries of the Windows build provide.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "file_text.h"

namespace {

const std::vector<std::string> entryPointsInOrdinalOrder = {
    "LibDescription", "LibNumberClasses", "LibClassDesc", "LibVersion",
    "VertexNormalsControl::VertexNormalsControl()", "LibInitialize", "LibShutdown",
};

// The constructor's name on each platform.
std::string linuxName(const std::string& entry) {
  return entry.rfind("VertexNormalsControl", 0) == 0 ? "_ZN20VertexNormalsControlC1Ev" : entry;
}
std::string windowsName(const std::string& entry) {
  return entry.rfind("VertexNormalsControl", 0) == 0 ? "??0VertexNormalsControl@@QEAA@XZ" : entry;
}

struct PipeCloser {
  void operator()(std::FILE* pipe) const { pclose(pipe); }
};

// Names of the defined dynamic symbols, as nm lists them; the toolchain's own markers left out.
std::set<std::string> dynamicSymbols(const std::string& module) {
  const std::string command = std::string("'") + VUK_NM + "' -D --defined-only --format=posix '" + module + "'";
  std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  std::set<std::string> names;
  if (!pipe) return names;
  const std::set<std::string> toolchain = {"_init", "_fini", "_edata", "_end", "__bss_start"};
  char line[4096];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    if (!name.empty() && !toolchain.count(name)) names.insert(name);
  }
  return names;
}

TEST(ModuleExports, DynamicSymbolTablesHoldExactlyTheSevenEntryPoints) {
  std::set<std::string> expected;
  for (const std::string& entry : entryPointsInOrdinalOrder) expected.insert(linuxName(entry));
  for (const char* module : {VUK_EXPORTER_MODULE, VUK_IMPORTER_MODULE}) {
    EXPECT_EQ(dynamicSymbols(module), expected) << module;
  }
}

// The lines a binary tool prints about the module.
std::vector<std::string> toolLines(const std::string& command) {
  std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  std::vector<std::string> lines;
  if (!pipe) return lines;
  char line[8192];
  while (std::fgets(line, sizeof line, pipe.get())) lines.emplace_back(line);
  return lines;
}

// A module that calls the stand-in's own interface, meant only for tests and tools, or that needs
// a shared library other than the SDK, the C and C++ runtimes and the image libraries that the
// Windows build links statically, builds here and fails to build, or collides, in the real host.
TEST(ModuleImports, OnlyTheSdkTheRuntimesAndTheImageLibraries) {
  // The sanitizers' runtimes come with the sanitizer build; zlib with the image libraries (their
  // targets hand it on to whatever links them).
  const std::vector<std::string> runtimes = {"libmaxsdk.so", "libc.so", "libm.so", "libstdc++.so", "libgcc_s.so",
                                             "libasan.so", "libubsan.so"};
  const std::vector<std::string> imageLibraries = {"libtiff.so", "libpng16.so", "libjpeg.so", "libOpenEXRCore-",
                                                   "libz.so"};
  const std::pair<const char*, bool> modules[] = {{VUK_EXPORTER_MODULE, true}, {VUK_IMPORTER_MODULE, false}};
  for (const auto& [module, decodesImages] : modules) {
    int needed = 0;
    for (const std::string& line : toolLines(std::string("'") + VUK_READELF + "' -d '" + module + "'")) {
      const std::size_t open = line.find("(NEEDED)");
      if (open == std::string::npos) continue;
      const std::string library = line.substr(line.find('[') + 1, line.find(']') - line.find('[') - 1);
      bool allowed = false;
      for (const std::string& known : runtimes) allowed |= library.rfind(known, 0) == 0;
      for (const std::string& known : imageLibraries) allowed |= decodesImages && library.rfind(known, 0) == 0;
      EXPECT_TRUE(allowed) << module << " needs " << library;
      ++needed;
    }
    EXPECT_GE(needed, 2) << module;
    int undefined = 0;
    for (const std::string& line : toolLines(std::string("'") + VUK_NM + "' -D -C --undefined-only '" + module + "'")) {
      EXPECT_EQ(line.find("standin::"), std::string::npos) << module << " calls " << line;
      ++undefined;
    }
    EXPECT_GT(undefined, 10) << module;
  }
}

TEST(ModuleExports, DefFilesGiveOrdinalsOneToSevenInTableOrder) {
  const std::pair<const char*, const char*> defFiles[] = {
      {"vuk_max2018_exporter.def", "VukMax2018Exporter.dle"},
      {"vuk_max2018_importer.def", "VukMax2018Importer.dli"},
  };
  for (const auto& [file, moduleName] : defFiles) {
    const std::string text = vuktest::fileText(std::string(VUK_SOURCE_DIR) + "/plugin/" + file);
    EXPECT_NE(text.find(std::string("LIBRARY ") + moduleName + "\n"), std::string::npos) << file;
    const std::regex exportLine(R"(^[ \t]+(\S+)[ \t]+@(\d+)[ \t]*$)", std::regex::multiline);
    std::vector<std::pair<std::string, int>> exports;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), exportLine); it != std::sregex_iterator(); ++it) {
      exports.emplace_back((*it)[1].str(), std::stoi((*it)[2].str()));
    }
    ASSERT_EQ(exports.size(), entryPointsInOrdinalOrder.size()) << file;
    for (std::size_t i = 0; i < exports.size(); ++i) {
      EXPECT_EQ(exports[i].first, windowsName(entryPointsInOrdinalOrder[i])) << file;
      EXPECT_EQ(exports[i].second, static_cast<int>(i) + 1) << file;
    }
  }
}

TEST(ModuleExports, LinuxExportListNamesTheSameEntryPoints) {
  const std::string text = vuktest::fileText(std::string(VUK_SOURCE_DIR) + "/plugin/linux_exports.map");
  const std::regex nameLine(R"(^[ \t]+([A-Za-z_][A-Za-z0-9_]*);)", std::regex::multiline);
  std::set<std::string> listed, expected;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), nameLine); it != std::sregex_iterator(); ++it) {
    listed.insert((*it)[1].str());
  }
  for (const std::string& entry : entryPointsInOrdinalOrder) expected.insert(linuxName(entry));
  EXPECT_EQ(listed, expected);
}

}  // namespace
