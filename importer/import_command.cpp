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
  return path && vuk::readCheckedRecord(path->c_str(), record, nullptr);
}

// Reads the file, builds the new object's mesh and the material plan. The record lives only
// here: its arrays, the size of the file, go back to the heap before the scripts are made.
bool buildObject(const MCHAR* name, ImportPlan& plan, std::vector<std::int32_t>& creaseEdgeList,
                 GroupFaceTable& groupFaceTable) {
  VukMesh record;
  if (!readRecord(name, record)) return false;
  plan.object.reset(CreateNewTriObject());
  if (!plan.object) return false;
  if (!buildHostMesh(record, plan.object->GetMesh(), creaseEdgeList, groupFaceTable)) return false;
  plan.importName = importNameOf(name);
  plan.material = planMaterial(record, plan.importName);
  return true;
}

std::optional<ImportPlan> planImport(const MCHAR* name) {
  ImportPlan plan;
  std::vector<std::int32_t> creaseEdgeList;
  GroupFaceTable groupFaceTable;
  if (!buildObject(name, plan, creaseEdgeList, groupFaceTable)) return std::nullopt;
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
