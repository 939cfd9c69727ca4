// SPDX-License-Identifier: MIT
#pragma once
// The inputs of kolvane-calc by name, written once: an option of the command
// line is the name after two dashes ("--feed-length"), a column of a batch
// file is the name as it stands ("feed-length"). The table's order is the
// order of the help.

#include <iterator>
#include <string_view>

#include "pages/InputFields.h"

struct TInputOption {
  std::string_view Name;
  std::string_view ValueName;  // the value in the help: the unit it is typed in
  TInput Input;
};

inline constexpr TInputOption InputOptions[] = {
    {"feed-length", "MM", TInput::FeedLength},
    {"angle", "DEG", TInput::ApertureAngle},
    {"stroke-rate", "PER_MIN", TInput::StrokeRate},
    {"max-speed", "M_PER_MIN", TInput::MaxSpeed},
    {"max-accel", "M_PER_S2", TInput::MaxAccel},
    {"settle", "S", TInput::SettleTime},
    {"accel", "M_PER_S2", TInput::Accel},
    {"speed-limit", "M_PER_MIN", TInput::SpeedLimit},
};
static_assert(std::size(InputOptions) == InputCount, "every input has its option");

// The sin² ramps of P56, given as on or off.
inline constexpr std::string_view SinSqOption = "sin2";
// A batch file's column for the request of its row: rate or timing.
inline constexpr std::string_view RequestColumn = "request";

// The option of an input, without its dashes.
inline std::string_view OptionName(TInput input) {
  for (const TInputOption& option : InputOptions) {
    if (option.Input == input) {
      return option.Name;
    }
  }
  return {};
}

// The input option of a name without dashes; nullptr for no input's name.
inline const TInputOption* FindInputOption(std::string_view name) {
  for (const TInputOption& option : InputOptions) {
    if (option.Name == name) {
      return &option;
    }
  }
  return nullptr;
}
