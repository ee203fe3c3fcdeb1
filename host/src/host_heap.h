#pragma once
// The switch that makes the host heap refuse every request.
#include <atomic>

namespace hostscene {

std::atomic<bool>& hostHeapRefused();

}  // namespace hostscene
