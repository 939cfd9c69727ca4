// SPDX-License-Identifier: MIT
#include "ui/web/Probe.h"

namespace {

struct TNamedField {
  std::string_view Name;
  double TFeedParams::*Field;
};

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

std::string_view FieldName(double TFeedParams::*field) {
  for (const TNamedField& named : kFields) {
    if (named.Field == field) {
      return named.Name;
    }
  }
  return {};
}

std::optional<double TFeedParams::*> FieldNamed(std::string_view name) {
  for (const TNamedField& named : kFields) {
    if (named.Name == name) {
      return named.Field;
    }
  }
  return std::nullopt;
}
