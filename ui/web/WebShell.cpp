// SPDX-License-Identifier: MIT
#include "ui/web/WebShell.h"

#include "settings/NVData.h"
#include "ui/web/Dom.h"

namespace {

constexpr int kIdOk = 1;

int Length(const std::u16string& text) {
  return static_cast<int>(text.size());
}

}  // namespace

TWebShell::~TWebShell() {
  form_.reset();
}

void TWebShell::CreateMainForm() {
  form_ = std::make_unique<TFO_Main>(*this, window_, platform_);
  window_.FormBuilt(*form_);
}

void TWebShell::Run() {
  kw_show_form(window_.FormElement());
  if (form_ != nullptr) {
    form_->UserShown();
  }
}

void TWebShell::ShowException(const std::u16string& text) {
  SaveBeforeBox();
  kw_show_box(title_.data(), Length(title_), text.data(), Length(text), true);
  if (form_ != nullptr) {
    window_.RestoreFocus(*form_);
  }
}

int TWebShell::ShowMessageBox(const std::u16string& text, const std::u16string& caption,
                              int /*flags*/) {
  SaveBeforeBox();
  kw_show_box(caption.data(), Length(caption), text.data(), Length(text), false);
  // The dialog gave the focus back where the browser last had it; the
  // logic goes on from its own focus.
  if (form_ != nullptr) {
    window_.RestoreFocus(*form_);
  }
  return kIdOk;
}

void TWebShell::SaveBeforeBox() const {
  // Only a window that has read the settings file may write it.
  if (form_ != nullptr) {
    SaveNVData();
  }
}
