// SPDX-License-Identifier: MIT
#pragma once
// The values a job starts from: the user's settings file, found and read as
// the window finds and reads it, or the defaults. Nothing is ever written:
// not the settings file, and not the data folder that the window would
// create at start-up.

#include <memory>

#include "app/Platform.h"
#include "calc/FeedParams.h"

// The platform layer of the window for reading only: the data folder is
// taken when it exists or when the window could create it, but it is never
// created.
std::unique_ptr<TPlatform> MakeReadOnlyPlatform(std::unique_ptr<TPlatform> native);

// The defaults, then the settings file of the folders that the platform
// resolves. Throws what the folder resolution throws (Exception).
TFeedParams ReadStoredSettings(TPlatform& platform);

// The defaults alone.
TFeedParams DefaultSettings();
