// SPDX-License-Identifier: MIT
#pragma once
// Marks the classes that the program exports under their C++ names.
#if defined(_WIN32)
// The program's module-definition file, made from settings/exports.txt, names
// the exports: marking the class would also export the second (base-object)
// copy of each constructor.
#define KOLVANE_EXPORT
#else
#define KOLVANE_EXPORT __attribute__((visibility("default")))
#endif
