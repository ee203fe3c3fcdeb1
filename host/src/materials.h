#pragma once
// The stand-in's materials and textures.
#include <string>

#include <bitmap.h>
#include <color.h>
#include <stdmat.h>

namespace hostscene {

// A standard material. New ones are mid grey with a light grey specular colour, shininess and
// shininess strength 0, every slot empty, switched off and at amount 1.0.
class StandardMaterial final : public StdMat2 {
public:
  StandardMaterial();
  Class_ID ClassID() override { return Class_ID(DMTL_CLASS_ID, 0); }
  Texmap* GetSubTexmap(int i) override;
  void SetSubTexmap(int i, Texmap* m) override;
  void SetAmbient(Color c, TimeValue t) override;
  void SetDiffuse(Color c, TimeValue t) override;
  void SetSpecular(Color c, TimeValue t) override;
  void SetShininess(float v, TimeValue t) override;
  void SetShinStr(float v, TimeValue t) override;
  void EnableMap(int id, BOOL onoff) override;
  BOOL MapEnabled(int id) override;
  void SetTexmapAmt(int id, float amt, TimeValue t) override;
  float GetTexmapAmt(int id, TimeValue t) override;

  // Empties every slot that holds the item at `texture` (compared by address only).
  void dropTexture(const void* texture);

  Color ambient, diffuse, specular;
  float shininess = 0.0f;
  float shinStr = 0.0f;
  Texmap* maps[NTEXMAPS] = {};
  float amounts[NTEXMAPS] = {};
  bool enabled[NTEXMAPS] = {};
};

// A material of another kind (a multi-material): no texture slots of its own.
class MultiMaterial final : public Mtl {
public:
  Class_ID ClassID() override { return Class_ID(MULTI_CLASS_ID, 0); }
};

// A texture of another kind (a procedural one).
class OtherTexture final : public Texmap {
public:
  Class_ID ClassID() override;
};

// A bitmap texture. Its bitmap is made on demand for the file that SetMapName or SetMap named,
// and made again after a reload or a new name.
class BitmapTexture final : public BitmapTex {
public:
  ~BitmapTexture() override;
  Class_ID ClassID() override { return Class_ID(BMTEX_CLASS_ID, 0); }
  void SetMapName(const MCHAR* pName, bool isUIAction = false) override;
  void SetMap(const MaxSDK::AssetManagement::AssetUser& asset, bool isUIAction = false) override;
  const MCHAR* GetMapName() override { return mapName.c_str(); }
  Bitmap* GetBitmap(TimeValue t) override;
  void BitmapLoadDlg() override;
  void ReloadBitmapAndUpdate() override;
  void fnReload() override;
  void fnViewImage() override;
  void SetBitmapInfo(const BitmapInfo& bi) override;

  std::wstring mapName;
  std::wstring bitmapInfoName;
  int reloads = 0;

private:
  void dropBitmap() noexcept;

  Bitmap* bitmap = nullptr;
};

}  // namespace hostscene
