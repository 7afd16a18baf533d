// A parameter record as the bytes a host stores for it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

template <class Record>
std::vector<uint8_t> RecordBytes(const Record& record) {
  std::vector<uint8_t> bytes(sizeof record);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}
