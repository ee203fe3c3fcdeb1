#pragma once
// The triangle-mesh object.
#include "coreexp.h"
#include "maxtypes.h"
#include "mesh.h"
#include "object.h"

extern CoreExport Class_ID triObjectClassID;

// Converts to a triangle mesh (itself) and to an editable poly (a new poly object holding the same
// triangles, texture faces in map channel 1 and colour faces in map channel 0).
class CoreExport TriObject : public GeomObject {
public:
  Mesh mesh;

  TriObject();
  ~TriObject() override;

  Class_ID ClassID() override;
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  Mesh& GetMesh() { return mesh; }
};

CoreExport TriObject* CreateNewTriObject();
