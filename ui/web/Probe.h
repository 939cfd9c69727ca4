// SPDX-License-Identifier: MIT
#pragma once
// The fields of the parameter record by name, for the browser tests: the
// page shows the record only as rounded texts, and the user stories check
// the stored values themselves. The story table's export names the fields
// with the same words.

#include <span>
#include <string_view>

#include "calc/FeedParams.h"

struct TNamedField {
  std::string_view Name;
  double TFeedParams::*Field;
};

// Every number field of the record, by the name it has in the record.
std::span<const TNamedField> NamedFields();

// The field's name ("FeedLength"); empty for a pointer to no field of it.
std::string_view FieldName(double TFeedParams::*field);
