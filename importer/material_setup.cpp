#include "material_setup.h"

#include <bitmap.h>
#include <maxscript/maxscript.h>
#include <strclass.h>

#include <memory>

#include "ansi_text.h"
#include "scene_scripts.h"

namespace {

std::optional<std::wstring> widePath(const char* path) {
  if (path == nullptr) return std::nullopt;
  return fromAnsiText(path);
}

struct BitmapDeleter {
  void operator()(Bitmap* bitmap) const { bitmap->DeleteThis(); }
};

// The texture already in the slot when it is a bitmap texture, else a new one.
BitmapTex* bitmapTextureOf(StdMat* material, int slot) {
  Texmap* existing = material->GetSubTexmap(slot);
  if (existing != nullptr && existing->ClassID() == Class_ID(BMTEX_CLASS_ID, 0)) {
    return static_cast<BitmapTex*>(existing);
  }
  return NewDefaultBitmapTex();
}

void runScript(const std::wstring& script) {
  ExecuteMAXScriptScript(script.c_str(), FALSE, nullptr);
}

}  // namespace

MaterialPlan planMaterial(const VukMesh& record, const std::wstring& importName) {
  MaterialPlan plan;
  plan.materialName = importName + L"_mat";
  plan.texturePath = widePath(record.texturePath.data());
  plan.displacementPath = widePath(record.displacementMapPath.data());
  plan.displacementAmount = record.displacementAmount;
  if (const std::optional<std::wstring> normalMap = widePath(record.normalMapPath.data())) {
    plan.normalMapScripts = {bumpMapScript(), normalMapScript(*normalMap)};
  }
  return plan;
}

void setUpMapSlot(StdMat* material, int slot, const std::wstring& path, float amount) {
  BitmapInfo info(path.c_str());
  BMMRES status = BMMRES_SUCCESS;
  const std::unique_ptr<Bitmap, BitmapDeleter> loaded(TheManager->Load(&info, &status));
  BitmapTex* texture = bitmapTextureOf(material, slot);
  if (texture == nullptr) return;
  texture->SetMap(info.GetAsset(), false);
  texture->SetBitmapInfo(info);
  texture->ReloadBitmapAndUpdate();
  texture->fnReload();
  material->SetSubTexmap(slot, texture);
  material->SetTexmapAmt(slot, amount, 0);
  material->EnableMap(slot, TRUE);
}

void setUpMaterial(const MaterialPlan& plan, INode* node, Interface* ip) {
  if (ip != nullptr) ip->SelectNode(node, 1);
  StdMat2* material = NewDefaultStdMat();
  if (material == nullptr) return;
  material->SetName(MSTR(plan.materialName.c_str()));
  const Color white(1.0f, 1.0f, 1.0f);
  material->SetAmbient(white, 0);
  material->SetDiffuse(white, 0);
  material->SetSpecular(white, 0);
  material->SetShininess(0.1f, 0);
  material->SetShinStr(0.7f, 0);
  node->SetMtl(material);
  if (plan.texturePath) setUpMapSlot(material, ID_DI, *plan.texturePath, 1.0f);
  for (const std::wstring& script : plan.normalMapScripts) runScript(script);
  if (plan.displacementPath) {
    setUpMapSlot(material, ID_DP, *plan.displacementPath, plan.displacementAmount);
  }
}
