// SPDX-License-Identifier: MIT
#pragma once
// In words, what a box coloured light red for a broken drive limit means, so
// that the colour is not the only sign: screen readers say it beside the box.

#include <cstdint>
#include <string>
#include <string_view>

// Which limit the box breaks, from the LimitFlags the stroke-rate request
// left, in the language (1 English, every other value German); empty for a
// box that marks no limit.
std::u16string LimitDescription(std::string_view box, uint16_t limitFlags, int32_t language);
