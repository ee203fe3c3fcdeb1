#pragma once
// Arrays and texts for hand-made records.
#include <algorithm>
#include <initializer_list>
#include <string>

#include "vuk_mesh.h"

namespace vuktest {

template <typename T>
RecordArray<T> copyArray(std::initializer_list<T> values) {
  RecordArray<T> array = RecordArray<T>::make(values.size());
  std::copy(values.begin(), values.end(), array.begin());
  return array;
}

inline RecordText copyText(const std::string& text) { return recordText(text); }

}  // namespace vuktest
