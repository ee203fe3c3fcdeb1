#include "material_setup.h"

#include <gtest/gtest.h>

#include "record_fixtures.h"
#include "standin/scene.h"

namespace {

class MaterialSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::resetScene();
    other = standin::addNode(L"Other", standin::newTriObject());
    node = standin::addNode(L"Head", standin::newTriObject());
    standin::selectNodes({other});
  }
  void TearDown() override { standin::resetScene(); }

  standin::MaterialState setUp() {
    setUpMaterial(planMaterial(record, L"Head"), node, standin::coreInterface());
    return standin::materialState(node->GetMtl());
  }

  static std::wstring mapName(Texmap* map) { return standin::textureState(map).mapName; }

  VukMesh record;
  INode* other = nullptr;
  INode* node = nullptr;
};

TEST_F(MaterialSetup, WithoutPathsTheNodeGetsAPlainWhiteMaterial) {
  const standin::MaterialState state = setUp();
  EXPECT_EQ(standin::selectedNodes(), std::vector<INode*>{node});
  EXPECT_EQ(state.name, L"Head_mat");
  for (const Color& c : {state.ambient, state.diffuse, state.specular}) {
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 1.0f);
    EXPECT_EQ(c.b, 1.0f);
  }
  EXPECT_EQ(state.shininess, 0.1f);
  EXPECT_EQ(state.shinStr, 0.7f);
  for (int slot = 0; slot < NTEXMAPS; ++slot) {
    EXPECT_EQ(state.maps[slot], nullptr) << slot;
    EXPECT_FALSE(state.enabled[slot]) << slot;
  }
  EXPECT_TRUE(standin::scriptLog().empty());
  EXPECT_TRUE(standin::bitmapLoads().empty());
}

TEST_F(MaterialSetup, AllThreeMaps) {
  record.texturePath = fixtures::copyText("C:\\maps\\head_TXTR.tif");
  record.normalMapPath = fixtures::copyText("C:\\maps\\head_NM.tif");
  record.displacementMapPath = fixtures::copyText("C:\\maps\\head_DM.tif");
  record.displacementAmount = -2.5f;
  const standin::MaterialState state = setUp();

  ASSERT_NE(state.maps[ID_DI], nullptr);
  EXPECT_EQ(mapName(state.maps[ID_DI]), L"C:\\maps\\head_TXTR.tif");
  EXPECT_EQ(standin::textureState(state.maps[ID_DI]).bitmapInfoName, L"C:\\maps\\head_TXTR.tif");
  EXPECT_EQ(standin::textureState(state.maps[ID_DI]).reloads, 2);
  EXPECT_EQ(state.amounts[ID_DI], 1.0f);
  EXPECT_TRUE(state.enabled[ID_DI]);

  ASSERT_NE(state.maps[ID_DP], nullptr);
  EXPECT_NE(state.maps[ID_DP], state.maps[ID_DI]);
  EXPECT_EQ(mapName(state.maps[ID_DP]), L"C:\\maps\\head_DM.tif");
  EXPECT_EQ(state.amounts[ID_DP], -2.5f);  // nothing clamps it
  EXPECT_TRUE(state.enabled[ID_DP]);
  EXPECT_EQ(state.maps[ID_BU], nullptr);  // the bump map is set by script

  EXPECT_EQ(standin::bitmapLoads(),
            (std::vector<std::wstring>{L"C:\\maps\\head_TXTR.tif", L"C:\\maps\\head_DM.tif"}));
  EXPECT_EQ(standin::liveBitmapCount(), 0u);
  ASSERT_EQ(standin::scriptLog().size(), 2u);
  EXPECT_EQ(standin::scriptLog()[0],
            L"$.material.bumpMapEnable = on; $.material.bumpMapAmount = 100; "
            L"$.material.bumpMap = Normal_Bump ();");
  EXPECT_EQ(standin::scriptLog()[1],
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:"
            L"\"C:\\\\maps\\\\head_NM.tif\"; "
            L"$.material.bumpMap.normal_map.alphaSource = 2; $.material.bumpMap.flipgreen = on;");
  for (const standin::ScriptCall& call : standin::scriptCalls()) {
    EXPECT_EQ(call.quietErrors, FALSE);
    EXPECT_FALSE(call.wantsResult);
  }
}

TEST_F(MaterialSetup, MapStepsInOrder) {
  record.texturePath = fixtures::copyText("a.tif");
  setUp();
  std::vector<std::wstring> mapCalls;
  for (const std::wstring& line : standin::journal()) {
    if (line.rfind(L"BitmapManager", 0) == 0 || line.rfind(L"NewDefaultBitmapTex", 0) == 0 ||
        line.rfind(L"BitmapTex::", 0) == 0 || line.rfind(L"MtlBase::SetSubTexmap", 0) == 0 ||
        line.rfind(L"StdMat::", 0) == 0) {
      mapCalls.push_back(line);
    }
  }
  EXPECT_EQ(mapCalls, (std::vector<std::wstring>{
                          L"BitmapManager::Load a.tif", L"NewDefaultBitmapTex",
                          L"BitmapTex::SetMap a.tif 0", L"BitmapTex::SetBitmapInfo a.tif",
                          L"BitmapTex::ReloadBitmapAndUpdate", L"BitmapTex::fnReload",
                          L"MtlBase::SetSubTexmap 1", L"StdMat::SetTexmapAmt 1 1 0",
                          L"StdMat::EnableMap 1 1"}));
}

TEST_F(MaterialSetup, OnlyANormalMapTouchesNoSlot) {
  record.normalMapPath = fixtures::copyText("");  // present but empty: still used
  const standin::MaterialState state = setUp();
  for (int slot = 0; slot < NTEXMAPS; ++slot) EXPECT_EQ(state.maps[slot], nullptr) << slot;
  ASSERT_EQ(standin::scriptLog().size(), 2u);
  EXPECT_EQ(standin::scriptLog()[1],
            L"$.material.bumpMap.normal_map = Bitmaptexture fileName:\"\"; "
            L"$.material.bumpMap.normal_map.alphaSource = 2; $.material.bumpMap.flipgreen = on;");
}

TEST_F(MaterialSetup, EmptyDiffusePathStillMakesItsTexture) {
  record.texturePath = fixtures::copyText("");
  const standin::MaterialState state = setUp();
  ASSERT_NE(state.maps[ID_DI], nullptr);
  EXPECT_EQ(mapName(state.maps[ID_DI]), L"");
  EXPECT_TRUE(state.enabled[ID_DI]);
  EXPECT_EQ(standin::bitmapLoads(), std::vector<std::wstring>{L""});
}

TEST_F(MaterialSetup, PathsAreReadInTheAnsiCodePage) {
  record.texturePath = fixtures::copyText("C:\\t\xe9l\xe9\x80.tif");
  const standin::MaterialState state = setUp();
  EXPECT_EQ(mapName(state.maps[ID_DI]), L"C:\\t\u00e9l\u00e9\u20ac.tif");
}

TEST_F(MaterialSetup, SlotReusesABitmapTextureButReplacesAnyOtherTexture) {
  StdMat2* material = NewDefaultStdMat();
  BitmapTex* existing = standin::newBitmapTexture(L"old.tif");
  material->SetSubTexmap(ID_DI, existing);
  Texmap* notABitmap = standin::newOtherTexture();
  material->SetSubTexmap(ID_DP, notABitmap);

  setUpMapSlot(material, ID_DI, L"new.tif", 1.0f);
  setUpMapSlot(material, ID_DP, L"disp.tif", 0.5f);

  const standin::MaterialState state = standin::materialState(material);
  EXPECT_EQ(state.maps[ID_DI], existing);
  EXPECT_EQ(mapName(existing), L"new.tif");
  ASSERT_NE(state.maps[ID_DP], nullptr);
  EXPECT_NE(state.maps[ID_DP], notABitmap);
  EXPECT_EQ(mapName(state.maps[ID_DP]), L"disp.tif");
  EXPECT_EQ(state.amounts[ID_DP], 0.5f);
}

}  // namespace
