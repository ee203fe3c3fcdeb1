#pragma once
// Plug-in class descriptors.
#include <cstddef>
#include <windows.h>
#include "coreexp.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "strbasic.h"

class CoreExport ClassDesc : public MaxHeapOperators {
public:
  virtual ~ClassDesc() {}
  virtual int IsPublic() = 0;
  virtual void* Create(BOOL loading = FALSE) = 0;
  virtual const MCHAR* ClassName() = 0;
  virtual SClass_ID SuperClassID() = 0;
  virtual Class_ID ClassID() = 0;
  virtual const MCHAR* Category() = 0;
  virtual const MCHAR* InternalName() { return NULL; }
  virtual HINSTANCE HInstance() { return NULL; }
};
