#pragma once
// Scene importer and exporter plug-in classes.
#include <windows.h>
#include "coreexp.h"
#include "impapi.h"
#include "maxheap.h"
#include "strbasic.h"

#define IMPEXP_FAIL 0
#define IMPEXP_SUCCESS 1
#define IMPEXP_CANCEL 2

#define ZOOMEXT_NOT_IMPLEMENTED -1
#define ZOOMEXT_YES TRUE
#define ZOOMEXT_NO FALSE

#define SCENE_EXPORT_SELECTED (1 << 0)

class IScene;
class Interface;
class ImpInterface;

class ExpInterface {
public:
  IScene* theScene;
};

class CoreExport SceneImport : public MaxHeapOperators {
public:
  SceneImport() {}
  virtual ~SceneImport() {}
  virtual int ExtCount() = 0;
  virtual const MCHAR* Ext(int n) = 0;
  virtual const MCHAR* LongDesc() = 0;
  virtual const MCHAR* ShortDesc() = 0;
  virtual const MCHAR* AuthorName() = 0;
  virtual const MCHAR* CopyrightMessage() = 0;
  virtual const MCHAR* OtherMessage1() = 0;
  virtual const MCHAR* OtherMessage2() = 0;
  virtual unsigned int Version() = 0;
  virtual void ShowAbout(HWND hWnd) = 0;
  virtual int DoImport(const MCHAR* name, ImpInterface* ii, Interface* i, BOOL suppressPrompts = FALSE) = 0;
  virtual int ZoomExtents() { return ZOOMEXT_NOT_IMPLEMENTED; }
};

class CoreExport SceneExport : public MaxHeapOperators {
public:
  SceneExport() {}
  virtual ~SceneExport() {}
  virtual int ExtCount() = 0;
  virtual const MCHAR* Ext(int n) = 0;
  virtual const MCHAR* LongDesc() = 0;
  virtual const MCHAR* ShortDesc() = 0;
  virtual const MCHAR* AuthorName() = 0;
  virtual const MCHAR* CopyrightMessage() = 0;
  virtual const MCHAR* OtherMessage1() = 0;
  virtual const MCHAR* OtherMessage2() = 0;
  virtual unsigned int Version() = 0;
  virtual void ShowAbout(HWND hWnd) = 0;
  virtual int DoExport(const MCHAR* name, ExpInterface* ei, Interface* i, BOOL suppressPrompts = FALSE,
                       DWORD options = 0) = 0;
  virtual BOOL SupportsOptions(int ext, DWORD options) {
    (void)ext;
    (void)options;
    return FALSE;
  }
};
