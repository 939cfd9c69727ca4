// SPDX-License-Identifier: MIT
// Arbitrary bytes for the tagged-value reader, read call after call until the
// stream ends. The first bytes choose the set-up: byte 0 the flags (1 no value
// array, 2 a raw array, 4 a starting LastTag from the next four bytes), bytes
// 1 and 2 the value and raw capacities; the rest is the stream.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "settings/TaggedReader.h"

namespace {

constexpr int kMaxCells = 65530;  // the builders' clamp

// Byte values from 200 up stand for capacities a byte cannot hold, and for
// the edges of the clamp.
int Capacity(uint8_t selector) {
  static const int kSpecial[] = {-1, -5,        INT_MIN,       0,      1,
                                 2,  kMaxCells, kMaxCells + 1, 100000, INT_MAX};
  if (selector < 200) {
    return selector;
  }
  return kSpecial[(selector - 200) % (sizeof kSpecial / sizeof kSpecial[0])];
}

// A caller's array of exactly as many cells as the builder may use (one at
// least), so the address sanitizer sees any write beyond it.
struct TArray {
  explicit TArray(int capacity)
      : capacity(capacity),
        cells(static_cast<size_t>(std::clamp(capacity, 1, kMaxCells))),
        data(new char[cells]) {
    std::memset(data.get(), 'Z', cells);
  }
  // A zero-terminated string within the capacity; the first cell at least.
  bool Terminated() const {
    if (capacity <= 0) {
      return data[0] == '\0';
    }
    return std::memchr(data.get(), 0, cells) != nullptr;
  }
  bool Untouched() const {
    return std::all_of(data.get(), data.get() + cells, [](char c) { return c == 'Z'; });
  }
  int capacity;
  size_t cells;
  std::unique_ptr<char[]> data;
};

struct TInput {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) {
      return 0;
    }
    --size;
    return *data++;
  }
};

void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TInput input{data, size};
  const uint8_t flags = input.Byte();
  const int valueCapacity = Capacity(input.Byte());
  const int rawCapacity = Capacity(input.Byte());
  LastTag = 0;
  if (flags & 4) {
    uint32_t start = 0;
    for (int i = 0; i < 4; ++i) {
      start = start << 8 | input.Byte();
    }
    LastTag = static_cast<int32_t>(start);
  }

  // fmemopen needs a writable buffer; one extra cell keeps it valid when the
  // stream is empty.
  std::vector<char> bytes(input.data, input.data + input.size);
  bytes.push_back('\0');
  FILE* stream = fmemopen(bytes.data(), input.size, "r");
  if (stream == nullptr) {
    return 0;
  }
  TArray value(valueCapacity);
  TArray raw(rawCapacity);
  char* valueArray = (flags & 1) ? nullptr : value.data.get();
  char* rawArray = (flags & 2) ? raw.data.get() : nullptr;

  // Every call that returns a tag consumes at least one byte, so the loop
  // must end within this many calls.
  size_t calls = 0;
  for (;;) {
    Check(++calls <= input.size + 1);
    int tag = ReadTaggedValue(stream, valueArray, valueCapacity, rawArray, rawCapacity);
    if (valueArray == nullptr) {
      // Only resets LastTag; the raw array is left as it was.
      Check(tag == -1 && LastTag == 0 && raw.Untouched());
      break;
    }
    Check(value.Terminated());
    if (rawArray != nullptr) {
      Check(raw.Terminated());
    }
    if (tag == -1) {
      break;
    }
  }
  fclose(stream);
  return 0;
}
