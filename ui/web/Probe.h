// SPDX-License-Identifier: MIT
#pragma once
// The fields of the parameter record by name, for the browser tests: the
// page shows the record only as rounded texts, and the user stories check
// the stored values themselves. The story table's export names the fields
// with the same words.

#include <optional>
#include <string_view>

#include "calc/FeedParams.h"

// The field's name in the record ("FeedLength"); empty for a pointer to no
// field of it.
std::string_view FieldName(double TFeedParams::*field);
// The field of that name; nothing when the record has none.
std::optional<double TFeedParams::*> FieldNamed(std::string_view name);
