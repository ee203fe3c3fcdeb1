#include "import_command.h"

#include <matrix3.h>
#include <maxscript/maxscript.h>
#include <triobj.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "failure_report.h"
#include "file_name.h"
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

constexpr const wchar_t* logTitle = L"Vuk import";

void runScript(const wchar_t* script) { ExecuteMAXScriptScript(script, FALSE, nullptr); }

bool refuse(std::string& reason, const char* text) {
  reason = text;
  return false;
}

bool readRecord(const std::string& file, VukMesh& record, std::string& reason) {
  return vuk::readCheckedRecord(file.c_str(), record, &reason);
}

// Reads the file, builds the new object's mesh and the material plan. The record lives only
// here: its arrays, the size of the file, go back to the heap before the scripts are made.
bool buildObject(const MCHAR* name, const std::string& file, ImportPlan& plan,
                 std::vector<std::int32_t>& creaseEdgeList, GroupFaceTable& groupFaceTable, std::string& reason) {
  VukMesh record;
  if (!readRecord(file, record, reason)) return false;
  plan.object.reset(CreateNewTriObject());
  if (!plan.object) return refuse(reason, "the host made no triangle-mesh object");
  if (!buildHostMesh(record, plan.object->GetMesh(), creaseEdgeList, groupFaceTable)) {
    return refuse(reason, "the host mesh could not be built");
  }
  plan.importName = importNameOf(name);
  plan.material = planMaterial(record, plan.importName);
  return true;
}

std::optional<ImportPlan> planImport(const MCHAR* name, const std::string& file, std::string& reason) {
  ImportPlan plan;
  std::vector<std::int32_t> creaseEdgeList;
  GroupFaceTable groupFaceTable;
  if (!buildObject(name, file, plan, creaseEdgeList, groupFaceTable, reason)) return std::nullopt;
  plan.scripts.emplace(std::move(groupFaceTable), std::move(creaseEdgeList), plan.importName);
  return plan;
}

// Names the node, hands it the object at the identity transform and adds it to the scene.
bool addNode(ImpInterface* ii, ImpNode* node, ImportPlan& plan, std::string& reason) {
  node->SetName(plan.importName.c_str(), true);
  const Matrix3 identity(TRUE);
  if (node->Reference(plan.object.get()) == REF_FAIL) return refuse(reason, "the new node did not take the object");
  static_cast<void>(plan.object.release());  // the node owns it now
  node->SetTransform(0, identity);
  ii->AddNodeToScene(node);
  return true;
}

bool importNamedFile(const MCHAR* name, const std::string& file, ImpInterface* ii, Interface* ip,
                     std::string& reason) {
  std::optional<ImportPlan> plan = planImport(name, file, reason);
  if (!plan) return false;
  ImpNode* node = ii->CreateNode();
  if (node == nullptr) return refuse(reason, "the host made no import node");
  if (!addNode(ii, node, *plan, reason)) return false;
  runScript(displayGammaScript());
  if (INode* sceneNode = node->GetINode()) setUpMaterial(plan->material, sceneNode, ip);
  for (std::size_t i = 0; i < plan->scripts->size(); ++i) runScript(plan->scripts->text(i).c_str());
  ii->RedrawViews();
  return true;
}

// A reason below names what in the file or the host failed; the file is named here.
bool importFile(const MCHAR* name, ImpInterface* ii, Interface* ip, std::string& reason) {
  const std::optional<std::string> file = vuk::fileNameOf(name);
  if (!file) return refuse(reason, "the file name is not valid text");
  if (importNamedFile(name, *file, ii, ip, reason)) return true;
  reason = *file + ": " + reason;
  return false;
}

}  // namespace

int runImport(const MCHAR* name, ImpInterface* ii, Interface* ip) noexcept {
  try {
    std::string reason;
    if (name == nullptr || ii == nullptr) {
      reason = "the host gave no file name or no import interface";
    } else if (importFile(name, ii, ip, reason)) {
      return 1;
    }
    reportFailure(ip, logTitle, reason.c_str());
  } catch (const std::bad_alloc&) {
    reportFailure(ip, logTitle, "there is not enough memory for the import");
  } catch (...) {  // a length error, or anything a host call raised
    reportFailure(ip, logTitle, "the import stopped on an unexpected error");
  }
  return 0;
}
