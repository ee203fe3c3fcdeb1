#pragma once
// Arrays and texts for hand-made records, allocated the way the record releases them.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>

#include "vuk_mesh.h"

namespace vuktest {

template <typename T>
T* copyArray(std::initializer_list<T> values) {
  T* array = vukAllocateArray<T>(values.size());
  std::copy(values.begin(), values.end(), array);
  return array;
}

inline char* copyText(const std::string& text) {
  char* copy = vukAllocateArray<char>(text.size() + 1);
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

}  // namespace vuktest
