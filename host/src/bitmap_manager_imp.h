#pragma once
// The only maker of bitmaps, as the host's bitmap manager is: a bitmap's constructor and
// destructor are its alone.
#include <bitmap.h>

class BitmapManagerImp {
public:
  // A bitmap holding a copy of info in its storage; null when the heap refuses.
  static Bitmap* make(const BitmapInfo& info) noexcept;
  static void destroy(Bitmap* bitmap) noexcept;
};

// Frees a bitmap through the manager, for owning handles.
struct BitmapRelease {
  void operator()(Bitmap* bitmap) const noexcept { BitmapManagerImp::destroy(bitmap); }
};
