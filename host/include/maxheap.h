#pragma once
// Objects of classes derived from MaxHeapOperators live on the host's heap.
#include <cstddef>
#include <new>
#include "coreexp.h"

class CoreExport MaxHeapOperators {
public:
  // Plain forms throw std::bad_alloc when the heap refuses; nothrow forms answer null.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, const std::nothrow_t& e) noexcept;
  static void* operator new(std::size_t size, void* placement_ptr) noexcept;
  static void* operator new[](std::size_t size);
  static void* operator new[](std::size_t size, const std::nothrow_t& e) noexcept;

  static void operator delete(void* ptr) noexcept;
  static void operator delete(void* ptr, const std::nothrow_t& e) noexcept;
  static void operator delete(void* ptr, void* placement_ptr) noexcept;
  static void operator delete[](void* ptr) noexcept;
  static void operator delete[](void* ptr, const std::nothrow_t& e) noexcept;
};
