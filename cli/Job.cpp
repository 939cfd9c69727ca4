// SPDX-License-Identifier: MIT
#include "cli/Job.h"

#include "calc/FeedCalc.h"

namespace {

constexpr TInput kRatePage[] = {TInput::FeedLength, TInput::StrokeRate, TInput::ApertureAngle,
                                TInput::MaxSpeed,   TInput::MaxAccel,   TInput::SettleTime};
constexpr TInput kTimingPage[] = {TInput::FeedLength, TInput::Accel, TInput::SpeedLimit,
                                  TInput::ApertureAngle, TInput::SettleTime};

bool OnPage(TRequest request, TInput input) {
  for (TInput i : PageInputs(request)) {
    if (i == input) {
      return true;
    }
  }
  return false;
}

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

size_t SkipDigits(std::u16string_view text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) {
    ++at;
  }
  return at;
}

// Stores one typed text; records a refusal instead.
void TakeTyped(TInput input, const std::u16string& text, TAccepted& accepted) {
  if (!IsNumberText(text)) {
    accepted.NotNumbers |= Bit(input);
    return;
  }
  const std::optional<double> value = ReadTypedInput(input, text);
  if (!value) {
    accepted.Refused |= Bit(input);
    return;
  }
  StoreInput(input, *value, accepted.Params);
}

// One box of the page: typed, or filled from the record as it stands when
// the page is shown; the base's fill while the field is still the base's.
void TakeBox(TInput input, const TBase& base, const TTyped& typed, TAccepted& accepted) {
  if (typed[input]) {
    TakeTyped(input, *typed[input], accepted);
    return;
  }
  const bool asBase = StoredValue(input, accepted.Params) == StoredValue(input, base.Stored());
  const std::optional<double> fill =
      asBase ? base.FillValue(input) : ReadTypedInput(input, FillText(input, accepted.Params));
  if (fill) {
    StoreInput(input, *fill, accepted.Params);
  } else {
    accepted.StoredKept |= Bit(input);
  }
}

int gWatches = 0;
unsigned long gReports = 0;

}  // namespace

TOutOfAreaWatch::TOutOfAreaWatch() {
  if (gWatches++ == 0) {
    SetDtoLReporter([] { ++gReports; });
  }
}

TOutOfAreaWatch::~TOutOfAreaWatch() {
  if (--gWatches == 0) {
    SetDtoLReporter(nullptr);
  }
}

unsigned long TOutOfAreaWatch::Count() {
  return gReports;
}

std::span<const TInput> PageInputs(TRequest request) {
  if (request == TRequest::Rate) {
    return kRatePage;
  }
  return kTimingPage;
}

bool IsNumberText(std::u16string_view text) {
  size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) {
    ++at;
  }
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    ++at;
  }
  const size_t integer = at;
  at = SkipDigits(text, at);
  bool digits = at != integer;
  if (at < text.size() && (text[at] == u'.' || text[at] == u',')) {
    const size_t fraction = at + 1;
    at = SkipDigits(text, fraction);
    digits = digits || at != fraction;
  }
  if (!digits) {
    return false;
  }
  if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
    size_t exponent = at + 1;
    if (exponent < text.size() && (text[exponent] == u'+' || text[exponent] == u'-')) {
      ++exponent;
    }
    const size_t end = SkipDigits(text, exponent);
    if (end == exponent) {
      return false;
    }
    at = end;
  }
  while (at < text.size() && IsBlank(text[at])) {
    ++at;
  }
  return at == text.size();
}

TBase::TBase(const TFeedParams& stored) : stored_(stored) {
  for (size_t i = 0; i < InputCount; ++i) {
    const auto input = static_cast<TInput>(i);
    fill_[i] = ReadTypedInput(input, FillText(input, stored));
  }
}

TAccepted AcceptTyped(TRequest request, const TBase& base, const TTyped& typed) {
  TAccepted accepted{base.Stored()};
  const TRequest other = request == TRequest::Rate ? TRequest::Timing : TRequest::Rate;
  for (TInput input : PageInputs(other)) {
    if (typed[input] && !OnPage(request, input)) {
      TakeTyped(input, *typed[input], accepted);
    }
  }
  if (request == TRequest::Timing && typed.SinSq) {
    accepted.Params.SinSqRamps = *typed.SinSq;
  }
  for (TInput input : PageInputs(request)) {
    if (request == TRequest::Rate && input == TInput::SettleTime && typed.SinSq) {
      accepted.Params.SinSqRamps = *typed.SinSq;
    }
    TakeBox(input, base, typed, accepted);
  }
  return accepted;
}

TRateResult RunRate(const TFeedParams& params) {
  const TOutOfAreaWatch watch;
  const unsigned long reports = TOutOfAreaWatch::Count();
  FeedParams = params;
  CalcFeed(CALC_STROKERATE | CALC_CYCLE);
  const TFeedParams& p = FeedParams;
  return {p,
          p.Accel,
          p.PeakSpeed * MetresPerMinutePerMetrePerSecond,
          (p.LimitFlags & LimitAccelOutside) != 0,
          (p.LimitFlags & LimitWindowRaised) != 0,
          StrokeRateShown(p),
          TOutOfAreaWatch::Count() != reports};
}

TTimingResult RunTiming(const TFeedParams& params) {
  const TOutOfAreaWatch watch;
  const unsigned long reports = TOutOfAreaWatch::Count();
  FeedParams = params;
  CalcFeed(CALC_FEEDTIME | CALC_CYCLE);
  const TFeedParams& p = FeedParams;
  return {p,
          p.FeedTime,
          p.AccelTime,
          p.PeakSpeed * MetresPerMinutePerMetrePerSecond,
          StrokeRateOfCycle(p.CycleTime),
          FeedTimingShown(p),
          TOutOfAreaWatch::Count() != reports};
}
