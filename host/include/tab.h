#pragma once
// The host's growable table. Only what the stand-in's classes hold is declared: an empty table
// and its release.
#include "maxheap.h"
#include "coreexp.h"

typedef int CNT;

struct TabHdr : public MaxHeapOperators {
  CNT count;
  CNT nalloc;
};

// Releases the block *p points to (null is allowed) and sets *p to null.
UtilExport void zfree(void** p);

template <class T>
class TabHd : public MaxHeapOperators {
public:
  CNT count;
  CNT nalloc;
};

template <class T>
class Tab : public MaxHeapOperators {
private:
  TabHd<T>* th;

public:
  Tab() : th(NULL) {}
  ~Tab() { zfree(reinterpret_cast<void**>(&th)); }
  int Count() const { return th ? th->count : 0; }
};
