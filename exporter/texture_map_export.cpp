#include "texture_map_export.h"

#include <bitmap.h>
#include <imtl.h>
#include <stdmat.h>

#include "ansi_text.h"
#include "file_name.h"
#include "tiff_conversion.h"

namespace {

struct MapSlot {
  int mapId;
  const wchar_t* suffix;
  const char* name;
  RecordText VukMesh::*field;
};

constexpr MapSlot mapSlots[] = {
    {diffuseMapId, L"_TXTR.tif", "diffuse", &VukMesh::texturePath},
    {bumpMapId, L"_NM.tif", "bump", &VukMesh::normalMapPath},
    {displacementMapId, L"_DM.tif", "displacement", &VukMesh::displacementMapPath},
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

// The wide name of the file the texture shows: the name in its loaded bitmap's info, or its map
// name when no bitmap is loaded.
std::wstring sourceNameOf(BitmapTex* texture) {
  Bitmap* bitmap = texture->GetBitmap(0);
  BitmapStorage* storage = bitmap != nullptr ? bitmap->Storage() : nullptr;
  if (storage == nullptr) {
    const MCHAR* mapName = texture->GetMapName();
    return mapName != nullptr ? std::wstring(mapName) : std::wstring();
  }
  const BitmapInfo info(storage->bi);
  return info.Name() != nullptr ? std::wstring(info.Name()) : std::wstring();
}

bool refuse(std::string& reason, const std::string& text) {
  reason = text;
  return false;
}

}  // namespace

std::wstring tiffPathFor(const std::wstring& exportName, int mapId) {
  const MapSlot* slot = slotFor(mapId);
  if (slot == nullptr) return std::wstring();
  const std::size_t kept = exportName.size() < 4 ? exportName.size() : exportName.size() - 4;
  return exportName.substr(0, kept) + slot->suffix;
}

bool exportTextureMap(INode* node, const std::wstring& exportName, VukMesh& mesh, int mapId,
                      vuk::FileTransaction& transaction, std::string& reason) {
  const MapSlot* slot = slotFor(mapId);
  StdMat* material = (slot != nullptr && node != nullptr) ? standardMaterialOf(node) : nullptr;
  BitmapTex* texture = material != nullptr ? bitmapInSlot(material, mapId) : nullptr;
  if (texture == nullptr) return true;
  const std::wstring tiffName = tiffPathFor(exportName, mapId);
  const std::optional<std::string> tiffFile = vuk::fileNameOf(tiffName.c_str());
  const std::string map = std::string("the ") + slot->name + " map";
  if (!tiffFile) return refuse(reason, "the name of " + map + "'s TIFF is not valid text");
  // The file carries the path in the system's code page; a path with a character that the code
  // page cannot hold would name another file there.
  const std::optional<std::string> recordedPath = toAnsiText(tiffName.c_str());
  if (!recordedPath) {
    return refuse(reason, "cannot record the path " + *tiffFile + " of " + map +
                              ": the system's code page cannot hold every character of it");
  }
  const std::wstring sourceName = sourceNameOf(texture);
  const std::optional<std::string> sourceFile = vuk::fileNameOf(sourceName.c_str());
  if (!sourceFile) return refuse(reason, "the file name of " + map + " is not valid text");
  const std::optional<std::string> temporary = transaction.stage(*tiffFile);
  if (!temporary) return refuse(reason, transaction.failure());
  std::string why;
  if (!convertImageToTiff(*sourceFile, *temporary, &why)) {
    return refuse(reason, map + " " + *sourceFile + " cannot be re-saved as " + *tiffFile + ": " + why);
  }
  mesh.*slot->field = recordText(*recordedPath);
  if (mapId == displacementMapId) mesh.displacementAmount = material->GetTexmapAmt(displacementMapId, 0);
  return true;
}
