// SPDX-License-Identifier: MIT
#pragma once
// One acceptance pass over a calculation page, written once for the window
// and for kolvane-calc: every box of the page in its fixed order, each text
// read by the input table's rules and either stored in the record or
// refused. The window reads its boxes and answers a refusal with the range
// hint; kolvane-calc reads what was typed on its command line, and the
// stored value for what was not.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "calc/FeedParams.h"
#include "pages/InputFields.h"

enum class TPage : uint8_t { StrokeRate, FeedTiming };

// A box of a calculation page, by the window's name for it, and the input
// it edits; no input: the sin^2 check box, which a pass reads as it stands.
struct TPageBox {
  std::string_view Box;
  std::optional<TInput> Input;
};

// The boxes of a page in the order a pass reads them.
std::span<const TPageBox> PageBoxes(TPage page);

// What a pass needs of a page's boxes.
class TPageBoxes {
 public:
  virtual ~TPageBoxes() = default;
  // The text the box shows at this moment of the pass.
  virtual std::u16string Text(const TPageBox& box) = 0;
  // True when that text is the one the window itself put there (filling the
  // box, or putting a refused value back), and not one the user typed.
  virtual bool ShowsOwnText(const TPageBox& box) = 0;
  virtual bool SinSqChecked() = 0;
  // The text is refused: the window shows the input's range hint, if it has
  // one, and puts the stored value back. The record keeps its value.
  virtual void Refused(const TPageBox& box) = 0;
  // The box shows the stored value, nobody typed it, and its own range
  // refuses it in the form shown, which putting it back would show again:
  // the record keeps its value without a word, since a refusal would answer
  // every later pass, and every nested one, with a message that the user
  // cannot make go away.
  virtual void Kept(const TPageBox& /*box*/) {}
};

// Reads every box of the page, in order, into params.
void AcceptPage(TPage page, TPageBoxes& boxes, TFeedParams& params);

// Stores the value the text stands for, as a pass does with a box; false,
// storing nothing, when the input's range refuses it.
bool TakeText(TInput input, std::u16string_view text, TFeedParams& params);
