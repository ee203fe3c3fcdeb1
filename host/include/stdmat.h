#pragma once
// The standard material and the bitmap texture.
#include "AssetManagement/AssetUser.h"
#include "bitmap.h"
#include "color.h"
#include "coreexp.h"
#include "imtl.h"
#include "maxtypes.h"
#include "strbasic.h"

// Map slots of the standard material.
#define ID_AM 0    // ambient
#define ID_DI 1    // diffuse
#define ID_SP 2    // specular
#define ID_SH 3    // shininess
#define ID_SS 4    // shininess strength
#define ID_SI 5    // self-illumination
#define ID_OP 6    // opacity
#define ID_FI 7    // filter colour
#define ID_BU 8    // bump
#define ID_RL 9    // reflection
#define ID_RR 10   // refraction
#define ID_DP 11   // displacement
#define NTEXMAPS 12

class CoreExport StdMat : public Mtl {
public:
  virtual void SetAmbient(Color c, TimeValue t) = 0;
  virtual void SetDiffuse(Color c, TimeValue t) = 0;
  virtual void SetSpecular(Color c, TimeValue t) = 0;
  virtual void SetShininess(float v, TimeValue t) = 0;
  virtual void SetShinStr(float v, TimeValue t) = 0;
  virtual void EnableMap(int id, BOOL onoff) = 0;
  virtual BOOL MapEnabled(int id) = 0;
  virtual void SetTexmapAmt(int id, float amt, TimeValue t) = 0;
  virtual float GetTexmapAmt(int id, TimeValue t) = 0;
};

class CoreExport StdMat2 : public StdMat {};

class CoreExport BitmapTex : public Texmap {
public:
  virtual void SetMapName(const MCHAR* pName, bool isUIAction = false) = 0;
  virtual void SetMap(const MaxSDK::AssetManagement::AssetUser& asset, bool isUIAction = false) = 0;
  virtual const MCHAR* GetMapName() = 0;
  // The texture's loaded bitmap; null while the texture names no file. The texture owns it.
  virtual Bitmap* GetBitmap(TimeValue /*t*/) { return NULL; }
  virtual void BitmapLoadDlg() {}
  virtual void ReloadBitmapAndUpdate() {}
  virtual void fnReload() = 0;
  virtual void fnViewImage() = 0;
  virtual void SetBitmapInfo(const BitmapInfo& /*bi*/) {}
};

// A new standard material: every slot empty, switched off, at amount 1.0.
CoreExport StdMat2* NewDefaultStdMat();
// A new bitmap texture that names no file yet.
CoreExport BitmapTex* NewDefaultBitmapTex();
