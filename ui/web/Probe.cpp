// SPDX-License-Identifier: MIT
#include "ui/web/Probe.h"

namespace {

constexpr TNamedField kFields[] = {
    {"FeedLength", &TFeedParams::FeedLength}, {"Accel", &TFeedParams::Accel},
    {"SpeedLimit", &TFeedParams::SpeedLimit}, {"MaxSpeed", &TFeedParams::MaxSpeed},
    {"MaxAccel", &TFeedParams::MaxAccel},     {"ApertureAngle", &TFeedParams::ApertureAngle},
    {"SettleTime", &TFeedParams::SettleTime}, {"StartSpeed", &TFeedParams::StartSpeed},
    {"StrokeRate", &TFeedParams::StrokeRate}, {"MeanAccel", &TFeedParams::MeanAccel},
    {"FeedTime", &TFeedParams::FeedTime},     {"AccelTime", &TFeedParams::AccelTime},
    {"PeakSpeed", &TFeedParams::PeakSpeed},   {"CycleTime", &TFeedParams::CycleTime},
};

}  // namespace

std::span<const TNamedField> NamedFields() {
  return kFields;
}

std::string_view FieldName(double TFeedParams::*field) {
  for (const TNamedField& named : kFields) {
    if (named.Field == field) {
      return named.Name;
    }
  }
  return {};
}
