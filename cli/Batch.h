// SPDX-License-Identifier: MIT
#pragma once
// Many jobs at once: one job per CSV row, the results as CSV.

#include <ostream>
#include <string>
#include <string_view>

#include "cli/CliTexts.h"
#include "cli/Job.h"

struct TBatchSummary {
  size_t Rows = 0;
  size_t Failed = 0;  // rows with an error
};

// The header names inputs by the option names without their dashes
// ("feed-length", "sin2", ...) and may have a "request" column ("rate" or
// "timing"; empty or missing: rate). Other columns are copied through.
// Writes the input columns, then the result columns, then "error", one row
// per input row in the same order. A row with an error gets its message and
// empty results; every other row is computed. Warnings (a column that is no
// input, a repeated input column) go to warnings.
TBatchSummary RunBatch(std::string_view csv, const TBase& base, TLang lang, std::ostream& out,
                       std::ostream& warnings);
