#pragma once
// The editable poly object.
#include "coreexp.h"
#include "maxtypes.h"
#include "mnmesh.h"
#include "object.h"

// The export marker of the host's poly-object library.
#define PolyLibExport __attribute__((visibility("default")))

extern PolyLibExport Class_ID polyObjectClassID;

// Converts to an editable poly only: itself.
class PolyLibExport PolyObject : public GeomObject {
public:
  MNMesh mm;

  PolyObject();
  ~PolyObject() override;

  Class_ID ClassID() override;
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  MNMesh& GetMesh() { return mm; }
};
