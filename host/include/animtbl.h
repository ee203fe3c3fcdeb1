#pragma once
// The root of everything the host keeps in its scene: nodes, objects, materials, textures.
#include "coreexp.h"
#include "maxheap.h"
#include "maxtypes.h"

class CoreExport Animatable : public MaxHeapOperators {
public:
  Animatable();
  virtual ~Animatable();
  Animatable(const Animatable&) = delete;
  Animatable& operator=(const Animatable&) = delete;

  virtual Class_ID ClassID();
};
