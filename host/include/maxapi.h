#pragma once
// The host's main interface: selection, nodes by name, time, viewports.
#include <cstddef>
#include <windows.h>
#include "coreexp.h"
#include "log.h"
#include "maxheap.h"
#include "maxtypes.h"
#include "strbasic.h"

#define REDRAW_BEGIN (1 << 0)
#define REDRAW_INTERACTIVE (1 << 1)
#define REDRAW_END (1 << 2)
#define REDRAW_NORMAL (1 << 3)

class INode;
class ReferenceTarget;

class CoreExport Interface : public MaxHeapOperators {
public:
  virtual ~Interface();
  // The selected node at place i (0-based, in selection order); null outside the selection.
  virtual INode* GetSelNode(int i) = 0;
  virtual int GetSelNodeCount() = 0;
  // Selects a node of the scene; with clearSel the node becomes the only selected node.
  virtual void SelectNode(INode* node, int clearSel = 1) = 0;
  virtual void ClearNodeSelection(BOOL redraw = TRUE) = 0;
  // The first node of the scene with this name, or null.
  virtual INode* GetINodeByName(const MCHAR* name) = 0;
  virtual TimeValue GetTime() = 0;
  virtual void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL, ReferenceTarget* change = NULL) = 0;
  // The host's log, for the whole session.
  virtual LogSys* Log() = 0;
};

CoreExport Interface* GetCOREInterface();
