// SPDX-License-Identifier: MIT
#include "cli/Job.h"

#include "calc/FeedCalc.h"
#include "pages/Numbers.h"

namespace {

TPage PageOf(TRequest request) {
  return request == TRequest::Rate ? TPage::StrokeRate : TPage::FeedTiming;
}

bool OnPage(TPage page, TInput input) {
  for (const TPageBox& box : PageBoxes(page)) {
    if (box.Input == input) {
      return true;
    }
  }
  return false;
}

// Stores one typed text of the other page, as a pass there would; records a
// refusal instead.
void TakeTyped(TInput input, const std::u16string& text, TAccepted& accepted) {
  if (!TakeText(input, text, accepted.Params)) {
    accepted.Refused |= Bit(input);
  }
}

// The page's boxes as the job fills them: what was typed, else the stored
// value in the box's format, as a page change fills them.
class TJobBoxes : public TPageBoxes {
 public:
  TJobBoxes(const TBase& base, const TTyped& typed, TAccepted& accepted)
      : base_(base), typed_(typed), accepted_(accepted) {}

  std::u16string Text(const TPageBox& box) override {
    const TInput input = *box.Input;
    if (typed_[input]) {
      return *typed_[input];
    }
    // The base's fill while the field is still the base's: a batch fills
    // most boxes of every row from the same settings.
    const bool asBase = StoredValue(input, accepted_.Params) == StoredValue(input, base_.Stored());
    return asBase ? base_.FillText(input) : FillText(input, accepted_.Params);
  }
  bool ShowsOwnText(const TPageBox& box) override { return !typed_[*box.Input]; }
  bool SinSqChecked() override { return typed_.SinSq.value_or(accepted_.Params.SinSqRamps); }
  void Refused(const TPageBox& box) override {
    const TInput input = *box.Input;
    (typed_[input] ? accepted_.Refused : accepted_.StoredKept) |= Bit(input);
  }
  void Kept(const TPageBox& box) override { accepted_.StoredKept |= Bit(*box.Input); }

 private:
  const TBase& base_;
  const TTyped& typed_;
  TAccepted& accepted_;
};

}  // namespace

TBase::TBase(const TFeedParams& stored) : stored_(stored) {
  for (size_t i = 0; i < InputCount; ++i) {
    fill_[i] = ::FillText(static_cast<TInput>(i), stored);
  }
}

TAccepted AcceptTyped(TRequest request, const TBase& base, const TTyped& typed) {
  TAccepted accepted{base.Stored()};
  for (size_t i = 0; i < InputCount; ++i) {
    if (typed.Text[i] && !IsNumberText(*typed.Text[i])) {
      accepted.NotNumbers |= Bit(static_cast<TInput>(i));
    }
  }
  const TPage page = PageOf(request);
  const TPage other = page == TPage::StrokeRate ? TPage::FeedTiming : TPage::StrokeRate;
  for (const TPageBox& box : PageBoxes(other)) {
    if (box.Input && typed[*box.Input] && !OnPage(page, *box.Input) &&
        (accepted.NotNumbers & Bit(*box.Input)) == 0) {
      TakeTyped(*box.Input, *typed[*box.Input], accepted);
    }
  }
  if (page == TPage::FeedTiming && typed.SinSq) {
    accepted.Params.SinSqRamps = *typed.SinSq;
  }
  TJobBoxes boxes(base, typed, accepted);
  AcceptPage(page, boxes, accepted.Params);
  return accepted;
}

TRateResult RunRate(const TFeedParams& params) {
  TFeedParams p = params;
  const unsigned outOfArea = CalcFeed(p, CALC_STROKERATE | CALC_CYCLE);
  return {p,
          p.Accel,
          p.PeakSpeed * MetresPerMinutePerMetrePerSecond,
          (p.LimitFlags & LimitAccelOutside) != 0,
          (p.LimitFlags & LimitWindowRaised) != 0,
          StrokeRateShown(p),
          outOfArea != 0};
}

TTimingResult RunTiming(const TFeedParams& params) {
  TFeedParams p = params;
  const unsigned outOfArea = CalcFeed(p, CALC_FEEDTIME | CALC_CYCLE);
  return {p,
          p.FeedTime,
          p.AccelTime,
          p.PeakSpeed * MetresPerMinutePerMetrePerSecond,
          StrokeRateOfCycle(p.CycleTime),
          FeedTimingShown(p),
          outOfArea != 0};
}
