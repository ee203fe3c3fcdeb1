#pragma once
// Bitmaps: the description of an image file, loaded images and the bitmap manager.
#include <cstddef>
#include "AssetManagement/AssetUser.h"
#include "coreexp.h"
#include "maxheap.h"
#include "strbasic.h"

typedef unsigned short BMMRES;
#define BMMRES_SUCCESS 0

// Describes an image file.
class BMMExport BitmapInfo : public MaxHeapOperators {
public:
  BitmapInfo();
  BitmapInfo(const MCHAR* n);   // null gives the empty name
  BitmapInfo(const MaxSDK::AssetManagement::AssetUser& asset);
  BitmapInfo(const BitmapInfo& bi);
  BitmapInfo& operator=(const BitmapInfo& bi);
  ~BitmapInfo();

  const MCHAR* Name() const;
  const MCHAR* SetName(const MCHAR* n);   // answers the new name
  const MaxSDK::AssetManagement::AssetUser& GetAsset() const;

private:
  MaxSDK::AssetManagement::AssetUser asset;
};

// The pixels of a loaded bitmap and the description they were loaded from.
class BMMExport BitmapStorage : public MaxHeapOperators {
public:
  BitmapInfo bi;

  virtual ~BitmapStorage();
};

class BitmapManager;
extern BMMExport BitmapManager* TheManager;

// A loaded image, made only by the bitmap manager. Release one that the manager handed out with
// DeleteThis, never with delete.
class Bitmap : public MaxHeapOperators {
  friend class BitmapManagerImp;

private:
  BitmapStorage* storage;
  BMMExport ~Bitmap();
  BMMExport Bitmap(BitmapManager* manager = TheManager);

public:
  BMMExport void DeleteThis();
  inline BitmapStorage* Storage() { return storage; }
};

class BMMExport BitmapManager : public MaxHeapOperators {
public:
  // Loads the image that bi describes; status, when given, receives the outcome.
  virtual Bitmap* Load(BitmapInfo* bi, BMMRES* status = NULL) = 0;

protected:
  virtual ~BitmapManager();
};

