#pragma once
// A node of the scene: a name, a transform, the object it shows and its material.
#include <cstddef>
#include "coreexp.h"
#include "interval.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "ref.h"
#include "strbasic.h"

class Object;
class Mtl;

class CoreExport INode : public ReferenceTarget {
public:
  virtual Object* GetObjectRef() = 0;
  // The node's transform at time t.
  virtual Matrix3 GetNodeTM(TimeValue t, Interval* valid = NULL) = 0;
  // The transform of the node's object: the object offset, then the node's transform.
  virtual Matrix3 GetObjectTM(TimeValue time, Interval* valid = NULL) = 0;
  virtual Mtl* GetMtl() = 0;
  virtual void SetMtl(Mtl* matl) = 0;
  virtual const MCHAR* GetName() = 0;
  virtual void SetName(const MCHAR* s) = 0;
  virtual int Selected() = 0;
};
