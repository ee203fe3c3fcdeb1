#pragma once
// Things that reference, and are referenced by, other scene items.
#include "animtbl.h"
#include "coreexp.h"

enum RefResult {
  REF_FAIL = 0,
  REF_SUCCEED = 1,
};

class CoreExport ReferenceMaker : public Animatable {};

class CoreExport ReferenceTarget : public ReferenceMaker {};
