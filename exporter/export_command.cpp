#include "export_command.h"

#include <inode.h>
#include <maxscript/maxscript.h>
#include <object.h>
#include <polyobj.h>
#include <strclass.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "file_transaction.h"
#include "geometry_extraction.h"
#include "text_conversion.h"
#include "texture_map_export.h"
#include "vuk_file.h"

namespace {

// Longest object name the file carries, in bytes without the terminating zero.
constexpr std::size_t maxObjectNameBytes = 511;

struct ChosenNode {
  INode* node = nullptr;
  Object* object = nullptr;
  Matrix3 transform{TRUE};
};

// Deletes a poly object that the conversion made anew; one that is the node's own stays.
struct ConvertedObject {
  Object* source;
  void operator()(Object* converted) const {
    if (converted != source) delete converted;
  }
};

void collapseSelection() {
  ExecuteMAXScriptScript(WStr::FromACP("subobjectLevel = 0; maxOps.CollapseNode $ off"), FALSE, nullptr);
}

// Tries the selected nodes in order, collapsing the selection before looking at each one.
std::optional<ChosenNode> firstConvertibleNode(Interface* ip) {
  for (int index = 0; index < ip->GetSelNodeCount(); ++index) {
    ChosenNode chosen;
    chosen.node = ip->GetSelNode(index);
    collapseSelection();
    if (chosen.node == nullptr) continue;
    chosen.object = chosen.node->GetObjectRef();
    chosen.transform = chosen.node->GetObjectTM(0);
    if (chosen.object != nullptr && chosen.object->CanConvertToType(polyObjectClassID)) return chosen;
  }
  return std::nullopt;
}

void extractGeometry(VukMesh& record, MNMesh& poly, const Matrix3& transform) {
  const int vertexCount = poly.numv;
  const int faceCount = poly.numf;
  extractVertices(record, poly, vertexCount, transform);
  extractVertexColors(record, poly, vertexCount);
  const int splitFaceCount = triangulateLargeFaces(poly, faceCount);
  extractFaces(record, poly, splitFaceCount);
  extractTextureCoords(record, poly, splitFaceCount, 1);
  extractCreaseFlags(record, poly, splitFaceCount, EDATA_CREASE);
}

bool exportTextureMaps(INode* node, const std::string& path, VukMesh& record, vuk::FileTransaction& transaction) {
  for (int mapId : {diffuseMapId, bumpMapId, displacementMapId}) {
    if (!exportTextureMap(node, path, record, mapId, transaction)) return false;
  }
  return true;
}

// The Vuk file joins the TIFFs; then all of them replace their targets together or none does.
bool writeAll(const VukMesh& record, const std::string& path, vuk::FileTransaction& transaction) {
  if (record.vertexCount >= 1) {
    const std::optional<std::string> temporary = transaction.stage(path);
    if (!temporary || !vuk::writeVukFileAt(record, temporary->c_str())) return false;
  }
  return transaction.commit();
}

int exportNode(const ChosenNode& chosen, const std::string& path) {
  std::unique_ptr<Object, ConvertedObject> converted(chosen.object->ConvertToType(0, polyObjectClassID),
                                                      ConvertedObject{chosen.object});
  if (!converted || converted->ClassID() != polyObjectClassID) return 0;
  MNMesh& poly = static_cast<PolyObject*>(converted.get())->GetMesh();
  VukMesh record;
  record.objectName = recordText(toNarrowTextCut(chosen.object->GetObjectName(), maxObjectNameBytes));
  extractGeometry(record, poly, chosen.transform);
  vuk::FileTransaction transaction;  // an early return removes every temporary
  if (!exportTextureMaps(chosen.node, path, record, transaction)) return 0;
  if (record.vertexCount < 1 && transaction.empty()) return 1;  // no vertices: no Vuk file
  return writeAll(record, path, transaction) ? 1 : 0;
}

int exportSelection(const MCHAR* name, Interface* ip) {
  if (ip == nullptr) return 0;
  const int selected = ip->GetSelNodeCount();
  if (selected == 0) {
    MessageBoxW(nullptr, L"Please select an object to export", L"Selection error", MB_OK);
    return 0;
  }
  if (selected < 1) return 0;
  const std::optional<std::string> path = toNarrowText(name);
  if (!path || path->empty()) return 0;
  const std::optional<ChosenNode> chosen = firstConvertibleNode(ip);
  return chosen ? exportNode(*chosen, *path) : 0;
}

}  // namespace

int runExport(const MCHAR* name, Interface* ip) noexcept {
  try {
    return exportSelection(name, ip);
  } catch (...) {
    return 0;
  }
}
