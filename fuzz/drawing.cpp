// The drawing file reader: any bytes give a drawing or a message, never a crash. An input that
// starts like a drawing gets its header's length and checksum made right first, so that mutations
// reach the records instead of stopping at the checksum (the header checks have tests of their own).
#include <cstring>
#include <string>
#include <vector>

#include "arx/dbdatabase.h"
#include "fuzz_support.h"

namespace {

constexpr char kMagic[8] = {'K', 'E', 'S', 'T', 'D', 'W', 'G', '\x1a'};
constexpr size_t kHeaderSize = 24;  // magic, version (4), checksum (4), payload length (8)

uint32_t Crc32c(const char* p, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= static_cast<unsigned char>(p[i]);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0x82F63B78u ^ (crc >> 1) : crc >> 1;
  }
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes = kestrum::fuzz::Text(data, size);
  if (bytes.size() >= kHeaderSize && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0) {
    const uint32_t checksum = Crc32c(bytes.data() + kHeaderSize, bytes.size() - kHeaderSize);
    const uint64_t length = bytes.size() - kHeaderSize;
    std::memcpy(bytes.data() + 12, &checksum, sizeof checksum);
    std::memcpy(bytes.data() + 16, &length, sizeof length);
  }
  const std::string path =
      kestrum::fuzz::WriteInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "input.dwg").string();
  AcDbDatabase db(false);
  std::vector<std::string> messages;
  if (db.readDwgFile(path, &messages) != Acad::eOk && messages.empty())
    kestrum::fuzz::Fail("a refused drawing gave no message");
  return 0;
}
