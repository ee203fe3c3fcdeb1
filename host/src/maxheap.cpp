// The host heap behind MaxHeapOperators: malloc and free, with a switch that makes it refuse.
#include <maxheap.h>

#include <cstdint>
#include <cstdlib>

#include "host_heap.h"

namespace hostscene {

std::atomic<bool>& hostHeapRefused() {
  static std::atomic<bool> refused{false};
  return refused;
}

namespace {

// Null when refused or when no object can be that large.
void* take(std::size_t size) noexcept {
  if (hostHeapRefused().load() || size > static_cast<std::size_t>(PTRDIFF_MAX)) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

void* takeOrThrow(std::size_t size) {
  void* block = take(size);
  if (!block) throw std::bad_alloc();
  return block;
}

}  // namespace
}  // namespace hostscene

void* MaxHeapOperators::operator new(std::size_t size) { return hostscene::takeOrThrow(size); }
void* MaxHeapOperators::operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return hostscene::take(size);
}
void* MaxHeapOperators::operator new(std::size_t, void* placement_ptr) noexcept { return placement_ptr; }
void* MaxHeapOperators::operator new[](std::size_t size) { return hostscene::takeOrThrow(size); }
void* MaxHeapOperators::operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return hostscene::take(size);
}

void MaxHeapOperators::operator delete(void* ptr) noexcept { std::free(ptr); }
void MaxHeapOperators::operator delete(void* ptr, const std::nothrow_t&) noexcept { std::free(ptr); }
void MaxHeapOperators::operator delete(void*, void*) noexcept {}
void MaxHeapOperators::operator delete[](void* ptr) noexcept { std::free(ptr); }
void MaxHeapOperators::operator delete[](void* ptr, const std::nothrow_t&) noexcept { std::free(ptr); }
