// SPDX-License-Identifier: MIT
// Prints the user stories of tests/support as JSON, for the browser tests
// (tests/web/web_test.js), which perform each step with real keys and
// clicks in Chromium and read what the page shows. Texts are written with
// \u escapes; byte strings (the settings file, its lines) as one character
// per byte.

#include <cstdio>
#include <string>
#include <string_view>

#include "calc/FeedParams.h"
#include "tests/support/Scenarios.h"

namespace {

const char* KindName(TStepKind kind) {
  switch (kind) {
    case TStepKind::Click:
      return "Click";
    case TStepKind::DoubleClick:
      return "DoubleClick";
    case TStepKind::Type:
      return "Type";
    case TStepKind::PutText:
      return "PutText";
    case TStepKind::Enter:
      return "Enter";
    case TStepKind::Tab:
      return "Tab";
    case TStepKind::ShiftTab:
      return "ShiftTab";
    case TStepKind::Space:
      return "Space";
    case TStepKind::Backspace:
      return "Backspace";
    case TStepKind::CtrlTab:
      return "CtrlTab";
    case TStepKind::CtrlShiftTab:
      return "CtrlShiftTab";
    case TStepKind::ClickTab:
      return "ClickTab";
    case TStepKind::PickLanguage:
      return "PickLanguage";
    case TStepKind::Close:
      return "Close";
    case TStepKind::ShowsText:
      return "ShowsText";
    case TStepKind::ShowsSelected:
      return "ShowsSelected";
    case TStepKind::ShowsColour:
      return "ShowsColour";
    case TStepKind::ShowsChecked:
      return "ShowsChecked";
    case TStepKind::HasFocus:
      return "HasFocus";
    case TStepKind::ShowsPage:
      return "ShowsPage";
    case TStepKind::ShowsMessages:
      return "ShowsMessages";
    case TStepKind::Stores:
      return "Stores";
    case TStepKind::StoresSinSqRamps:
      return "StoresSinSqRamps";
    case TStepKind::SavesLine:
      return "SavesLine";
    case TStepKind::SavesNothingYet:
      return "SavesNothingYet";
  }
  return "Unknown";
}

void AppendUnit(std::string& json, unsigned unit) {
  if (unit == '"' || unit == '\\') {
    json += '\\';
    json += static_cast<char>(unit);
  } else if (unit >= 0x20 && unit < 0x7F) {
    json += static_cast<char>(unit);
  } else {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", unit);
    json += escape;
  }
}

std::string Text(std::u16string_view text) {
  std::string json = "\"";
  for (char16_t unit : text) {
    AppendUnit(json, unit);
  }
  return json + '"';
}

std::string Bytes(std::string_view bytes) {
  std::string json = "\"";
  for (char byte : bytes) {
    AppendUnit(json, static_cast<unsigned char>(byte));
  }
  return json + '"';
}

std::string Name(std::string_view name) {
  return Bytes(name);
}

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string Messages(const std::vector<TExpectedMessage>& messages) {
  std::string json = "[";
  for (const TExpectedMessage& message : messages) {
    json += json.size() > 1 ? "," : "";
    json += "{\"text\":" + Text(message.Text) + ",\"caption\":" + Text(message.Caption) +
            ",\"focus\":" + Name(message.FocusWhileOpen) +
            ",\"page\":" + Name(message.PageWhileOpen) + "}";
  }
  return json + "]";
}

std::string Step(const TStep& step) {
  std::string json = "{\"kind\":\"" + std::string(KindName(step.Kind)) + "\"";
  json += ",\"describe\":" + Name(Describe(step));
  json += ",\"control\":" + Name(step.Control);
  json += ",\"text\":" + Text(step.Text);
  json += ",\"item\":" + std::to_string(step.Item);
  json += ",\"colour\":[" + std::to_string(step.Colour.Red()) + "," +
          std::to_string(step.Colour.Green()) + "," + std::to_string(step.Colour.Blue()) + "]";
  if (step.Kind == TStepKind::Stores) {
    json += ",\"field\":" + Name(FieldName(step.Field)) + ",\"value\":" + Number(step.Value);
  }
  json += ",\"messages\":" + Messages(step.Messages);
  json += ",\"line\":" + Bytes(step.Line);
  return json + "}";
}

}  // namespace

int main() {
  std::string json = "[\n";
  bool first = true;
  for (const TScenario& scenario : UserScenarios()) {
    json += first ? "" : ",\n";
    first = false;
    json += "{\"name\":" + Name(scenario.Name) + ",\"settings\":" + Bytes(scenario.Settings) +
            ",\"steps\":[";
    for (size_t i = 0; i < scenario.Steps.size(); ++i) {
      json += (i == 0 ? "\n " : ",\n ") + Step(scenario.Steps[i]);
    }
    json += "]}";
  }
  json += "\n]\n";
  std::fputs(json.c_str(), stdout);
  return 0;
}
