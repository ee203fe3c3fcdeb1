#pragma once
// Scene objects: what a node shows.
#include "coreexp.h"
#include "maxtypes.h"
#include "ref.h"
#include "strbasic.h"

class CoreExport BaseObject : public ReferenceTarget {
public:
  // The name the object gives of itself, e.g. "Box001".
  virtual const MCHAR* GetObjectName();
};

class CoreExport Object : public BaseObject {
public:
  // Nonzero when the object can become an object of class obtype.
  virtual int CanConvertToType(Class_ID obtype);
  // The object as class obtype: itself when it already is one, else a new object, or null.
  virtual Object* ConvertToType(TimeValue t, Class_ID obtype);
};

class CoreExport GeomObject : public Object {};

class CoreExport ShapeObject : public GeomObject {};
