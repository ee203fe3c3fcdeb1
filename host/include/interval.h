#pragma once
// A range of time, start and end inclusive.
#include "maxheap.h"
#include "maxtypes.h"

class Interval : public MaxHeapOperators {
public:
  Interval() : start(0), end(0) {}
  Interval(TimeValue s, TimeValue e) : start(s), end(e) {}

  TimeValue Start() const { return start; }
  TimeValue End() const { return end; }
  void Set(TimeValue s, TimeValue e) { start = s; end = e; }

private:
  TimeValue start;
  TimeValue end;
};
