#pragma once
// Materials and textures.
#include "coreexp.h"
#include "ref.h"
#include "strclass.h"

class Texmap;

// Something with numbered texture map slots.
class CoreExport ISubMap {
public:
  virtual ~ISubMap();
  // The texture in slot i, or null (also for a slot the item does not have).
  virtual Texmap* GetSubTexmap(int i);
  virtual void SetSubTexmap(int i, Texmap* m);
};

class CoreExport MtlBase : public ReferenceTarget, public ISubMap {
public:
  MtlBase();
  ~MtlBase() override;

  MSTR& GetName();
  void SetName(MSTR s);

private:
  MSTR name;
};

class CoreExport Mtl : public MtlBase {};

class CoreExport Texmap : public MtlBase {};
