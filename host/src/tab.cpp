// The host's table release.
#include <cstdlib>

#include <tab.h>

void zfree(void** p) {
  if (p == nullptr) return;
  std::free(*p);
  *p = nullptr;
}
