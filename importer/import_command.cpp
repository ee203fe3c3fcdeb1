#include "import_command.h"

#include <matrix3.h>
#include <maxscript/maxscript.h>
#include <triobj.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import_name.h"
#include "material_setup.h"
#include "mesh_builder.h"
#include "record_check.h"
#include "record_loading.h"
#include "scene_scripts.h"

namespace {

// Deletes the new object unless a node has taken it.
struct TriObjectDeleter {
  void operator()(TriObject* object) const { delete object; }
};
using PendingObject = std::unique_ptr<TriObject, TriObjectDeleter>;

// The new object and every text that the steps after AddNodeToScene use, made beforehand; the
// long scripts are written out one at a time, into memory reserved here.
struct ImportPlan {
  std::wstring importName;
  PendingObject object;
  MaterialPlan material;
  std::optional<SceneScripts> scripts;  // selection sets, then the crease commands
};

void runScript(const wchar_t* script) { ExecuteMAXScriptScript(script, FALSE, nullptr); }

bool readRecord(const MCHAR* name, VukMesh& record) {
  const std::optional<std::string> path = narrowFileName(name);
  RecordArrayCounts counts;
  return path && loadRecord(path->c_str(), record, counts) && vuk::checkRecord(record, counts, nullptr);
}

template <typename T>
void releaseArray(T*& array) {
  vukRelease(array);
  array = nullptr;
}

// After the mesh is built only the record's texts and displacement amount are read, so its
// arrays, the size of the file, go back to the heap before the scripts are made.
void releaseArrays(VukMesh& record) {
  releaseArray(record.vertices);
  releaseArray(record.vertexColors);
  releaseArray(record.vertexMask);
  releaseArray(record.faces);
  releaseArray(record.uvs);
  releaseArray(record.polygroups);
  releaseArray(record.faceCreaseFlags);
  record.vertexCount = 0;
  record.faceCount = 0;
}

std::optional<ImportPlan> planImport(const MCHAR* name) {
  VukMesh record;
  if (!readRecord(name, record)) return std::nullopt;
  ImportPlan plan;
  plan.object.reset(CreateNewTriObject());
  if (!plan.object) return std::nullopt;
  std::vector<std::int32_t> creaseEdgeList;
  GroupFaceTable groupFaceTable;
  if (!buildHostMesh(record, plan.object->GetMesh(), creaseEdgeList, groupFaceTable)) {
    return std::nullopt;
  }
  releaseArrays(record);
  plan.importName = importNameOf(name);
  plan.material = planMaterial(record, plan.importName);
  plan.scripts.emplace(std::move(groupFaceTable), std::move(creaseEdgeList), plan.importName);
  return plan;
}

// Names the node, hands it the object at the identity transform and adds it to the scene.
bool addNode(ImpInterface* ii, ImpNode* node, ImportPlan& plan) {
  node->SetName(plan.importName.c_str(), true);
  const Matrix3 identity(TRUE);
  if (node->Reference(plan.object.get()) == REF_FAIL) return false;
  static_cast<void>(plan.object.release());  // the node owns it now
  node->SetTransform(0, identity);
  ii->AddNodeToScene(node);
  return true;
}

int importFile(const MCHAR* name, ImpInterface* ii, Interface* ip) {
  std::optional<ImportPlan> plan = planImport(name);
  if (!plan) return 0;
  ImpNode* node = ii->CreateNode();
  if (node == nullptr || !addNode(ii, node, *plan)) return 0;
  runScript(displayGammaScript());
  if (INode* sceneNode = node->GetINode()) setUpMaterial(plan->material, sceneNode, ip);
  for (std::size_t i = 0; i < plan->scripts->size(); ++i) runScript(plan->scripts->text(i).c_str());
  ii->RedrawViews();
  return 1;
}

}  // namespace

int runImport(const MCHAR* name, ImpInterface* ii, Interface* ip) noexcept {
  if (name == nullptr || ii == nullptr) return 0;
  try {
    return importFile(name, ii, ip);
  } catch (...) {  // out of memory, a length error, or anything a host call raised
    return 0;
  }
}
