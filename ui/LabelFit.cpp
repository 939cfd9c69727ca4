// SPDX-License-Identifier: MIT
#include "ui/LabelFit.h"

#include <algorithm>

std::optional<int> LabelRoomEnd(std::span<const TControlDef> controls, std::string_view label) {
  const TControlDef* own = FindControlDef(controls, label);
  if (own == nullptr) {
    return std::nullopt;
  }
  std::optional<int> end;
  for (const TControlDef& other : controls) {
    const bool sameRow = other.Top < own->Top + own->Height && own->Top < other.Top + other.Height;
    if (&other != own && other.Parent == own->Parent && sameRow && other.Left > own->Left) {
      end = std::min(end.value_or(other.Left), other.Left);
    }
  }
  return end;
}

int LabelSqueeze(int width, int room) {
  if (width <= room) {
    return 0;
  }
  const int most = static_cast<int>(width * kMostLabelSqueeze);
  return std::min(width - room, most);
}
