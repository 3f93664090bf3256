#include "platform/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(const std::string &data, size_t piece) {
  SYS_Sha256 sha;
  SYS_Sha256Init(&sha);
  for (size_t at = 0; at < data.size(); at += piece)
    SYS_Sha256Update(&sha, data.data() + at, std::min(piece, data.size() - at));
  uint8_t digest[SYS_SHA256_SIZE];
  char hex[2 * SYS_SHA256_SIZE + 1];
  SYS_Sha256Final(&sha, digest);
  SYS_Sha256Hex(digest, hex);
  return hex;
}

// The standard vectors with the CPU's SHA instructions (where it has them)
// and with the portable code, and both agreeing on random data of lengths
// of many lengths, fed in pieces of many sizes.
TEST(Sha256Test, BothPathsGiveTheStandardDigests) {
  const struct {
    std::string data, hex;
  } vectors[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  std::mt19937 random(7);
  std::string data(1000, 0);
  for (char &c : data) c = char(random());
  const bool cpu = SYS_Sha256UseCpu(true);
  std::printf("SHA-256 with the CPU's instructions: %s\n", cpu ? "yes" : "no");
  std::vector<std::string> cpu_digests;
  for (bool allow : {true, false}) {
    SCOPED_TRACE(allow);
    SYS_Sha256UseCpu(allow);
    for (const auto &v : vectors) EXPECT_EQ(Hex(v.data, 4096), v.hex);
    for (size_t size = 0, i = 0; size < data.size(); size += 1 + size % 61, i++) {
      const std::string hex = Hex(data.substr(0, size), 1 + size * 7 % 300);
      if (allow)
        cpu_digests.push_back(hex);
      else
        EXPECT_EQ(hex, cpu_digests[i]) << size;
    }
  }
  SYS_Sha256UseCpu(true);
}

}  // namespace
