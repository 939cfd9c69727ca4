// SPDX-License-Identifier: MIT
#pragma once
// One job of kolvane-calc: values typed for a calculation page, taken in as
// one acceptance pass of the window takes them in, then the page's request.
//
// The window reads every input of its page at each pass: a box that the user
// did not type into holds the stored value in its display format and is read
// back from that text, with the same ranges and rules as a typed one. A job
// does the same, so its results are what the page shows after Enter for the
// same typed values.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "calc/FeedParams.h"
#include "pages/InputFields.h"
#include "pages/PagePass.h"
#include "pages/PageResults.h"

enum class TRequest : uint8_t { Rate, Timing };

// What was typed, by input (indexed by TInput); nothing: not given.
struct TTyped {
  std::array<std::optional<std::u16string>, InputCount> Text;
  std::optional<bool> SinSq;

  std::optional<std::u16string>& operator[](TInput input) {
    return Text[static_cast<size_t>(input)];
  }
  const std::optional<std::u16string>& operator[](TInput input) const {
    return Text[static_cast<size_t>(input)];
  }
};

// The record before a job, with the texts its boxes would show.
class TBase {
 public:
  explicit TBase(const TFeedParams& stored);
  const TFeedParams& Stored() const { return stored_; }
  // The text of a box filled from the stored value.
  const std::u16string& FillText(TInput input) const { return fill_[static_cast<size_t>(input)]; }

 private:
  TFeedParams stored_;
  std::array<std::u16string, InputCount> fill_;
};

// Bit sets of inputs (1 << TInput).
using TInputSet = uint16_t;
constexpr TInputSet Bit(TInput input) {
  return static_cast<TInputSet>(1u << static_cast<unsigned>(input));
}

struct TAccepted {
  TFeedParams Params;
  TInputSet Refused = 0;     // typed values the window refuses (range hint)
  TInputSet NotNumbers = 0;  // typed texts that are no number (the window reads "12abc" as 12;
                             // a command line or a file refuses it as a slip)
  TInputSet StoredKept = 0;  // untyped boxes whose stored value the window does not take back

  bool Ok() const { return Refused == 0 && NotNumbers == 0; }
};

// Takes the typed values in: inputs of the other page that were given are
// stored first, as if typed and accepted there; then the window's own pass
// over the request's page, each box showing the typed text or, untyped, the
// record as it then stands (as a page change fills it).
TAccepted AcceptTyped(TRequest request, const TBase& base, const TTyped& typed);

// The stroke-rate request (0x42) on params, as the stroke-rate page shows it.
struct TRateResult {
  TFeedParams After;  // the record after the request
  double AccelMs2;
  double PeakSpeedMmin;
  bool AccelOverLimit;
  bool WindowRaised;
  TStrokeRateShown Shown;
  // A value went beyond the rounding's range and was taken as 0: the
  // results are what the window shows, but not a setting for the drive.
  bool OutOfArea;
};
TRateResult RunRate(const TFeedParams& params);

// The feed-timing request (0x41) on params, as the feed-timing page shows it.
struct TTimingResult {
  TFeedParams After;
  double FeedTimeS;
  double RampTimeS;
  double PeakSpeedMmin;
  double StrokeRatePerMin;  // NoValue when there is none
  TFeedTimingShown Shown;
  bool OutOfArea;
};
TTimingResult RunTiming(const TFeedParams& params);
