#pragma once
// A file system path held as text; both '\\' and '/' separate its parts.
#include "coreexp.h"
#include "maxheap.h"
#include "strbasic.h"
#include "strclass.h"

namespace MaxSDK {
namespace Util {

class UtilExport Path : public MaxHeapOperators {
public:
  Path();
  Path(const MSTR& path);
  Path(const MCHAR* path);   // null gives the empty path
  Path(const Path& other);
  Path& operator=(const Path& other);
  ~Path();

  // Keeps what follows the last separator (the whole path when it has none).
  Path& StripToLeaf();
  // Drops the last separator and what follows it; a root ("C:\", "\", "/") keeps its separator.
  Path& RemoveLeaf();
  MSTR GetString() const;
  const MCHAR* GetCStr() const;

private:
  MSTR path;
};

}  // namespace Util
}  // namespace MaxSDK
