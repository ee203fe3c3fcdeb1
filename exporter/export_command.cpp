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

#include "ansi_text.h"
#include "failure_report.h"
#include "file_name.h"
#include "file_transaction.h"
#include "export_file_writer.h"
#include "geometry_extraction.h"
#include "texture_map_export.h"
#include "vuk_file.h"

namespace {

// Longest object name the file carries, in bytes without the terminating zero.
constexpr std::size_t maxObjectNameBytes = 511;

constexpr const wchar_t* logTitle = L"Vuk export";
constexpr const wchar_t* selectionMessage = L"Please select an object to export";

// Where the export goes: the host's wide name, and the same name in UTF-8 for opening files.
struct ExportTarget {
  std::wstring name;
  std::string file;
};

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
  ExecuteMAXScriptScript(L"subobjectLevel = 0; maxOps.CollapseNode $ off", FALSE, nullptr);
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

bool exportTextureMaps(INode* node, const ExportTarget& target, VukMesh& record, vuk::FileTransaction& transaction,
                       std::string& reason) {
  for (int mapId : {diffuseMapId, bumpMapId, displacementMapId}) {
    if (!exportTextureMap(node, target.name, record, mapId, transaction, reason)) return false;
  }
  return true;
}

// The Vuk file joins the TIFFs; then all of them replace their targets together or none does.
bool writeAll(const ExportGeometry& geometry, const VukMesh& texts, const std::string& file,
              vuk::FileTransaction& transaction, std::string& reason) {
  if (geometry.vertexCount >= 1) {
    const std::optional<std::string> temporary = transaction.stage(file);
    if (!temporary) {
      reason = transaction.failure();
      return false;
    }
    std::string why;
    if (!writeExportFile(geometry, texts, temporary->c_str(), kExportBufferBytes, &why)) {
      reason = "cannot write " + file + ": " + why;
      return false;
    }
  }
  if (transaction.commit()) return true;
  reason = transaction.failure();
  return false;
}

bool exportNode(const ChosenNode& chosen, const ExportTarget& target, std::string& reason) {
  std::unique_ptr<Object, ConvertedObject> converted(chosen.object->ConvertToType(0, polyObjectClassID),
                                                      ConvertedObject{chosen.object});
  if (!converted || converted->ClassID() != polyObjectClassID) {
    reason = "the chosen object did not convert to an editable poly";
    return false;
  }
  MNMesh& poly = static_cast<PolyObject*>(converted.get())->GetMesh();
  VukMesh record;
  record.objectName = recordText(toAnsiTextReplacing(chosen.object->GetObjectName(), maxObjectNameBytes));
  const ExportGeometry geometry = exportGeometryOf(poly, chosen.transform);
  vuk::FileTransaction transaction;  // an early return removes every temporary
  if (!exportTextureMaps(chosen.node, target, record, transaction, reason)) return false;
  if (geometry.vertexCount < 1 && transaction.empty()) return true;  // no vertices: no Vuk file
  return writeAll(geometry, record, target.file, transaction, reason);
}

bool exportSelection(const MCHAR* name, Interface* ip, BOOL suppressPrompts, std::string& reason) {
  if (ip == nullptr) {
    reason = "the host gave no interface";
    return false;
  }
  const int selected = ip->GetSelNodeCount();
  if (selected < 1) {
    if (selected == 0 && !suppressPrompts) MessageBoxW(nullptr, selectionMessage, L"Selection error", MB_OK);
    reason = "nothing is selected: please select an object to export";
    return false;
  }
  const std::optional<std::string> file = vuk::fileNameOf(name);
  if (!file || file->empty()) {
    reason = "the export file name is empty or not valid text";
    return false;
  }
  const std::optional<ChosenNode> chosen = firstConvertibleNode(ip);
  if (!chosen) {
    reason = "no selected object converts to an editable poly";
    return false;
  }
  return exportNode(*chosen, ExportTarget{name, *file}, reason);
}

}  // namespace

int runExport(const MCHAR* name, Interface* ip, BOOL suppressPrompts) noexcept {
  try {
    std::string reason;
    if (exportSelection(name, ip, suppressPrompts, reason)) return 1;
    reportFailure(ip, logTitle, reason.c_str());
  } catch (const std::bad_alloc&) {
    reportFailure(ip, logTitle, "there is not enough memory for the export");
  } catch (...) {
    reportFailure(ip, logTitle, "the export stopped on an unexpected error");
  }
  return 0;
}
