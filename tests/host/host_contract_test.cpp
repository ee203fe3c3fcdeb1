// The copy of the plug-ins' SDK contract in this repository matches the shared original.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

bool readFile(const std::string& name, std::string& bytes) {
  std::ifstream file(name, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

TEST(HostContract, CopyIsByteForByteTheSharedFile) {
  std::string copy, shared;
  ASSERT_TRUE(readFile(VUK_SOURCE_DIR "/tests/host/host_contract.cpp", copy));
  if (!readFile(VUK_SOURCE_DIR "/../shared/host-contract.cpp", shared)) {
    GTEST_SKIP() << "the shared contract is not beside this repository";
  }
  EXPECT_EQ(copy, shared);
}

}  // namespace
