#pragma once
// The editable poly object.
#include "coreexp.h"
#include "maxtypes.h"
#include "mnmesh.h"
#include "object.h"

extern CoreExport Class_ID polyObjectClassID;

// Converts to an editable poly only: itself.
class CoreExport PolyObject : public GeomObject {
public:
  MNMesh mm;

  PolyObject();
  ~PolyObject() override;

  Class_ID ClassID() override;
  int CanConvertToType(Class_ID obtype) override;
  Object* ConvertToType(TimeValue t, Class_ID obtype) override;
  MNMesh& GetMesh() { return mm; }
};
