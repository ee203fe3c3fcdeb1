// The test encoders come before the SDK's headers, whose min and max macros the OpenEXR headers
// cannot take.
#include "source_encoders.h"

#include "texture_map_export.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "export_command.h"
#include "export_scenes.h"
#include "standin/scene.h"
#include "file_size_limit.h"
#include "temp_folder.h"
#include "tiff_probe.h"

namespace {

using vuktest::TempFolder;

class TextureMapExport : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  // Source images of three kinds: an 8-bit PNG, a JPEG and a 16-bit TIFF.
  void writeSources() {
    vuktest::TiffLayout deep;
    deep.bits = 16;
    vuktest::putFile(folder.file("skin.png"), vuktest::pngFile(6, 4, 8, 2, std::vector<std::uint32_t>(6 * 4 * 3, 90)));
    vuktest::putFile(folder.file("bumps.jpg"), vuktest::jpegFile(8, 2, {128, 128, 128}, false));
    vuktest::putFile(folder.file("height.tif"), vuktest::tiffFile(3, 5, deep, std::vector<std::uint32_t>(3 * 5, 0xA1B2)));
  }

  BitmapTex* bitmap(const std::string& leaf) {
    return standin::newBitmapTexture(folder.wideFile(leaf).c_str());
  }

  // A standard material on the node with the given textures in the diffuse, bump and
  // displacement slots (null leaves a slot empty).
  StdMat2* dress(INode* node, Texmap* diffuse, Texmap* bump, Texmap* displacement) {
    StdMat2* material = NewDefaultStdMat();
    material->SetSubTexmap(diffuseMapId, diffuse);
    material->SetSubTexmap(bumpMapId, bump);
    material->SetSubTexmap(displacementMapId, displacement);
    material->SetTexmapAmt(displacementMapId, 0.35f, 0);
    node->SetMtl(material);
    return material;
  }

  // Every file of the folder with its bytes.
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> files;
    for (const std::string& name : folder.names()) {
      std::ifstream in(folder.file(name), std::ios::binary);
      files[name] = std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    return files;
  }

  int exportHead() { return runExport(folder.wideFile("Head.vuk").c_str(), standin::coreInterface()); }
  bool exists(const std::string& leaf) const { return std::filesystem::exists(folder.file(leaf)); }

  TempFolder folder;
};

}  // namespace

TEST(TiffPathFor, ReplacesTheLastFourCharactersWithTheSuffix) {
  EXPECT_EQ(tiffPathFor(L"C:\\Models\\Head.vuk", diffuseMapId), L"C:\\Models\\Head_TXTR.tif");
  EXPECT_EQ(tiffPathFor(L"C:\\Models\\Head.vuk", bumpMapId), L"C:\\Models\\Head_NM.tif");
  EXPECT_EQ(tiffPathFor(L"C:\\Models\\Head.vuk", displacementMapId), L"C:\\Models\\Head_DM.tif");
  EXPECT_EQ(tiffPathFor(L"ab", diffuseMapId), L"ab_TXTR.tif");         // shorter than four: whole
  EXPECT_EQ(tiffPathFor(L"Head", bumpMapId), L"_NM.tif");
  EXPECT_EQ(tiffPathFor(L"/m/x.vukfile", displacementMapId), L"/m/x.vuk_DM.tif");
  EXPECT_EQ(tiffPathFor(L"/m/Head.vuk", 2), L"");
}

TEST_F(TextureMapExport, AllThreeBitmapsBecomeTiffsBesideTheFile) {
  writeSources();
  INode* node = selectedBoxNode();
  StdMat2* material = dress(node, bitmap("skin.png"), bitmap("bumps.jpg"), bitmap("height.tif"));
  material->EnableMap(bumpMapId, FALSE);  // a switched-off slot is still carried
  ASSERT_EQ(exportHead(), 1);

  VukMesh record;
  ASSERT_EQ(record.Read(folder.file("Head.vuk").c_str()), 1);
  ASSERT_NE(record.texturePath, nullptr);
  ASSERT_NE(record.normalMapPath, nullptr);
  ASSERT_NE(record.displacementMapPath, nullptr);
  EXPECT_EQ(std::string(record.texturePath.data()), folder.file("Head_TXTR.tif"));
  EXPECT_EQ(std::string(record.normalMapPath.data()), folder.file("Head_NM.tif"));
  EXPECT_EQ(std::string(record.displacementMapPath.data()), folder.file("Head_DM.tif"));
  EXPECT_FLOAT_EQ(record.displacementAmount, 0.35f);

  const TiffFacts diffuse = probeTiff(folder.file("Head_TXTR.tif"));
  EXPECT_EQ(diffuse.width, 6u);
  EXPECT_EQ(diffuse.height, 4u);
  EXPECT_EQ(diffuse.samplesPerPixel, 3);
  EXPECT_EQ(diffuse.bitsPerSample, 8);
  const TiffFacts bump = probeTiff(folder.file("Head_NM.tif"));
  EXPECT_EQ(bump.width, 8u);
  EXPECT_EQ(bump.bitsPerSample, 8);
  const TiffFacts height = probeTiff(folder.file("Head_DM.tif"));
  EXPECT_EQ(height.width, 3u);
  EXPECT_EQ(height.height, 5u);
  EXPECT_EQ(height.samplesPerPixel, 1);
  EXPECT_EQ(height.bitsPerSample, 8);
  ASSERT_FALSE(height.firstRow.empty());
  EXPECT_EQ(height.firstRow[0], 0xA1);
}

TEST_F(TextureMapExport, OtherTexturesAndMaterialsCarryNothing) {
  writeSources();
  INode* node = selectedBoxNode();
  dress(node, standin::newOtherTexture(), nullptr, bitmap("height.tif"));
  ASSERT_EQ(exportHead(), 1);
  VukMesh record;
  ASSERT_EQ(record.Read(folder.file("Head.vuk").c_str()), 1);
  EXPECT_EQ(record.texturePath, nullptr);
  EXPECT_EQ(record.normalMapPath, nullptr);
  EXPECT_NE(record.displacementMapPath, nullptr);
  EXPECT_FALSE(exists("Head_TXTR.tif"));
  EXPECT_FALSE(exists("Head_NM.tif"));

  node->SetMtl(standin::newMultiMaterial());
  VukMesh multi;
  vuk::FileTransaction transaction;
  std::string reason;
  EXPECT_TRUE(exportTextureMap(node, folder.wideFile("Multi.vuk"), multi, diffuseMapId, transaction, reason));
  EXPECT_EQ(multi.texturePath, nullptr);
  EXPECT_FALSE(exists("Multi_TXTR.tif"));

  INode* bare = standin::addNode(L"Bare", newBoxObject(L"Bare"));
  VukMesh plain;
  EXPECT_TRUE(exportTextureMap(bare, folder.wideFile("Bare.vuk"), plain, displacementMapId, transaction, reason));
  EXPECT_TRUE(transaction.empty());
  EXPECT_EQ(plain.displacementMapPath, nullptr);
  EXPECT_FLOAT_EQ(plain.displacementAmount, 1.0f);
}

TEST_F(TextureMapExport, UnreadableSourceEndsTheExportLeavingNoFileAtAll) {
  writeSources();
  INode* node = selectedBoxNode();
  dress(node, bitmap("skin.png"), bitmap("missing.png"), bitmap("height.tif"));
  EXPECT_EQ(exportHead(), 0);
  // The diffuse TIFF read before the failing map is thrown away with its temporary.
  EXPECT_EQ(folder.names().size(), 3u);
  EXPECT_FALSE(exists("Head.vuk"));
  EXPECT_FALSE(exists("Head_TXTR.tif"));

  VukMesh record;
  vuk::FileTransaction transaction;
  std::string reason;
  EXPECT_FALSE(exportTextureMap(node, folder.wideFile("Other.vuk"), record, bumpMapId, transaction, reason));
  EXPECT_EQ(record.normalMapPath, nullptr);
}

TEST_F(TextureMapExport, DiffuseMapThatIsItsOwnTargetRoundTrips) {
  std::vector<std::uint32_t> picture;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      for (int c = 0; c < 3; ++c) picture.push_back(static_cast<std::uint32_t>(40 * x + 10 * y + 70 * c));
  vuktest::putFile(folder.file("skin.png"), vuktest::pngFile(5, 3, 8, 2, picture));
  INode* node = selectedBoxNode();
  dress(node, bitmap("skin.png"), nullptr, nullptr);
  ASSERT_EQ(exportHead(), 1);
  const auto first = snapshot();

  // The last import pointed the material at the exported TIFF itself: it is read whole before
  // it is replaced, so the second export writes the same picture again.
  dress(node, bitmap("Head_TXTR.tif"), nullptr, nullptr);
  ASSERT_EQ(exportHead(), 1);
  EXPECT_EQ(snapshot(), first);
  const TiffFacts again = probeTiff(folder.file("Head_TXTR.tif"));
  ASSERT_EQ(again.samples.size(), 45u);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(again.samples[x * 3 + 2], static_cast<unsigned char>(40 * x + 140));
}

TEST_F(TextureMapExport, FailedExportLeavesTheEarlierExportByteIdentical) {
  writeSources();
  INode* node = selectedBoxNode();
  dress(node, bitmap("skin.png"), bitmap("bumps.jpg"), bitmap("height.tif"));
  ASSERT_EQ(exportHead(), 1);
  const auto before = snapshot();
  ASSERT_EQ(before.size(), 7u);  // three sources, three TIFFs, the Vuk file

  // A FIFO as the displacement source is refused at once instead of waiting for a writer.
  ASSERT_EQ(::mkfifo(folder.file("pipe.tif").c_str(), 0600), 0);
  dress(node, bitmap("skin.png"), bitmap("bumps.jpg"), bitmap("pipe.tif"));
  EXPECT_EQ(exportHead(), 0);
  std::filesystem::remove(folder.file("pipe.tif"));
  EXPECT_EQ(snapshot(), before);

  // A full disk: the process's file size limit stops the larger diffuse map half-written.
  vuktest::putFile(folder.file("large.png"), vuktest::pngFile(300, 300, 8, 2, std::vector<std::uint32_t>(300 * 300 * 3, 7)));
  dress(node, bitmap("large.png"), bitmap("bumps.jpg"), bitmap("height.tif"));
  {
    const vuktest::FileSizeLimit full(100000);
    EXPECT_EQ(exportHead(), 0);
  }
  std::filesystem::remove(folder.file("large.png"));
  EXPECT_EQ(snapshot(), before);

  // A target that cannot be replaced (a folder took the Vuk file's name).
  std::filesystem::rename(folder.file("Head.vuk"), folder.file("kept.vuk"));
  std::filesystem::create_directory(folder.file("Head.vuk"));
  dress(node, bitmap("skin.png"), bitmap("skin.png"), bitmap("skin.png"));
  EXPECT_EQ(exportHead(), 0);
  std::filesystem::remove(folder.file("Head.vuk"));
  std::filesystem::rename(folder.file("kept.vuk"), folder.file("Head.vuk"));
  EXPECT_EQ(snapshot(), before);
}
