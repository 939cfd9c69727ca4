// SPDX-License-Identifier: MIT
#include "pages/PagePass.h"

#include <optional>

namespace {

// The order is the window's: the checks of a pass run in exactly this
// order, so that of two refused boxes the later one keeps the focus.
constexpr TPageBox kSinSqBox{"CH_SinQramps", std::nullopt};
constexpr TPageBox kStrokeRateBoxes[] = {
    {"ED_WayE", TInput::FeedLength},      {"ED_HZin", TInput::StrokeRate},
    {"ED_AngleE", TInput::ApertureAngle}, {"ED_MaxSpeedE", TInput::MaxSpeed},
    {"ED_MaxAccel", TInput::MaxAccel},    kSinSqBox,
    {"ED_RuheZeitE", TInput::SettleTime}};
constexpr TPageBox kFeedTimingBoxes[] = {{"ED_WayS", TInput::FeedLength},
                                         {"ED_AccelS", TInput::Accel},
                                         {"ED_MaxSpeedS", TInput::SpeedLimit},
                                         {"ED_AngleS", TInput::ApertureAngle},
                                         {"ED_RuheZeitS", TInput::SettleTime}};

// Putting the stored value back would show a text that its own range
// refuses again: the acceleration the stroke-rate page computed as 0.00 or
// as the marker of an impossible profile, a maximum acceleration below
// 0.5 m/s^2 shown as "0".
bool RestoreIsRefused(TInput input, const TFeedParams& params) {
  return !ReadTypedInput(input, RestoreText(input, params));
}

}  // namespace

std::span<const TPageBox> PageBoxes(TPage page) {
  if (page == TPage::StrokeRate) {
    return kStrokeRateBoxes;
  }
  return kFeedTimingBoxes;
}

bool TakeText(TInput input, std::u16string_view text, TFeedParams& params) {
  const std::optional<double> value = ReadTypedInput(input, text);
  if (value) {
    StoreInput(input, *value, params);
  }
  return value.has_value();
}

void AcceptPage(TPage page, TPageBoxes& boxes, TFeedParams& params) {
  for (const TPageBox& box : PageBoxes(page)) {
    if (!box.Input) {
      params.SinSqRamps = boxes.SinSqChecked();
      continue;
    }
    if (TakeText(*box.Input, boxes.Text(box), params)) {
      continue;
    }
    if (boxes.ShowsOwnText(box) && RestoreIsRefused(*box.Input, params)) {
      boxes.Kept(box);
    } else {
      boxes.Refused(box);
    }
  }
}
