// Texts through both modules in the system's code page, and every failure's reason in the host's
// log, once, with no dialog when prompts are suppressed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "source_encoders.h"  // before the host's headers and their min and max macros

#include "export_command.h"
#include "export_scenes.h"
#include "file_name.h"
#include "file_size_limit.h"
#include "import_command.h"
#include "standin/scene.h"
#include "temp_folder.h"
#include "texture_map_export.h"

namespace {

namespace fs = std::filesystem;

// Sets the system's code page for one test and puts Windows-1252 back afterwards.
struct CodePage {
  explicit CodePage(UINT codePage) { standin::setAnsiCodePage(codePage); }
  ~CodePage() { standin::setAnsiCodePage(1252); }
};

fs::path onDisk(const std::wstring& name) { return vuk::nativePath(*vuk::fileNameOf(name.c_str())); }

class TextsAndReasons : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  // A folder named `leaf` holding a PNG source, and a selected box whose material shows it in all
  // three slots.
  std::wstring dressedBoxIn(const std::wstring& leaf) {
    const std::wstring dir = folder.path().wstring() + L"/" + leaf;
    fs::create_directory(onDisk(dir));
    const std::wstring source = dir + L"/skin \u00E9.png";
    vuktest::putFile(onDisk(source).string(), vuktest::pngFile(4, 2, 8, 2, std::vector<std::uint32_t>(4 * 2 * 3, 77)));
    INode* node = selectedBoxNode();
    StdMat2* material = NewDefaultStdMat();
    for (int slot : {diffuseMapId, bumpMapId, displacementMapId}) {
      material->SetSubTexmap(slot, standin::newBitmapTexture(source.c_str()));
    }
    node->SetMtl(material);
    return dir;
  }

  // Exports to dir/Head.vuk, imports it into a fresh scene, and answers the file names the
  // imported material's maps show (diffuse, normal, displacement), each checked to exist.
  void expectRoundTripFindsEveryMap(const std::wstring& dir) {
    const std::wstring vuk = dir + L"/Head.vuk";
    ASSERT_EQ(runExport(vuk.c_str(), standin::coreInterface(), TRUE), 1) << logText();
    standin::resetScene();
    ASSERT_EQ(runImport(vuk.c_str(), standin::importInterface(), standin::coreInterface()), 1) << logText();
    Mtl* material = standin::sceneNodes().at(0)->GetMtl();
    const standin::MaterialState state = standin::materialState(material);
    const std::wstring diffuse = standin::textureState(state.maps[diffuseMapId]).mapName;
    const std::wstring displacement = standin::textureState(state.maps[displacementMapId]).mapName;
    EXPECT_EQ(diffuse, dir + L"/Head_TXTR.tif");
    EXPECT_EQ(displacement, dir + L"/Head_DM.tif");
    const std::wstring normal = dir + L"/Head_NM.tif";
    bool normalScript = false;
    for (const std::wstring& script : standin::scriptLog()) normalScript |= script.find(L"\"" + normal + L"\"") != std::wstring::npos;
    EXPECT_TRUE(normalScript);
    for (const std::wstring& map : {diffuse, normal, displacement}) EXPECT_TRUE(fs::exists(onDisk(map))) << onDisk(map);
    EXPECT_TRUE(standin::logEntries().empty());
  }

  // The one entry the failed command left in the log; fails the test unless there is exactly one.
  std::wstring onlyEntry() const {
    const auto& log = standin::logEntries();
    EXPECT_EQ(log.size(), 1u) << logText();
    if (log.empty()) return std::wstring();
    EXPECT_EQ(log[0].type, static_cast<DWORD>(SYSLOG_ERROR));
    EXPECT_EQ(log[0].dialogue, NO_DIALOG);
    return log[0].text;
  }

  static std::string logText() {
    std::string text;
    for (const auto& entry : standin::logEntries()) text += *vuk::fileNameOf(entry.text.c_str()) + "\n";
    return text;
  }

  int exportSuppressed(const std::wstring& vuk) {
    return runExport(vuk.c_str(), standin::coreInterface(), TRUE);
  }

  vuktest::TempFolder folder;
};

TEST_F(TextsAndReasons, Windows1252PathsRoundTripWithEveryMapFound) {
  for (const wchar_t* leaf : {L"caf\u00E9", L"\u00C6r\u00F8", L"na\u00EFve \u20AC \u0153"}) {
    SCOPED_TRACE(*vuk::fileNameOf(leaf));
    standin::resetScene();
    expectRoundTripFindsEveryMap(dressedBoxIn(leaf));
  }
}

TEST_F(TextsAndReasons, CyrillicPathRoundTripsUnderUtf8AndIsRefusedUnderWindows1252) {
  const std::wstring dir = dressedBoxIn(L"\u041C\u043E\u0434\u0435\u043B\u0438");
  {
    const CodePage utf8(CP_UTF8);
    expectRoundTripFindsEveryMap(dir);
  }
  standin::resetScene();
  dressedBoxIn(L"\u041C\u043E\u0434\u0435\u043B\u0438");
  fs::remove_all(onDisk(dir + L"/Head.vuk"));
  EXPECT_EQ(exportSuppressed(dir + L"/Head.vuk"), 0);
  EXPECT_EQ(onlyEntry(), L"cannot record the path " + dir + L"/Head_TXTR.tif of the diffuse map: the system's "
                         L"code page cannot hold every character of it");
  EXPECT_FALSE(fs::exists(onDisk(dir + L"/Head.vuk")));
}

TEST_F(TextsAndReasons, ObjectNamesTakeQuestionMarksForWhatTheCodePageLacks) {
  const std::wstring vuk = folder.wideFile("Name.vuk");
  selectedBoxNode(L"Node", L"Box \u00E9 \u041C\u0438\u0440");
  ASSERT_EQ(exportSuppressed(vuk), 1);
  VukMesh record;
  ASSERT_EQ(record.Read(vuk::fileNameOf(vuk.c_str())->c_str()), 1);
  EXPECT_STREQ(record.objectName.data(), "Box \xE9 ???");
}

TEST_F(TextsAndReasons, EmptySelectionShowsItsMessageOnlyWhenPromptsAreAllowed) {
  const std::wstring vuk = folder.wideFile("Empty.vuk");
  EXPECT_EQ(exportSuppressed(vuk), 0);
  EXPECT_TRUE(standin::messageBoxLog().empty());
  EXPECT_EQ(onlyEntry(), L"nothing is selected: please select an object to export");
  standin::resetScene();
  EXPECT_EQ(runExport(vuk.c_str(), standin::coreInterface(), FALSE), 0);
  ASSERT_EQ(standin::messageBoxLog().size(), 1u);
  EXPECT_EQ(standin::messageBoxLog()[0].text, L"Please select an object to export");
  EXPECT_EQ(standin::logEntries().size(), 1u);
}

TEST_F(TextsAndReasons, UnreadableMapGivesTheReaderReasonOnce) {
  const std::wstring dir = dressedBoxIn(L"maps");
  const std::wstring source = dir + L"/skin \u00E9.png";
  vuktest::putFile(onDisk(source).string(), "not a picture at all");
  EXPECT_EQ(exportSuppressed(dir + L"/Head.vuk"), 0);
  const std::wstring entry = onlyEntry();
  EXPECT_EQ(entry.rfind(L"the diffuse map " + source + L" cannot be re-saved as " + dir + L"/Head_TXTR.tif: ", 0), 0u)
      << logText();
  EXPECT_TRUE(standin::messageBoxLog().empty());
}

TEST_F(TextsAndReasons, FullDiskGivesItsReasonOnce) {
  selectedBoxNode();
  {
    const vuktest::FileSizeLimit full(40);
    EXPECT_EQ(exportSuppressed(folder.wideFile("Full.vuk")), 0);
  }
  EXPECT_EQ(onlyEntry().rfind(L"cannot write " + folder.wideFile("Full.vuk") + L": a write failed: File too large", 0), 0u)
      << logText();
  EXPECT_TRUE(folder.names().empty());
}

TEST_F(TextsAndReasons, UnwritableFolderGivesItsReasonOnce) {
  selectedBoxNode();
  fs::create_directory(folder.path() / "locked");
  ::chmod((folder.path() / "locked").c_str(), 0555);
  const bool root = ::geteuid() == 0;
  if (root && ::seteuid(65534) != 0) FAIL() << "cannot leave root";
  const int answer = exportSuppressed(folder.wideFile("locked/Head.vuk"));
  if (root && ::seteuid(0) != 0) std::abort();
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(onlyEntry().rfind(L"cannot create a file beside " + folder.wideFile("locked/Head.vuk") + L": Permission denied", 0), 0u)
      << logText();
}

TEST_F(TextsAndReasons, RefusedVukFileGivesTheReadersReasonOnce) {
  const std::wstring vuk = folder.wideFile("Broken.vuk");
  vuktest::putFile(*vuk::fileNameOf(vuk.c_str()), std::string("Vukb", 4) + std::string(10, '\0'));
  EXPECT_EQ(runImport(vuk.c_str(), standin::importInterface(), standin::coreInterface()), 0);
  EXPECT_EQ(onlyEntry(), vuk + L": file header: the file holds 14 bytes, fewer than 32");
  EXPECT_TRUE(standin::sceneNodes().empty());
}

}  // namespace
