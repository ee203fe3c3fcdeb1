#include "texture_map_export.h"

#include <bitmap.h>
#include <imtl.h>
#include <stdmat.h>

#include "text_conversion.h"
#include "tiff_conversion.h"

namespace {

struct MapSlot {
  int mapId;
  const char* suffix;
  RecordText VukMesh::*field;
};

constexpr MapSlot mapSlots[] = {
    {diffuseMapId, "_TXTR.tif", &VukMesh::texturePath},
    {bumpMapId, "_NM.tif", &VukMesh::normalMapPath},
    {displacementMapId, "_DM.tif", &VukMesh::displacementMapPath},
};

const MapSlot* slotFor(int mapId) {
  for (const MapSlot& slot : mapSlots) {
    if (slot.mapId == mapId) return &slot;
  }
  return nullptr;
}

StdMat* standardMaterialOf(INode* node) {
  Mtl* material = node->GetMtl();
  if (material == nullptr || material->ClassID() != Class_ID(DMTL_CLASS_ID, 0)) return nullptr;
  return static_cast<StdMat*>(material);
}

BitmapTex* bitmapInSlot(StdMat* material, int mapId) {
  Texmap* texture = material->GetSubTexmap(mapId);
  if (texture == nullptr || texture->ClassID() != Class_ID(BMTEX_CLASS_ID, 0)) return nullptr;
  return static_cast<BitmapTex*>(texture);
}

// The 8-bit name of the file the texture shows: the name in its loaded bitmap's info, or its map
// name when no bitmap is loaded. Nothing when the name has no 8-bit form.
std::optional<std::string> sourcePathOf(BitmapTex* texture) {
  Bitmap* bitmap = texture->GetBitmap(0);
  BitmapStorage* storage = bitmap != nullptr ? bitmap->Storage() : nullptr;
  if (storage == nullptr) return toNarrowText(texture->GetMapName());
  const BitmapInfo info(storage->bi);
  return toNarrowText(info.Name());
}

void recordPath(VukMesh& mesh, const MapSlot& slot, const std::string& tiffPath) {
  mesh.*slot.field = recordText(tiffPath);
}

}  // namespace

std::string tiffPathFor(const std::string& exportPath, int mapId) {
  const MapSlot* slot = slotFor(mapId);
  if (slot == nullptr) return std::string();
  return withoutLastCharacters(exportPath, 4) + slot->suffix;
}

bool exportTextureMap(INode* node, const std::string& exportPath, VukMesh& mesh, int mapId,
                      vuk::FileTransaction& transaction) {
  const MapSlot* slot = slotFor(mapId);
  StdMat* material = (slot != nullptr && node != nullptr) ? standardMaterialOf(node) : nullptr;
  BitmapTex* texture = material != nullptr ? bitmapInSlot(material, mapId) : nullptr;
  if (texture == nullptr) return true;
  const std::string tiffPath = tiffPathFor(exportPath, mapId);
  const std::optional<std::string> sourcePath = sourcePathOf(texture);
  if (!sourcePath) return false;
  const std::optional<std::string> temporary = transaction.stage(tiffPath);
  if (!temporary || !convertImageToTiff(*sourcePath, *temporary)) return false;
  recordPath(mesh, *slot, tiffPath);
  if (mapId == displacementMapId) mesh.displacementAmount = material->GetTexmapAmt(displacementMapId, 0);
  return true;
}
