#pragma once
// Reader of tagged values such as "{020} weg = 0.0100; [m]" from a byte stream.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The last tag below 999 read by any call; feeds the "{+++}" shorthand.
extern int32_t LastTag;

// Reads on until one tagged value is complete and returns its tag, or -1 when
// the stream ends first. A null value array resets LastTag and returns -1.
int ReadTaggedValue(FILE* stream, char* value, int valueCapacity, char* raw, int rawCapacity);
int ReadTaggedValue(FILE* stream, char* value, int valueCapacity);

// Text held in memory, read from Position on as the stream above is: the
// settings file once its bytes have been read and filtered.
struct TTextBytes {
  std::string Text;
  std::size_t Position = 0;
};

// The same reader over text in memory, without a raw array.
int ReadTaggedValue(TTextBytes& bytes, char* value, int valueCapacity);
