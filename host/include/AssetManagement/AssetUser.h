#pragma once
// A use of a file that the host keeps track of (here: the file's name).
#include "../coreexp.h"
#include "../maxheap.h"
#include "../strclass.h"

class BitmapInfo;

namespace MaxSDK {
namespace AssetManagement {

class CoreExport AssetUser : public MaxHeapOperators {
public:
  AssetUser();
  AssetUser(const AssetUser& other);
  AssetUser& operator=(const AssetUser& other);
  ~AssetUser();

  const MSTR& GetFileName() const;

private:
  friend class ::BitmapInfo;
  explicit AssetUser(const MCHAR* fileName);

  MSTR fileName;
};

}  // namespace AssetManagement
}  // namespace MaxSDK
