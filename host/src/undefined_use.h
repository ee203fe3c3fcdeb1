#pragma once
// Where the host's own behaviour is undefined (an index out of range, a channel that does not
// exist), the stand-in does not answer something kind: it stops the process with one line that
// names the call, so a test fails where the host would corrupt memory.

namespace hostscene {

[[noreturn]] void stopOnUndefinedUse(const char* call, const char* why) noexcept;

}  // namespace hostscene
