// SPDX-License-Identifier: MIT
#pragma once
// How a label whose text would run into the control beside it is made to
// fit, in every front end: the fixed label widths were drawn for one font,
// and the face a system puts in its place may be wider. The text is measured
// with the font actually in use; what does not fit its room has its
// characters set closer together, by at most a seventh of its width, rather
// than a smaller or narrower face being chosen for one label.

#include <optional>
#include <span>
#include <string_view>

#include "ui/WindowDef.h"

// Pixels at 96 dpi a label keeps clear of the control beside it.
inline constexpr int kLabelGap = 4;
// The most the characters are set closer, as a share of the text's width.
inline constexpr double kMostLabelSqueeze = 0.15;

// Where a label's room ends, at 96 dpi and in its parent: the left edge of
// the nearest control to its right on the same row; nothing when none is
// there, and the parent's edge ends it.
std::optional<int> LabelRoomEnd(std::span<const TControlDef> controls, std::string_view label);

// The pixels to take out of a text `width` wide so that it fits `room`: none
// when it fits, else what it lacks, but never more than kMostLabelSqueeze of
// its width (a text that lacks more runs on into the gap).
int LabelSqueeze(int width, int room);
