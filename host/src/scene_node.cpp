// Scene nodes and import nodes.
#include "scene_node.h"

#include <algorithm>

#include <imtl.h>
#include <object.h>

#include "journal_line.h"
#include "scene_state.h"

namespace hostscene {

Matrix3 SceneNode::GetNodeTM(TimeValue, Interval*) { return transform; }

Matrix3 SceneNode::GetObjectTM(TimeValue, Interval*) { return objectOffset * transform; }

void SceneNode::SetMtl(Mtl* matl) {
  journalCall(L"INode::SetMtl", matl ? matl->GetName().data() : L"");
  material = matl;
}

void SceneNode::SetName(const MCHAR* s) {
  journalCall(L"INode::SetName", s);
  name = s ? s : L"";
}

int SceneNode::Selected() {
  const auto& selection = scene().selection;
  return std::find(selection.begin(), selection.end(), this) != selection.end();
}

RefResult ImportNode::Reference(ObjectHandle obj) {
  journalCall(L"ImpNode::Reference", obj ? obj->GetObjectName() : L"");
  if (!obj) return REF_FAIL;
  node->object = obj;
  return REF_SUCCEED;
}

void ImportNode::SetTransform(TimeValue t, Matrix3 tm) {
  journalCall(L"ImpNode::SetTransform", t);
  node->transform = tm;
}

void ImportNode::SetName(const MCHAR* newname, bool registerForDuplicateNameCheck) {
  journalCall(L"ImpNode::SetName", newname, registerForDuplicateNameCheck);
  node->name = newname ? newname : L"";
}

void ImportNode::SetPivot(Point3 p) {
  journalCall(L"ImpNode::SetPivot", p.x, p.y, p.z);
  node->pivot = p;
}

}  // namespace hostscene
