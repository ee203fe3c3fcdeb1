// Module start-up and module string tables, with a module loaded from a fresh folder.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <windows.h>

#include "standin/scene.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The test module copied into a fresh folder, with the strings file `strings` beside it (none
// when empty); loaded for the life of the object.
class LoadedModule {
public:
  explicit LoadedModule(const std::string& strings) {
    const fs::path source(ENTRY_TEST_MODULE);
    const fs::path copy = folder.path() / source.filename();
    fs::copy_file(source, copy);
    if (!strings.empty()) {
      fs::create_directory(folder.path() / "en-US");
      std::ofstream(folder.path() / "en-US" / (source.filename().string() + ".strings"), std::ios::binary)
          << strings;
    }
    handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  ~LoadedModule() { unload(); }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  void unload() {
    if (handle) dlclose(handle);
    handle = nullptr;
  }
  template <typename F>
  F symbol(const char* name) { return reinterpret_cast<F>(dlsym(handle, name)); }
  HINSTANCE instance() { return symbol<HINSTANCE (*)()>("entryTestModule")(); }

  vuktest::TempFolder folder;  // removed after the module is unloaded
  void* handle = nullptr;
};

std::wstring load(HINSTANCE module, UINT id, int bufferMax = 256) {
  wchar_t buffer[256];
  const int count = LoadStringW(module, id, buffer, bufferMax);
  EXPECT_EQ(static_cast<std::size_t>(count), std::wstring(buffer).size());
  return buffer;
}

class ModuleTest : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }
};

TEST_F(ModuleTest, DllMainHearsLoadWithTheModuleBaseAndUnload) {
  LoadedModule module("");
  ASSERT_NE(module.handle, nullptr) << dlerror();
  Dl_info info{};
  ASSERT_NE(dladdr(module.symbol<void*>("entryTestModule"), &info), 0);
  EXPECT_EQ(static_cast<void*>(module.instance()), info.dli_fbase);
  EXPECT_EQ(module.symbol<int (*)()>("entryTestAttachCount")(), 1);
  EXPECT_EQ(module.symbol<void*>("DllMain"), nullptr);  // the entry point stays inside the module
  const std::wstring handle = std::to_wstring(reinterpret_cast<std::uintptr_t>(info.dli_fbase));
  ASSERT_FALSE(standin::journal().empty());
  EXPECT_EQ(standin::journal().back(), L"DisableThreadLibraryCalls " + handle);

  EXPECT_TRUE(standin::scriptLog().empty());
  module.unload();
  EXPECT_EQ(standin::scriptLog(), std::vector<std::wstring>{L"detach"});
}

TEST_F(ModuleTest, LoadStringReadsTheModulesStringsFile) {
  LoadedModule module(
      "1\tVuk file bridge\n"
      "2\tCaf\xC3\xA9 \xE2\x82\xAC\r\n"
      "3\tline\\none\\ttab\\\\slash\\q\n"
      "1\tsecond one with id 1\n"
      "# a comment line\n"
      "x4\tnot an id\n"
      "5\n"
      "70000\tid too large\n"
      "6\tbad \xFF byte \xC0\xAF overlong\n"
      "7\t\n"
      "8\tlast line without end");
  ASSERT_NE(module.handle, nullptr) << dlerror();
  HINSTANCE instance = module.instance();
  EXPECT_EQ(load(instance, 1), L"Vuk file bridge");
  EXPECT_EQ(load(instance, 2), L"Caf\u00E9 \u20AC");
  EXPECT_EQ(load(instance, 3), L"line\none\ttab\\slash\\q");
  EXPECT_EQ(load(instance, 4), L"");
  EXPECT_EQ(load(instance, 5), L"");
  EXPECT_EQ(load(instance, 4464), L"");  // 70000 mod 65536: the long id is not cut down
  EXPECT_EQ(load(instance, 6), L"bad \uFFFD byte \uFFFD\uFFFD overlong");
  EXPECT_EQ(load(instance, 7), L"");
  EXPECT_EQ(load(instance, 8), L"last line without end");
}

TEST_F(ModuleTest, LoadStringCopiesWhatFitsAndRefusesBadArguments) {
  LoadedModule module("1\tVuk file bridge\n");
  ASSERT_NE(module.handle, nullptr) << dlerror();
  HINSTANCE instance = module.instance();
  EXPECT_EQ(load(instance, 1, 4), L"Vuk");
  EXPECT_EQ(load(instance, 1, 1), L"");
  wchar_t untouched[2] = {L'x', L'\0'};
  EXPECT_EQ(LoadStringW(instance, 1, untouched, 0), 0);
  EXPECT_EQ(LoadStringW(instance, 1, untouched, -5), 0);
  EXPECT_EQ(untouched[0], L'x');
  EXPECT_EQ(LoadStringW(instance, 1, nullptr, 10), 0);
  EXPECT_EQ(load(nullptr, 1), L"");
  // An address inside the module that is not its base is no module handle.
  EXPECT_EQ(load(reinterpret_cast<HINSTANCE>(reinterpret_cast<char*>(instance) + 16), 1), L"");
}

TEST_F(ModuleTest, ModuleWithoutStringsFileHasNoStrings) {
  LoadedModule module("");
  ASSERT_NE(module.handle, nullptr) << dlerror();
  EXPECT_EQ(load(module.instance(), 1), L"");
}

}  // namespace
