#pragma once
// Reader of tagged values such as "{020} weg = 0.0100; [m]" from a byte stream.

#include <cstdint>
#include <cstdio>

// The last tag below 999 read by any call; feeds the "{+++}" shorthand.
extern int32_t LastTag;

// Reads on until one tagged value is complete and returns its tag, or -1 when
// the stream ends first. A null value array resets LastTag and returns -1.
int ReadTaggedValue(FILE* stream, char* value, int valueCapacity, char* raw, int rawCapacity);
int ReadTaggedValue(FILE* stream, char* value, int valueCapacity);
