// Every answer of the modules' entry points, descriptors and plug-in classes, asked through
// dlopen as the host asks them.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <standin/scene.h>

#include <cwchar>
#include <memory>
#include <string>

#include "module_loading.h"
#include "temp_folder.h"

namespace {

struct ModuleFacts {
  const char* path;
  SClass_ID superClass;
  unsigned long classA, classB;
  const wchar_t* internalName;
  const wchar_t* description;
  const wchar_t* longDesc;
};

const ModuleFacts exporterFacts = {VUK_EXPORTER_MODULE, 0xA20, 1429126780UL, 2169604353UL, L"VukMax2018Exporter",
                                   L"Exports the selected mesh as a Morvantis Vuk file (.vuk)",
                                   L"Morvantis's Vuk file format exporter."};
const ModuleFacts importerFacts = {VUK_IMPORTER_MODULE, 0xA10, 2960983124UL, 2561857399UL, L"VukMax2018Importer",
                                   L"Imports a Morvantis Vuk file (.vuk) as a new mesh node",
                                   L"Morvantis's Vuk file format importer."};

// The descriptive answers that SceneExport and SceneImport share, asked of either.
template <typename PluginClass>
void expectSharedAnswers(PluginClass* plugin, const ModuleFacts& facts) {
  EXPECT_EQ(plugin->ExtCount(), 1);
  EXPECT_STREQ(plugin->Ext(0), L"vuk");
  EXPECT_STREQ(plugin->Ext(7), L"vuk");
  EXPECT_EQ(plugin->Ext(0), plugin->Ext(-3)) << "one static text for every index";
  EXPECT_STREQ(plugin->LongDesc(), facts.longDesc);
  EXPECT_STREQ(plugin->ShortDesc(), L"Morvantis Vuk");
  ASSERT_NE(plugin->OtherMessage1(), nullptr);
  ASSERT_NE(plugin->OtherMessage2(), nullptr);
  EXPECT_STREQ(plugin->OtherMessage1(), L"");
  EXPECT_STREQ(plugin->OtherMessage2(), L"");
  EXPECT_EQ(plugin->Version(), 100u);
  EXPECT_EQ(plugin->LongDesc(), plugin->LongDesc());
  plugin->ShowAbout(nullptr);
}

class ModuleEntryPoints : public ::testing::TestWithParam<const ModuleFacts*> {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::refuseHostHeap(false); }
  const ModuleFacts& facts() const { return *GetParam(); }
};

TEST_P(ModuleEntryPoints, LibraryEntryPointsAnswerTheirFixedValues) {
  LoadedModule module(facts().path);
  auto description = reinterpret_cast<const MCHAR* (*)()>(module.symbol("LibDescription"));
  auto classCount = reinterpret_cast<int (*)()>(module.symbol("LibNumberClasses"));
  auto version = reinterpret_cast<ULONG (*)()>(module.symbol("LibVersion"));
  auto initialize = reinterpret_cast<int (*)()>(module.symbol("LibInitialize"));
  auto shutdown = reinterpret_cast<int (*)()>(module.symbol("LibShutdown"));
  ASSERT_TRUE(description && classCount && version && initialize && shutdown);
  EXPECT_STREQ(description(), facts().description);
  EXPECT_EQ(classCount(), 1);
  EXPECT_EQ(version(), 0x4E203200u);
  EXPECT_EQ(version(), 1310732800u);
  EXPECT_EQ(initialize(), 1);
  EXPECT_EQ(shutdown(), 1);
}

TEST_P(ModuleEntryPoints, ClassDescriptorIsOneObjectForIndexZeroOnly) {
  LoadedModule module(facts().path);
  auto classDesc = reinterpret_cast<ClassDesc* (*)(int)>(module.symbol("LibClassDesc"));
  ASSERT_NE(classDesc, nullptr);
  EXPECT_EQ(classDesc(1), nullptr);
  EXPECT_EQ(classDesc(-1), nullptr);
  ClassDesc* first = classDesc(0);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(classDesc(0), first);
}

TEST_P(ModuleEntryPoints, DescriptorAnswers) {
  LoadedModule module(facts().path);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->IsPublic(), 1);
  EXPECT_EQ(descriptor->SuperClassID(), facts().superClass);
  EXPECT_EQ(descriptor->ClassID(), Class_ID(facts().classA, facts().classB));
  EXPECT_EQ(descriptor->ClassID().PartA(), facts().classA);
  EXPECT_STREQ(descriptor->InternalName(), facts().internalName);
  EXPECT_STREQ(descriptor->ClassName(), facts().internalName);
  EXPECT_STREQ(descriptor->Category(), L"Morvantis Vuk");

  Dl_info info{};
  ASSERT_NE(dladdr(module.symbol("LibVersion"), &info), 0);
  EXPECT_EQ(static_cast<void*>(descriptor->HInstance()), info.dli_fbase) << "the saved module handle";
}

TEST_P(ModuleEntryPoints, ResourceStringsShareOneBuffer) {
  LoadedModule module(facts().path);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  const MCHAR* className = descriptor->ClassName();
  const MCHAR* category = descriptor->Category();
  EXPECT_EQ(className, category);
  EXPECT_STREQ(className, L"Morvantis Vuk") << "the buffer holds the text asked for last";
  auto description = reinterpret_cast<const MCHAR* (*)()>(module.symbol("LibDescription"));
  EXPECT_EQ(description(), category);
  EXPECT_STREQ(category, facts().description);
}

TEST_P(ModuleEntryPoints, CreateMakesPluginObjectsOnTheHostHeap) {
  LoadedModule module(facts().path);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  void* made = descriptor->Create(FALSE);
  ASSERT_NE(made, nullptr);
  void* another = descriptor->Create(TRUE);
  ASSERT_NE(another, nullptr);
  EXPECT_NE(made, another);
  if (facts().superClass == SCENE_EXPORT_CLASS_ID) {
    std::unique_ptr<SceneExport> exporter(static_cast<SceneExport*>(made));
    std::unique_ptr<SceneExport> second(static_cast<SceneExport*>(another));
    expectSharedAnswers(exporter.get(), facts());
    EXPECT_EQ(exporter->SupportsOptions(0, 0), TRUE);
    EXPECT_EQ(exporter->SupportsOptions(5, SCENE_EXPORT_SELECTED), TRUE);
    EXPECT_EQ(exporter->SupportsOptions(-1, 0xFFFFFFFFu), TRUE);
  } else {
    std::unique_ptr<SceneImport> importer(static_cast<SceneImport*>(made));
    std::unique_ptr<SceneImport> second(static_cast<SceneImport*>(another));
    expectSharedAnswers(importer.get(), facts());
    EXPECT_EQ(importer->ZoomExtents(), ZOOMEXT_NOT_IMPLEMENTED);
  }
}

TEST_P(ModuleEntryPoints, CreateAnswersNullWhenTheHostHeapRefuses) {
  LoadedModule module(facts().path);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  standin::refuseHostHeap(true);
  EXPECT_EQ(descriptor->Create(FALSE), nullptr);
}

TEST_P(ModuleEntryPoints, VertexNormalsControlConstructorSetsFlagAndClearsPointer) {
  LoadedModule module(facts().path);
  auto construct = reinterpret_cast<void (*)(void*)>(module.symbol("_ZN20VertexNormalsControlC1Ev"));
  ASSERT_NE(construct, nullptr);
  struct Layout {
    bool flag;
    void* pointer;
  } object;
  object.flag = false;
  object.pointer = &object;
  construct(&object);
  EXPECT_TRUE(object.flag);
  EXPECT_EQ(object.pointer, nullptr);
}

// A module copy that the process has not loaded yet starts on load: the language pack locale,
// then the saved handle, then no per-thread notifications, all with the module's own handle.
TEST_P(ModuleEntryPoints, StartUpRunsOnLoadInOrder) {
  const vuktest::TempFolder folder;
  const std::string copy = copyModule(facts().path, folder.path().string(), true);
  standin::resetScene();
  LoadedModule module(copy);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  const std::wstring handle = std::to_wstring(reinterpret_cast<std::uintptr_t>(descriptor->HInstance()));
  const std::vector<std::wstring>& journal = standin::journal();
  ASSERT_EQ(journal.size(), 2u);
  EXPECT_EQ(journal[0], L"UseLanguagePackLocale " + handle);
  EXPECT_EQ(journal[1], L"DisableThreadLibraryCalls " + handle);
  EXPECT_STREQ(descriptor->Category(), L"Morvantis Vuk") << "the copy reads the strings beside it";
}

TEST_P(ModuleEntryPoints, MissingStringsAnswerNull) {
  const vuktest::TempFolder folder;
  LoadedModule module(copyModule(facts().path, folder.path().string(), false));
  auto description = reinterpret_cast<const MCHAR* (*)()>(module.symbol("LibDescription"));
  ASSERT_NE(description, nullptr);
  EXPECT_EQ(description(), nullptr);
  ClassDesc* descriptor = module.descriptor();
  ASSERT_NE(descriptor, nullptr);
  EXPECT_EQ(descriptor->ClassName(), nullptr);
  EXPECT_EQ(descriptor->Category(), nullptr);
  EXPECT_STREQ(descriptor->InternalName(), facts().internalName) << "fixed texts do not need the strings";
}

INSTANTIATE_TEST_SUITE_P(BothModules, ModuleEntryPoints, ::testing::Values(&exporterFacts, &importerFacts),
                         [](const auto& info) { return info.param == &exporterFacts ? "Exporter" : "Importer"; });

}  // namespace

namespace {

TEST(ModuleTexts, AuthorAndCopyrightAreTheSameFixedTextsInBothModules) {
  LoadedModule exporterModule(VUK_EXPORTER_MODULE);
  LoadedModule importerModule(VUK_IMPORTER_MODULE);
  ASSERT_TRUE(exporterModule.descriptor() && importerModule.descriptor());
  std::unique_ptr<SceneExport> exporter(static_cast<SceneExport*>(exporterModule.descriptor()->Create(FALSE)));
  std::unique_ptr<SceneImport> importer(static_cast<SceneImport*>(importerModule.descriptor()->Create(FALSE)));
  ASSERT_TRUE(exporter && importer);
  EXPECT_GT(std::wcslen(exporter->AuthorName()), 0u);
  EXPECT_GT(std::wcslen(exporter->CopyrightMessage()), 0u);
  EXPECT_STREQ(exporter->AuthorName(), importer->AuthorName());
  EXPECT_STREQ(exporter->CopyrightMessage(), importer->CopyrightMessage());
  EXPECT_EQ(exporter->AuthorName(), exporter->AuthorName());
}

}  // namespace
