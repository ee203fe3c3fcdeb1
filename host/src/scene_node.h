#pragma once
// The stand-in's scene node and import node.
#include <string>

#include <impapi.h>
#include <inode.h>
#include <matrix3.h>
#include <point3.h>

namespace hostscene {

class SceneNode final : public INode {
public:
  Object* GetObjectRef() override { return object; }
  Matrix3 GetNodeTM(TimeValue t, Interval* valid = NULL) override;
  Matrix3 GetObjectTM(TimeValue time, Interval* valid = NULL) override;
  Mtl* GetMtl() override { return material; }
  void SetMtl(Mtl* matl) override;
  const MCHAR* GetName() override { return name.c_str(); }
  void SetName(const MCHAR* s) override;
  int Selected() override;

  std::wstring name;
  Object* object = nullptr;
  Mtl* material = nullptr;
  Matrix3 transform{TRUE};
  Matrix3 objectOffset{TRUE};
  Point3 pivot;
  bool inScene = false;
};

// An import node: a scene node waiting to be added to the scene.
class ImportNode final : public ImpNode {
public:
  explicit ImportNode(SceneNode* sceneNode) : node(sceneNode) {}

  RefResult Reference(ObjectHandle obj) override;
  void SetTransform(TimeValue t, Matrix3 tm) override;
  void SetName(const MCHAR* newname, bool registerForDuplicateNameCheck = true) override;
  void SetPivot(Point3 p) override;
  INode* GetINode() override { return node; }

  SceneNode* const node;
};

}  // namespace hostscene
