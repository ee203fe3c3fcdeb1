#include "undefined_use.h"

#include <cstdio>
#include <cstdlib>

namespace hostscene {

void stopOnUndefinedUse(const char* call, const char* why) noexcept {
  std::fprintf(stderr, "stand-in host: %s: %s; the real host's behaviour is undefined here\n", call, why);
  std::fflush(stderr);
  std::abort();
}

}  // namespace hostscene
