#pragma once
// What an importer uses to add nodes to the scene.
#include "coreexp.h"
#include "matrix3.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "point3.h"
#include "ref.h"
#include "strbasic.h"

class INode;
class Object;
typedef Object* ObjectHandle;

// A node being imported. It joins the scene only when handed to ImpInterface::AddNodeToScene.
class CoreExport ImpNode : public MaxHeapOperators {
public:
  virtual RefResult Reference(ObjectHandle obj) = 0;
  virtual void SetTransform(TimeValue t, Matrix3 tm) = 0;
  virtual void SetName(const MCHAR* newname, bool registerForDuplicateNameCheck = true) = 0;
  virtual void SetPivot(Point3 p) = 0;
  virtual INode* GetINode() = 0;
};

class CoreExport ImpInterface : public MaxHeapOperators {
public:
  virtual ~ImpInterface();
  // A new import node, not yet in the scene; null when the host cannot make one.
  virtual ImpNode* CreateNode() = 0;
  virtual void RedrawViews() = 0;
  virtual void AddNodeToScene(ImpNode* node) = 0;
};
