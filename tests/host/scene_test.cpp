// The stand-in scene: selection, import nodes, objects and conversions, tracking, logs, heap.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include <impapi.h>
#include <inode.h>
#include <maxapi.h>
#include <maxheap.h>
#include <maxscript/maxscript.h>
#include <polyobj.h>
#include <systemutilities.h>
#include <triobj.h>
#include <windows.h>

#include "standin/scene.h"

namespace {

class SceneTest : public ::testing::Test {
protected:
  void SetUp() override { standin::resetScene(); }
  void TearDown() override { standin::resetScene(); }

  bool journalHas(const std::wstring& line) {
    const auto& lines = standin::journal();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
};

Matrix3 translation(float x, float y, float z) {
  Matrix3 tm(TRUE);
  tm.SetTrans(Point3(x, y, z));
  return tm;
}

TEST_F(SceneTest, SelectionFollowsSelectNodeAndClearSel) {
  Interface* ip = GetCOREInterface();
  ASSERT_EQ(ip, standin::coreInterface());
  INode* a = standin::addNode(L"A", standin::newPolyObject());
  INode* b = standin::addNode(L"B", standin::newPolyObject());
  INode* c = standin::addNode(L"C", standin::newPolyObject());
  EXPECT_EQ(ip->GetSelNodeCount(), 0);

  ip->SelectNode(a);
  ip->SelectNode(b, 0);
  ip->SelectNode(a, 0);  // already selected: stays once, in its place
  ASSERT_EQ(ip->GetSelNodeCount(), 2);
  EXPECT_EQ(ip->GetSelNode(0), a);
  EXPECT_EQ(ip->GetSelNode(1), b);
  EXPECT_EQ(ip->GetSelNode(2), nullptr);
  EXPECT_EQ(ip->GetSelNode(-1), nullptr);
  EXPECT_TRUE(a->Selected());
  EXPECT_FALSE(c->Selected());

  ip->SelectNode(c, 1);
  EXPECT_EQ(standin::selectedNodes(), std::vector<INode*>{c});
  ip->SelectNode(nullptr, 1);  // nothing to select: the selection stays
  EXPECT_EQ(ip->GetSelNodeCount(), 1);

  standin::selectNodes({c, a, b});
  EXPECT_EQ(ip->GetSelNode(0), c);
  EXPECT_EQ(ip->GetSelNode(2), b);
  ip->ClearNodeSelection();
  EXPECT_EQ(ip->GetSelNodeCount(), 0);
  EXPECT_TRUE(journalHas(L"Interface::SelectNode C 1"));
  EXPECT_TRUE(journalHas(L"Interface::ClearNodeSelection 1"));
}

TEST_F(SceneTest, NodesByNameTimeAndTransforms) {
  Interface* ip = GetCOREInterface();
  INode* first = standin::addNode(L"Head", standin::newPolyObject(), translation(1, 2, 3));
  standin::addNode(L"Head", standin::newPolyObject());
  EXPECT_EQ(ip->GetINodeByName(L"Head"), first);
  EXPECT_EQ(ip->GetINodeByName(L"head"), nullptr);
  EXPECT_EQ(ip->GetINodeByName(nullptr), nullptr);
  EXPECT_EQ(ip->GetTime(), 0);

  EXPECT_EQ(first->GetNodeTM(0).GetTrans(), Point3(1, 2, 3));
  EXPECT_EQ(first->GetObjectTM(0).GetTrans(), Point3(1, 2, 3));
  standin::setObjectOffset(first, translation(10, 0, 0));
  EXPECT_EQ(first->GetObjectTM(0).GetTrans(), Point3(11, 2, 3));
  EXPECT_EQ(first->GetNodeTM(0, nullptr).GetTrans(), Point3(1, 2, 3));
  first->SetName(L"Renamed");
  EXPECT_EQ(std::wstring(first->GetName()), L"Renamed");
}

TEST_F(SceneTest, ImportNodesJoinTheSceneOnlyWhenAdded) {
  ImpInterface* ii = standin::importInterface();
  Interface* ip = GetCOREInterface();
  TriObject* tri = CreateNewTriObject();
  ImpNode* imp = ii->CreateNode();
  ASSERT_NE(imp, nullptr);
  INode* node = imp->GetINode();
  ASSERT_NE(node, nullptr);
  imp->SetName(L"Head", true);
  EXPECT_EQ(imp->Reference(tri), REF_SUCCEED);
  EXPECT_EQ(imp->Reference(nullptr), REF_FAIL);
  imp->SetTransform(0, translation(0, 0, 5));
  imp->SetPivot(Point3(0.5f, 0.0f, 0.0f));

  EXPECT_TRUE(standin::sceneNodes().empty());
  EXPECT_EQ(standin::pendingNodeCount(), 1u);
  EXPECT_EQ(ip->GetINodeByName(L"Head"), nullptr);
  ip->SelectNode(node);  // not in the scene: cannot be selected
  EXPECT_EQ(ip->GetSelNodeCount(), 0);

  ii->AddNodeToScene(imp);
  ii->AddNodeToScene(imp);  // once only
  ASSERT_EQ(standin::sceneNodes(), std::vector<INode*>{node});
  EXPECT_EQ(standin::pendingNodeCount(), 0u);
  EXPECT_EQ(ip->GetINodeByName(L"Head"), node);
  EXPECT_EQ(node->GetObjectRef(), tri);
  EXPECT_EQ(standin::nodeTransform(node).GetTrans(), Point3(0, 0, 5));
  EXPECT_EQ(standin::nodePivot(node), Point3(0.5f, 0.0f, 0.0f));

  ii->RedrawViews();
  EXPECT_EQ(standin::redrawCount(), 1);
  const std::vector<std::wstring> expected = {
      L"CreateNewTriObject",          L"ImpInterface::CreateNode",       L"ImpNode::SetName Head 1",
      L"ImpNode::Reference Object",   L"ImpNode::Reference ",            L"ImpNode::SetTransform 0",
      L"ImpNode::SetPivot 0.5 0 0",   L"Interface::SelectNode Head 1",   L"ImpInterface::AddNodeToScene Head",
      L"ImpInterface::AddNodeToScene Head", L"ImpInterface::RedrawViews"};
  EXPECT_EQ(standin::journal(), expected);
}

TEST_F(SceneTest, RefusalsAnswerNull) {
  standin::refuseCreateNode(true);
  standin::refuseCreateNewTriObject(true);
  EXPECT_EQ(standin::importInterface()->CreateNode(), nullptr);
  EXPECT_EQ(CreateNewTriObject(), nullptr);
  EXPECT_EQ(standin::pendingNodeCount(), 0u);
  EXPECT_EQ(standin::liveObjectCount(), 0u);
  standin::resetScene();
  EXPECT_NE(standin::importInterface()->CreateNode(), nullptr);
  EXPECT_NE(CreateNewTriObject(), nullptr);
}

// Two triangles sharing the edge 1-2, with texture and colour faces.
TriObject* twoTriangles() {
  TriObject* tri = standin::newTriObject(L"Quad");
  Mesh& mesh = tri->GetMesh();
  mesh.setNumVerts(4);
  mesh.setNumFaces(2);
  for (int i = 0; i < 4; ++i) mesh.verts[i] = Point3(i, 2 * i, 3 * i);
  mesh.faces[0].setVerts(0, 1, 2);
  mesh.faces[1].setVerts(2, 1, 3);
  mesh.faces[0].setSmGroup(1);
  mesh.faces[1].setSmGroup(4);
  mesh.setFaceMtlIndex(0, 7);
  mesh.setFaceMtlIndex(1, 65535);
  mesh.setNumTVerts(5);
  mesh.setNumTVFaces(2);
  for (int i = 0; i < 5; ++i) mesh.tVerts[i] = UVVert(0.1f * i, 0.2f, 0.0f);
  mesh.tvFace[0].setTVerts(0, 1, 2);
  mesh.tvFace[1].setTVerts(4, 3, 2);
  mesh.setNumVertCol(1);
  mesh.setNumVCFaces(2);
  mesh.vertCol[0] = VertColor(1.0f, 0.5f, 0.25f);
  return tri;
}

TEST_F(SceneTest, TriangleMeshConvertsToANewPolyKeepingFacesAndMaps) {
  TriObject* tri = twoTriangles();
  ASSERT_TRUE(tri->CanConvertToType(polyObjectClassID));
  ASSERT_TRUE(tri->CanConvertToType(triObjectClassID));
  EXPECT_EQ(tri->ConvertToType(0, triObjectClassID), tri);

  Object* converted = tri->ConvertToType(0, polyObjectClassID);
  ASSERT_NE(converted, nullptr);
  ASSERT_NE(converted, tri);
  ASSERT_TRUE(converted->ClassID() == polyObjectClassID);
  EXPECT_EQ(std::wstring(converted->GetObjectName()), L"Quad");
  MNMesh& mm = static_cast<PolyObject*>(converted)->GetMesh();
  ASSERT_EQ(mm.numv, 4);
  ASSERT_EQ(mm.numf, 2);
  EXPECT_EQ(mm.P(3), Point3(3, 6, 9));
  EXPECT_EQ(mm.f[1].deg, 3);
  EXPECT_EQ(mm.f[1].vtx[0], 2);
  EXPECT_EQ(mm.f[1].vtx[2], 3);
  EXPECT_EQ(mm.f[1].smGroup, 4u);
  EXPECT_EQ(mm.f[0].material, 7);
  EXPECT_EQ(mm.f[1].material, 65535);
  EXPECT_EQ(mm.nume, 5);  // the shared edge once
  EXPECT_EQ(mm.f[0].edg[1], mm.f[1].edg[0]);

  MNMap* uvs = mm.M(1);
  ASSERT_NE(uvs, nullptr);
  ASSERT_EQ(uvs->numv, 5);
  ASSERT_EQ(uvs->numf, 2);
  EXPECT_EQ(uvs->f[1].tv[0], 4);
  EXPECT_FLOAT_EQ(uvs->v[4].x, 0.4f);
  MNMap* colours = mm.M(0);
  ASSERT_NE(colours, nullptr);
  ASSERT_EQ(colours->numv, 1);
  EXPECT_EQ(colours->v[0], Point3(1.0f, 0.5f, 0.25f));
  EXPECT_EQ(colours->f[1].tv[2], 0);

  EXPECT_EQ(standin::liveObjectCount(), 2u);
  delete converted;  // a converted object may be released by the caller
  EXPECT_EQ(standin::liveObjectCount(), 1u);
  EXPECT_TRUE(journalHas(L"ConvertToType Quad 1562457754 0"));
}

TEST_F(SceneTest, TriangleMeshWithoutMapsConvertsWithoutChannels) {
  TriObject* tri = standin::newTriObject();
  tri->mesh.setNumVerts(3);
  tri->mesh.setNumFaces(1);
  tri->mesh.faces[0].setVerts(0, 1, 2);
  auto* poly = static_cast<PolyObject*>(tri->ConvertToType(0, polyObjectClassID));
  ASSERT_NE(poly, nullptr);
  EXPECT_LE(poly->mm.MNum(), 1);
  EXPECT_EQ(poly->mm.nume, 3);
}

TEST_F(SceneTest, TriangleMeshWithAnIndexOutOfRangeDoesNotConvert) {
  TriObject* tri = twoTriangles();
  tri->mesh.faces[1].setVerts(2, 1, 4);
  EXPECT_EQ(tri->ConvertToType(0, polyObjectClassID), nullptr);
  tri->mesh.faces[1].setVerts(2, 1, 3);
  tri->mesh.tvFace[1].setTVerts(5, 3, 2);
  EXPECT_EQ(tri->ConvertToType(0, polyObjectClassID), nullptr);
  EXPECT_EQ(standin::liveObjectCount(), 1u);
}

TEST_F(SceneTest, PolyAnswersItselfAndShapesConvertToNothing) {
  PolyObject* poly = standin::newPolyObject(L"Box001");
  EXPECT_EQ(std::wstring(poly->GetObjectName()), L"Box001");
  EXPECT_EQ(poly->ConvertToType(0, polyObjectClassID), poly);
  EXPECT_FALSE(poly->CanConvertToType(triObjectClassID));
  EXPECT_EQ(poly->ConvertToType(0, triObjectClassID), nullptr);

  Object* shape = standin::newShapeObject();
  EXPECT_FALSE(shape->CanConvertToType(polyObjectClassID));
  EXPECT_FALSE(shape->CanConvertToType(triObjectClassID));
  EXPECT_EQ(shape->ConvertToType(0, polyObjectClassID), nullptr);
  standin::setObjectName(shape, L"Line001");
  EXPECT_EQ(std::wstring(shape->GetObjectName()), L"Line001");
  EXPECT_EQ(std::wstring(standin::newTriObject()->GetObjectName()), L"Object");
}

TEST_F(SceneTest, DeletingATrackedItemDropsEveryReferenceToIt) {
  TriObject* tri = CreateNewTriObject();
  INode* node = standin::addNode(L"N", tri);
  StdMat2* material = NewDefaultStdMat();
  BitmapTex* texture = NewDefaultBitmapTex();
  material->SetSubTexmap(ID_DI, texture);
  node->SetMtl(material);
  EXPECT_EQ(standin::liveObjectCount(), 3u);

  delete texture;
  EXPECT_EQ(material->GetSubTexmap(ID_DI), nullptr);
  delete tri;
  EXPECT_EQ(node->GetObjectRef(), nullptr);
  delete material;
  EXPECT_EQ(node->GetMtl(), nullptr);
  EXPECT_EQ(standin::liveObjectCount(), 0u);

  standin::newPolyObject();
  NewDefaultStdMat();
  standin::resetScene();
  EXPECT_EQ(standin::liveObjectCount(), 0u);
  EXPECT_TRUE(standin::sceneNodes().empty());
}

TEST_F(SceneTest, NewStandardMaterialAndItsSlots) {
  StdMat2* material = NewDefaultStdMat();
  ASSERT_TRUE(material->ClassID() == Class_ID(DMTL_CLASS_ID, 0));
  for (int id = 0; id < NTEXMAPS; ++id) {
    EXPECT_EQ(material->GetSubTexmap(id), nullptr);
    EXPECT_FALSE(material->MapEnabled(id));
    EXPECT_EQ(material->GetTexmapAmt(id, 0), 1.0f);
  }
  material->SetName(WStr(L"Head_mat"));
  material->SetAmbient(Color(1, 1, 1), 0);
  material->SetShininess(0.1f, 0);
  material->SetShinStr(0.7f, 0);
  BitmapTex* texture = NewDefaultBitmapTex();
  material->SetSubTexmap(ID_DP, texture);
  material->SetTexmapAmt(ID_DP, -2.5f, 0);
  material->EnableMap(ID_DP, TRUE);

  const standin::MaterialState state = standin::materialState(material);
  EXPECT_EQ(state.name, L"Head_mat");
  EXPECT_EQ(state.ambient, Color(1, 1, 1));
  EXPECT_EQ(state.shininess, 0.1f);
  EXPECT_EQ(state.shinStr, 0.7f);
  EXPECT_EQ(state.maps[ID_DP], texture);
  EXPECT_EQ(state.amounts[ID_DP], -2.5f);
  EXPECT_TRUE(state.enabled[ID_DP]);
  EXPECT_FALSE(state.enabled[ID_DI]);
  EXPECT_EQ(std::wstring(material->GetName().data()), L"Head_mat");

  // A slot the material does not have is undefined on the host: the test stops.
  EXPECT_DEATH(material->SetSubTexmap(NTEXMAPS, texture), "StdMat::SetSubTexmap: map slot outside");
  EXPECT_DEATH(material->EnableMap(-1, TRUE), "StdMat::EnableMap");
  EXPECT_DEATH(material->GetTexmapAmt(99, 0), "StdMat::GetTexmapAmt");
  EXPECT_TRUE(journalHas(L"StdMat::SetTexmapAmt 11 -2.5 0"));
  EXPECT_TRUE(journalHas(L"StdMat::EnableMap 11 1"));
  EXPECT_TRUE(journalHas(L"MtlBase::SetName Head_mat"));
}

TEST_F(SceneTest, OtherMaterialsAndTexturesAreTellable) {
  Mtl* multi = standin::newMultiMaterial();
  Texmap* other = standin::newOtherTexture();
  BitmapTex* bitmapTexture = standin::newBitmapTexture(L"a.png");
  EXPECT_TRUE(multi->ClassID() == Class_ID(MULTI_CLASS_ID, 0));
  EXPECT_TRUE(multi->ClassID() != Class_ID(DMTL_CLASS_ID, 0));
  EXPECT_EQ(multi->GetSubTexmap(ID_DI), nullptr);
  EXPECT_TRUE(other->ClassID() != Class_ID(BMTEX_CLASS_ID, 0));
  EXPECT_TRUE(bitmapTexture->ClassID() == Class_ID(BMTEX_CLASS_ID, 0));
  EXPECT_EQ(standin::textureState(other).mapName, L"");
  StdMat2* standard = NewDefaultStdMat();
  EXPECT_EQ(standin::materials(), (std::vector<Mtl*>{multi, standard}));
  EXPECT_EQ(standin::materialState(multi).maps[ID_DI], nullptr);
}

TEST_F(SceneTest, BitmapTextureAnswersABitmapNamingItsFile) {
  BitmapTex* fresh = NewDefaultBitmapTex();
  EXPECT_EQ(fresh->GetBitmap(0), nullptr);

  BitmapTex* texture = standin::newBitmapTexture(L"C:\\maps\\skin.png");
  Bitmap* bitmap = texture->GetBitmap(0);
  ASSERT_NE(bitmap, nullptr);
  BitmapInfo info(bitmap->Storage()->bi);
  EXPECT_EQ(std::wstring(info.Name()), L"C:\\maps\\skin.png");
  EXPECT_EQ(texture->GetBitmap(0), bitmap);
  bitmap->DeleteThis();  // the texture's own bitmap stays with the texture
  EXPECT_EQ(standin::liveBitmapCount(), 1u);

  BitmapInfo next(L"C:\\maps\\new.tif");
  fresh->SetMap(next.GetAsset(), false);
  fresh->SetBitmapInfo(next);
  fresh->ReloadBitmapAndUpdate();
  fresh->fnReload();
  fresh->BitmapLoadDlg();
  fresh->fnViewImage();
  EXPECT_EQ(std::wstring(fresh->GetMapName()), L"C:\\maps\\new.tif");
  EXPECT_EQ(std::wstring(fresh->GetBitmap(0)->Storage()->bi.Name()), L"C:\\maps\\new.tif");
  const standin::TextureState state = standin::textureState(fresh);
  EXPECT_EQ(state.mapName, L"C:\\maps\\new.tif");
  EXPECT_EQ(state.bitmapInfoName, L"C:\\maps\\new.tif");
  EXPECT_EQ(state.reloads, 2);
  fresh->SetMapName(L"");
  EXPECT_EQ(fresh->GetBitmap(0), nullptr);
  EXPECT_TRUE(journalHas(L"BitmapTex::SetMap C:\\maps\\new.tif 0"));
}

TEST_F(SceneTest, BitmapManagerRecordsLoadsAndHandsOutBitmaps) {
  BitmapInfo info(L"C:\\maps\\a.tif");
  BMMRES status = 77;
  Bitmap* bitmap = TheManager->Load(&info, &status);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(status, BMMRES_SUCCESS);
  EXPECT_EQ(std::wstring(bitmap->Storage()->bi.Name()), L"C:\\maps\\a.tif");
  EXPECT_EQ(TheManager->Load(nullptr), nullptr);
  EXPECT_EQ(standin::bitmapLoads(), std::vector<std::wstring>{L"C:\\maps\\a.tif"});
  EXPECT_EQ(standin::liveBitmapCount(), 1u);
  bitmap->DeleteThis();
  EXPECT_EQ(standin::liveBitmapCount(), 0u);
  TheManager->Load(&info);  // never released: resetScene frees it
}

TEST_F(SceneTest, BitmapInfoNamesCopiesAndAssets) {
  BitmapInfo empty;
  EXPECT_EQ(std::wstring(empty.Name()), L"");
  BitmapInfo named(static_cast<const MCHAR*>(nullptr));
  EXPECT_EQ(std::wstring(named.SetName(L"b.tif")), L"b.tif");
  BitmapInfo fromAsset(named.GetAsset());
  EXPECT_EQ(std::wstring(fromAsset.Name()), L"b.tif");
  EXPECT_EQ(std::wstring(named.GetAsset().GetFileName().data()), L"b.tif");
}

TEST_F(SceneTest, ScriptsAndMessagesAreRecordedNotRun) {
  EXPECT_TRUE(ExecuteMAXScriptScript(L"IDisplayGamma.colorCorrectionMode = #none;"));
  EXPECT_TRUE(ExecuteMAXScriptScript(L"  two  blanks ", TRUE, nullptr));
  EXPECT_FALSE(ExecuteMAXScriptScript(nullptr));
  const std::vector<std::wstring> texts = {L"IDisplayGamma.colorCorrectionMode = #none;", L"  two  blanks "};
  EXPECT_EQ(standin::scriptLog(), texts);
  ASSERT_EQ(standin::scriptCalls().size(), 2u);
  EXPECT_EQ(standin::scriptCalls()[0].quietErrors, FALSE);
  EXPECT_EQ(standin::scriptCalls()[1].quietErrors, TRUE);
  EXPECT_FALSE(standin::scriptCalls()[1].wantsResult);

  EXPECT_EQ(MessageBoxW(NULL, L"Please select an object to export", L"Selection error", MB_OK), IDOK);
  ASSERT_EQ(standin::messageBoxLog().size(), 1u);
  EXPECT_EQ(standin::messageBoxLog()[0].text, L"Please select an object to export");
  EXPECT_EQ(standin::messageBoxLog()[0].caption, L"Selection error");
  EXPECT_EQ(standin::messageBoxLog()[0].type, 0u);

  standin::resetScene();
  EXPECT_TRUE(standin::scriptLog().empty());
  EXPECT_TRUE(standin::scriptLogUtf8().empty());
  EXPECT_TRUE(standin::messageBoxLog().empty());
  EXPECT_TRUE(standin::journal().empty());
}

// Scripts are kept as UTF-8; the wide log still gives back every code unit exactly, and a text
// logged after the wide log was read is added to it.
TEST_F(SceneTest, ScriptTextsKeepEveryCharacterInBothForms) {
  ASSERT_TRUE(ExecuteMAXScriptScript(L"a\u007f\u0080\u07ff\u0800\uffff\U00010000\U0010FFFF"));
  ASSERT_EQ(standin::scriptLog().size(), 1u);
  std::wstring unencodable = L"x";
  for (long long c : {0xD800LL, 0xDFFFLL, 0x110000LL}) unencodable += static_cast<wchar_t>(c);
  ASSERT_TRUE(ExecuteMAXScriptScript(unencodable.c_str()));
  const std::vector<std::wstring> texts = {L"a\u007f\u0080\u07ff\u0800\uffff\U00010000\U0010FFFF",
                                           unencodable};
  EXPECT_EQ(standin::scriptLog(), texts);
  ASSERT_EQ(standin::scriptLogUtf8().size(), 2u);
  EXPECT_EQ(standin::scriptLogUtf8()[0],
            "a\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xef\xbf\xbf\xf0\x90\x80\x80\xf4\x8f\xbf\xbf");
  EXPECT_EQ(standin::scriptLogUtf8()[1], "x\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(standin::scriptCalls().back().text, unencodable);
}

TEST_F(SceneTest, StartUpCallsAreJournaledWithTheModule) {
  Dl_info self{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&standin::resetScene), &self), 0);
  const HMODULE library = static_cast<HMODULE>(self.dli_fbase);
  const std::wstring handle = std::to_wstring(reinterpret_cast<std::uintptr_t>(library));
  MaxSDK::Util::UseLanguagePackLocale(library);
  EXPECT_EQ(DisableThreadLibraryCalls(library), TRUE);
  EXPECT_EQ(DisableThreadLibraryCalls(nullptr), FALSE);
  EXPECT_EQ(standin::journal()[0], L"UseLanguagePackLocale " + handle);
  EXPECT_EQ(standin::journal()[1], L"DisableThreadLibraryCalls " + handle);

  // Without a handle the call stands for the module that makes it: this program.
  Dl_info program{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&translation), &program), 0);
  MaxSDK::Util::UseLanguagePackLocale();
  EXPECT_EQ(standin::journal().back(),
            L"UseLanguagePackLocale " + std::to_wstring(reinterpret_cast<std::uintptr_t>(program.dli_fbase)));
}

class OnHostHeap : public MaxHeapOperators {
public:
  int value = 42;
};

TEST_F(SceneTest, HostHeapServesAndRefuses) {
  OnHostHeap* single = new OnHostHeap;
  OnHostHeap* many = new OnHostHeap[3];
  EXPECT_EQ(single->value + many[2].value, 84);
  delete single;
  delete[] many;
  alignas(OnHostHeap) unsigned char storage[sizeof(OnHostHeap)];
  OnHostHeap* placed = new (static_cast<void*>(storage)) OnHostHeap;
  EXPECT_EQ(placed->value, 42);

  EXPECT_EQ(MaxHeapOperators::operator new(SIZE_MAX, std::nothrow), nullptr);
  EXPECT_EQ(MaxHeapOperators::operator new[](SIZE_MAX, std::nothrow), nullptr);
  EXPECT_THROW(MaxHeapOperators::operator new(SIZE_MAX), std::bad_alloc);

  standin::refuseHostHeap(true);
  EXPECT_EQ(new (std::nothrow) OnHostHeap, nullptr);
  EXPECT_THROW(delete new OnHostHeap, std::bad_alloc);
  EXPECT_EQ(CreateNewTriObject(), nullptr);
  EXPECT_EQ(NewDefaultStdMat(), nullptr);
  EXPECT_EQ(standin::importInterface()->CreateNode(), nullptr);
  standin::resetScene();
  OnHostHeap* again = new (std::nothrow) OnHostHeap;
  EXPECT_NE(again, nullptr);
  delete again;
}

TEST(ClassId, ComparesBothParts) {
  EXPECT_EQ(Class_ID().PartA(), 0xFFFFFFFFu);
  EXPECT_EQ(Class_ID().PartB(), 0xFFFFFFFFu);
  const Class_ID exporter(0x552EBE7C, 0x81518901);
  EXPECT_EQ(exporter.PartB(), 2169604353u);
  EXPECT_TRUE(exporter == Class_ID(0x552EBE7C, 0x81518901));
  EXPECT_TRUE(exporter != Class_ID(0x552EBE7C, 0));
  EXPECT_TRUE(Class_ID(1, 9) < Class_ID(2, 0));
  EXPECT_TRUE(Class_ID(1, 0) < Class_ID(1, 1));
  EXPECT_FALSE(Class_ID(1, 1) < Class_ID(1, 1));
  EXPECT_TRUE(polyObjectClassID == Class_ID(POLYOBJ_CLASS_ID, 0));
  EXPECT_TRUE(triObjectClassID == Class_ID(TRIOBJ_CLASS_ID, 0));
}

}  // namespace
