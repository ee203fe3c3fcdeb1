// Touches a block of fresh memory page by page and gives it back, so that the process timed next
// starts from memory the machine has just used. On a virtual machine that returns idle guest
// memory to its host, memory freed a few seconds earlier costs several times as much to touch
// again; without this, a run's speed would depend on what ran before it.
//   warm_memory BYTES
#include <cstdio>
#include <cstdlib>

#include "machine_floors.h"

int main(int argc, char** argv) {
  char* end = nullptr;
  const unsigned long long bytes = argc == 2 ? std::strtoull(argv[1], &end, 10) : 0;
  if (argc != 2 || end == argv[1] || *end != '\0' || bytes == 0) {
    std::fprintf(stderr, "usage: warm_memory BYTES\n");
    return 2;
  }
  const floors::Block block = floors::writeFreshBlock(static_cast<std::size_t>(bytes));
  if (!block) {
    std::fprintf(stderr, "warm_memory: cannot take %llu bytes\n", bytes);
    return 1;
  }
  return 0;
}
