// SPDX-License-Identifier: MIT
#include "ui/Main.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/Folders.h"
#include "app/SwitchReader.h"
#include "calc/FeedCalc.h"
#include "calc/FeedParams.h"
#include "pages/InputFields.h"
#include "pages/Numbers.h"
#include "pages/PagePass.h"
#include "pages/PageResults.h"
#include "settings/NVData.h"
#include "ui/AccessibleTexts.h"
#include "ui/PeerFactory.h"
#include "ui/WindowDef.h"

TFO_Main* FO_Main = nullptr;
std::array<std::u16string, RuntimeTextCount> RuntimeTexts;
bool FirstShowDone = false;

namespace {

constexpr TColor kLimitRed = TColor::Rgb(255, 68, 68);

// The window is known process-wide before its base builds the controls.
TApplicationServices& Register(TFO_Main* window, TApplicationServices& application) {
  FO_Main = window;
  return application;
}

// Where each box of the two calculation pages stands in the input table, in
// the order a show fills them.
constexpr TPageBox kFillOrder[] = {
    {"ED_WayE", TInput::FeedLength},      {"ED_WayS", TInput::FeedLength},
    {"ED_AccelS", TInput::Accel},         {"ED_MaxSpeedE", TInput::MaxSpeed},
    {"ED_MaxSpeedS", TInput::SpeedLimit}, {"ED_MaxAccel", TInput::MaxAccel},
    {"CH_SinQramps", std::nullopt},       {"ED_HZin", TInput::StrokeRate},
    {"ED_AngleS", TInput::ApertureAngle}, {"ED_AngleE", TInput::ApertureAngle},
    {"ED_RuheZeitS", TInput::SettleTime}, {"ED_RuheZeitE", TInput::SettleTime}};

// Out-of-range rounding in the calculation: an empty box with its own caption.
void ReportOutOfArea() {
  if (FO_Main != nullptr) {
    FO_Main->Application().ShowMessageBox(u"", std::u16string(DtoLReportCaption), 0);
  }
}

// The text goes back before the focus does: the exit that the focus move
// fires starts a nested pass, which then finds this box in range.
void RestoreBox(TEdit& box, const std::u16string& text) {
  box.SetText(text);
  box.SelectAll();
  box.SetFocus();
}

// The boxes of the page on the screen, as an acceptance pass reads them.
class TWindowBoxes : public TPageBoxes {
 public:
  explicit TWindowBoxes(TFO_Main& form) : form_(form) {}

  std::u16string Text(const TPageBox& box) override { return Edit(box).Text(); }
  bool ShowsOwnText(const TPageBox& box) override { return Edit(box).ShowsOwnText(); }
  bool SinSqChecked() override { return form_.CH_SinQramps->Checked(); }

  // The settling time has no hint and goes back silently: only a number too
  // large for a double is refused there, which would reach the settings
  // file as "inf".
  void Refused(const TPageBox& box) override {
    if (const int hint = InputDef(*box.Input).Hint; hint >= 0) {
      form_.Application().ShowMessageBox(RuntimeTexts[static_cast<size_t>(hint)],
                                         std::u16string(MessageCaption), 0);
    }
    RestoreBox(Edit(box), RestoreText(*box.Input, FeedParams));
  }

 private:
  TEdit& Edit(const TPageBox& box) { return form_.Control<TEdit>(box.Box); }

  TFO_Main& form_;
};

}  // namespace

TFO_Main::TFO_Main(TApplicationServices& application, TPeerFactory& factory,
                   TPlatform& platform) try
    : TForm(Register(this, application), factory, MainFormDef, MainWindowControls()),
      PC_Main(&Control<TPageControl>("PC_Main")),
      TS_HzP(&Control<TTabSheet>("TS_HzP")),
      TS_VZ(&Control<TTabSheet>("TS_VZ")),
      LB_SpeedE(&Control<TLabel>("LB_SpeedE")),
      LB_Accel1(&Control<TLabel>("LB_Accel1")),
      LB_AccSinQ(&Control<TLabel>("LB_AccSinQ")),
      LB_SpeedS(&Control<TLabel>("LB_SpeedS")),
      IM_LogoPX(&Control<TImage>("IM_LogoPX")),
      IM_LogoDVK(&Control<TImage>("IM_LogoDVK")),
      ED_WayE(&Control<TEdit>("ED_WayE")),
      ED_SpeedE(&Control<TEdit>("ED_SpeedE")),
      ED_AccelE(&Control<TEdit>("ED_AccelE")),
      ED_AccelS(&Control<TEdit>("ED_AccelS")),
      ED_MaxSpeedS(&Control<TEdit>("ED_MaxSpeedS")),
      ED_TimeVS(&Control<TEdit>("ED_TimeVS")),
      ED_TimeAS(&Control<TEdit>("ED_TimeAS")),
      ED_SpeedS(&Control<TEdit>("ED_SpeedS")),
      ED_HZout(&Control<TEdit>("ED_HZout")),
      CH_SinQramps(&Control<TCheckBox>("CH_SinQramps")),
      CB_Language(&Control<TComboBox>("CB_Language")) {
  WireEvents();
  PC_Main->SetActivePage(*TS_HzP);  // whatever page the stored definition names
  ResolveFolders(platform);
  SetDefaultFeedParams();
  Language = 0;
  LoadNVData();
  ApplyLanguageSwitch();  // after the file, so a switch is also saved at close
  ApplyLanguage();
  CB_Language->SetItemIndex(Language);
  FirstShowDone = false;
  IM_LogoDVK->SetVisible(true);
  ActiveLogo = IM_LogoDVK;
  IM_LogoPX->SetVisible(false);
  SetDtoLReporter(ReportOutOfArea);
} catch (...) {
  FO_Main = nullptr;
  // The failure passes on to the creator of the window.
}

TFO_Main::~TFO_Main() {
  if (FO_Main == this) {
    FO_Main = nullptr;
    SetDtoLReporter(nullptr);
  }
}

void TFO_Main::WireEvents() {
  if ((MainFormDef.Events & evShow) != 0) {
    OnShow = [this](TControl* sender) { FormShow(sender); };
  }
  if ((MainFormDef.Events & evClose) != 0) {
    OnClose = [this](TControl* sender, TCloseAction& action) { FormClose(sender, action); };
  }
  for (const TControlDef& def : MainWindowControls()) {
    TControl* control = FindControl(def.Name);
    if ((def.Events & evKeyDown) != 0) {
      dynamic_cast<TWinControl&>(*control).OnKeyDown = [this](TControl* sender, uint16_t& key,
                                                              TShiftState shift) {
        ED_KeyDown(sender, key, shift);
      };
    }
    if ((def.Events & evKeyPress) != 0) {
      dynamic_cast<TEdit&>(*control).OnKeyPress = [this](TControl* sender, char16_t& key) {
        ED_KeyPress(sender, key);
      };
    }
    if ((def.Events & evExit) != 0) {
      dynamic_cast<TWinControl&>(*control).OnExit = [this](TControl* sender) { ED_Exit(sender); };
    }
    if ((def.Events & (evChange | evClick)) != 0) {
      WireHandler(*control, def.Handler);
    }
  }
}

// The definition names the handler; the control's class says which of its
// events carries it.
void TFO_Main::WireHandler(TControl& control, THandler handler) {
  TNotifyEvent run;
  switch (handler) {
    case THandler::PC_MainChange:
      run = [this](TControl* sender) { PC_MainChange(sender); };
      break;
    case THandler::CB_LanguageChange:
      run = [this](TControl* sender) { CB_LanguageChange(sender); };
      break;
    case THandler::CH_SinQrampsClick:
      run = [this](TControl* sender) { CH_SinQrampsClick(sender); };
      break;
    case THandler::None:
      throw std::logic_error("an event without a handler on " + std::string(control.Name()));
  }
  if (auto* pages = dynamic_cast<TPageControl*>(&control)) {
    pages->OnChange = std::move(run);
  } else if (auto* combo = dynamic_cast<TComboBox*>(&control)) {
    combo->OnChange = std::move(run);
  } else {
    dynamic_cast<TCheckBox&>(control).OnClick = std::move(run);
  }
}

// ---- Language texts ----

void TFO_Main::ApplyLanguage() {
  const bool english = Language == 1;  // every other value shows German
  for (const TLanguageText& text : LanguageTexts()) {
    std::u16string chosen(english ? text.English : text.German);
    if (text.Entry >= 0) {
      RuntimeTexts[static_cast<size_t>(text.Entry)] = std::move(chosen);
    } else {
      SetCaptionOf(text.Control, chosen);
    }
  }
}

void TFO_Main::SetCaptionOf(std::string_view control, const std::u16string& text) {
  TControl* target = FindControl(control);
  if (auto* label = dynamic_cast<TLabel*>(target)) {
    label->SetCaption(text);
  } else if (auto* sheet = dynamic_cast<TTabSheet*>(target)) {
    sheet->SetCaption(text);
  } else if (auto* box = dynamic_cast<TCheckBox*>(target)) {
    box->SetCaption(text);
  } else {
    throw std::logic_error("no caption to write on " + std::string(control));
  }
}

void TFO_Main::CB_LanguageChange(TControl* /*Sender*/) {
  // -1 when the box shows no item; that shows German and is saved as it is.
  Language = CB_Language->ItemIndex();
  ApplyLanguage();
  for (TEdit* box : limitMarked_) {
    box->SetAccessibleDescription(LimitDescription(box->Name()));
  }
}

// A box coloured for a broken drive limit also says which in words, for a
// screen reader: the colour must not be the only sign.
void TFO_Main::MarkLimit(TEdit& box, bool broken) {
  box.SetColor(broken ? kLimitRed : clWindow);
  const auto marked = std::find(limitMarked_.begin(), limitMarked_.end(), &box);
  if (broken) {
    box.SetAccessibleDescription(LimitDescription(box.Name()));
    if (marked == limitMarked_.end()) {
      limitMarked_.push_back(&box);
    }
  } else if (marked != limitMarked_.end()) {
    box.SetAccessibleDescription(std::u16string());
    limitMarked_.erase(marked);
  }
}

// ---- Result display ----

void TFO_Main::FormShow(TControl* Sender) {
  LB_AccSinQ->SetCaption(RuntimeTexts[RampLabel(FeedParams)]);
  LB_Accel1->SetCaption(RuntimeTexts[PeakLabel(FeedParams)]);
  if (Sender == nullptr) {
    if (PC_Main->ActivePage() == TS_HzP) {
      RefreshStrokeRatePage();
    } else if (PC_Main->ActivePage() == TS_VZ) {
      RefreshFeedTimingPage();
    }
    MarkLimit(*ED_AccelS, AccelAboveMaxAccel(FeedParams));
    MarkLimit(*ED_MaxSpeedS, SpeedLimitAboveMaxSpeed(FeedParams));
    return;
  }
  FillInputBoxes();
  FormShow(nullptr);
  if (!FirstShowDone) {
    ED_WayE->SetFocus();
  }
  // Last: whatever the steps above triggered found the acceptance still inert.
  FirstShowDone = true;
}

void TFO_Main::ShowResults() {
  FormShow(nullptr);
}

void TFO_Main::PC_MainChange(TControl* Sender) {
  FormShow(Sender);
}

void TFO_Main::FillInputBoxes() {
  for (const TPageBox& entry : kFillOrder) {
    if (entry.Input) {
      Control<TEdit>(entry.Box).SetText(FillText(*entry.Input, FeedParams));
    } else {
      // Its click reaches the acceptance.
      Control<TCheckBox>(entry.Box).SetChecked(FeedParams.SinSqRamps);
    }
  }
}

// Results without a finite value (NoValue) show as "-" through FormatFixed.
void TFO_Main::RefreshStrokeRatePage() {
  CalcFeed(CALC_STROKERATE | CALC_CYCLE);
  const TStrokeRateShown shown = StrokeRateShown(FeedParams);
  ED_SpeedE->SetText(shown.Speed);
  MarkLimit(*ED_SpeedE, shown.SpeedRed);
  LB_SpeedE->SetCaption(RuntimeTexts[static_cast<size_t>(shown.SpeedLabel)]);
  ED_AccelE->SetText(shown.Accel);
  MarkLimit(*ED_AccelE, shown.AccelRed);
  ActiveLogo->SetParent(*TS_HzP);
}

void TFO_Main::RefreshFeedTimingPage() {
  CalcFeed(CALC_FEEDTIME | CALC_CYCLE);
  const TFeedTimingShown shown = FeedTimingShown(FeedParams);
  ED_TimeVS->SetText(shown.FeedTime);
  ED_SpeedS->SetText(shown.Speed);
  LB_SpeedS->SetCaption(RuntimeTexts[static_cast<size_t>(shown.SpeedLabel)]);
  ED_TimeAS->SetText(shown.AccelTime);
  ED_HZout->SetText(shown.StrokeRate);
  ActiveLogo->SetParent(*TS_VZ);
}

// ---- Input acceptance ----

void TFO_Main::ED_KeyDown(TControl* Sender, uint16_t& Key, TShiftState /*Shift*/) {
  if ((dynamic_cast<TEdit*>(Sender) != nullptr && Key == vkReturn) ||
      (dynamic_cast<TCheckBox*>(Sender) != nullptr && Key == vkSpace)) {
    AcceptInputs();
  }
}

void TFO_Main::ED_KeyPress(TControl* Sender, char16_t& Key) {
  if (Key != u'\r') {
    return;
  }
  Key = 0;  // the box must not beep at the line break
  if (auto* box = dynamic_cast<TEdit*>(Sender)) {
    box->SelectAll();
  }
}

void TFO_Main::ED_Exit(TControl* Sender) {
  if (dynamic_cast<TEdit*>(Sender) != nullptr) {
    AcceptInputs();
  }
}

void TFO_Main::CH_SinQrampsClick(TControl* /*Sender*/) {
  AcceptInputs();
}

void TFO_Main::FormClose(TControl* /*Sender*/, TCloseAction& /*Action*/) {
  SaveNVData();
}

void TFO_Main::AcceptInputs() {
  if (!FirstShowDone) {
    return;
  }
  TWindowBoxes boxes(*this);
  if (PC_Main->ActivePage() == TS_HzP) {
    AcceptPage(TPage::StrokeRate, boxes, FeedParams);
  } else if (PC_Main->ActivePage() == TS_VZ) {
    AcceptPage(TPage::FeedTiming, boxes, FeedParams);
  }
  ShowResults();
}
