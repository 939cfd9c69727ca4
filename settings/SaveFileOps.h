// SPDX-License-Identifier: MIT
#pragma once
// The stream operations through which SaveNVData writes its temporary file.
// Internal to the settings module; tests swap them to make a write, a flush
// or a close fail, which no file permission can do for a root user.

#include <cstddef>
#include <cstdio>

struct TSaveFileOps {
  size_t (*Write)(const void* data, size_t size, size_t count, FILE* file);
  int (*Flush)(FILE* file);  // to the disk, not only out of the stream's buffer
  int (*Close)(FILE* file);
};

// The real operations: fwrite, fflush followed by fsync, fclose.
extern const TSaveFileOps RealSaveFileOps;

// What SaveNVData uses; RealSaveFileOps unless a test has swapped it.
extern TSaveFileOps SaveFileOps;
