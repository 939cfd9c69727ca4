// SPDX-License-Identifier: MIT
#pragma once
// The command line of kolvane-calc: parses the arguments, runs the command
// and returns the exit code (0 done; 1 a batch with rows in error; 2 a bad
// option value or command line, or a file that cannot be read or written).

#include <functional>
#include <istream>
#include <ostream>

#include "calc/FeedParams.h"

// Reads the user's settings; throws Exception when the data folder cannot
// be resolved.
using TSettingsSource = std::function<TFeedParams()>;

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, const TSettingsSource& settings);
