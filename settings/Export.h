// SPDX-License-Identifier: MIT
#pragma once
// Marks the classes that the program exports under their C++ names.
#if defined(_WIN32)
#define KOLVANE_EXPORT __declspec(dllexport)
#else
#define KOLVANE_EXPORT __attribute__((visibility("default")))
#endif
