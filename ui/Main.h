// SPDX-License-Identifier: MIT
#pragma once
// The main window: its controls, the start-up it performs, and its handlers
// for input acceptance, result display, language texts and shut-down.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pages/InputFields.h"
#include "pages/Texts.h"
#include "ui/Controls.h"
#include "ui/WindowDef.h"

class TPlatform;
class TPeerFactory;
class TFO_Main;

// The main window while it exists: set as its construction starts, so code
// inside the constructor reaches the window under construction, and null
// again when the construction fails or the window is destroyed.
extern TFO_Main* FO_Main;

// The language-dependent texts that the window chooses between at run time
// (indices in pages/Texts.h); rewritten as a whole by ApplyLanguage.
extern std::array<std::u16string, RuntimeTextCount> RuntimeTexts;

// Set by the first full show; until then input acceptance does nothing.
extern bool FirstShowDone;

class TFO_Main : public TForm {
 public:
  // Builds the window through the toolkit's factory and does the program's
  // start-up: first page, folders, defaults, settings file, language switch,
  // texts, language box, logo. Throws what the folder resolution throws (a
  // registry value that is not a string); nothing has been read then.
  TFO_Main(TApplicationServices& application, TPeerFactory& factory, TPlatform& platform);
  ~TFO_Main() override;

  // The controls the logic itself uses; every other control of the
  // definition is reached by its name (Control<T>("ED_HZin")).
  TPageControl* const PC_Main;
  TTabSheet* const TS_HzP;
  TTabSheet* const TS_VZ;
  TLabel* const LB_SpeedE;
  TLabel* const LB_Accel1;
  TLabel* const LB_AccSinQ;
  TLabel* const LB_SpeedS;
  TImage* const IM_LogoPX;
  TImage* const IM_LogoDVK;
  TEdit* const ED_WayE;
  TEdit* const ED_SpeedE;
  TEdit* const ED_AccelE;
  TEdit* const ED_AccelS;
  TEdit* const ED_MaxSpeedS;
  TEdit* const ED_TimeVS;
  TEdit* const ED_TimeAS;
  TEdit* const ED_SpeedS;
  TEdit* const ED_HZout;
  TCheckBox* const CH_SinQramps;
  TComboBox* const CB_Language;

  // The logo on the page last refreshed; the only logo ever visible.
  TImage* ActiveLogo = nullptr;

  // Handlers, wired from the window definition.
  void FormShow(TControl* Sender);  // a null sender refreshes only
  void PC_MainChange(TControl* Sender);
  void ED_KeyDown(TControl* Sender, uint16_t& Key, TShiftState Shift);
  void ED_KeyPress(TControl* Sender, char16_t& Key);
  void ED_Exit(TControl* Sender);
  void CH_SinQrampsClick(TControl* Sender);
  void CB_LanguageChange(TControl* Sender);
  void FormClose(TControl* Sender, TCloseAction& Action);

  // One acceptance pass over every input of the active page, then a refresh.
  void AcceptInputs();
  // The refresh: calculation, result boxes, limit colours, labels, logo.
  void ShowResults();
  // Writes the captions and RuntimeTexts of the language Language selects.
  void ApplyLanguage();

 private:
  void WireEvents();
  void WireHandler(TControl& control, THandler handler);
  void SetCaptionOf(std::string_view control, const std::u16string& text);
  void FillInputBoxes();
  void RefreshStrokeRatePage();
  void RefreshFeedTimingPage();
  void MarkLimit(TEdit& box, bool broken);

  // The boxes coloured for a broken limit now.
  std::vector<TEdit*> limitMarked_;
};
