#pragma once
// Arrays and texts for the record's fields, from the record's own allocator so that Clear
// releases them. Running out of memory throws std::bad_alloc; the export command turns that into
// a failed export.
#include <cstddef>
#include <cstring>
#include <new>
#include <string>

#include "vuk_mesh.h"

template <typename T>
T* newRecordArray(std::size_t count) {
  T* array = vukAllocateArray<T>(count);
  if (array == nullptr) throw std::bad_alloc();
  return array;
}

// A zero-terminated copy of the text.
inline char* newRecordText(const std::string& text) {
  char* copy = newRecordArray<char>(text.size() + 1);
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}
