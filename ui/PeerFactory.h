// SPDX-License-Identifier: MIT
#pragma once
// What each toolkit implements to give the controls their widgets. The form
// asks for one peer per control of the window definition, in the table's
// order, so a parent's peer always exists before its children's.

#include <memory>

#include "ui/Controls.h"
#include "ui/WindowDef.h"

class TPeerFactory {
 public:
  virtual ~TPeerFactory() = default;
  virtual std::unique_ptr<TFormPeer> MakeForm(const TFormDef& def) = 0;
  virtual std::unique_ptr<TPageControlPeer> MakePageControl(const TControlDef& def,
                                                            TPeer& parent) = 0;
  virtual std::unique_ptr<TTabSheetPeer> MakeTabSheet(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TLabelPeer> MakeLabel(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TEditPeer> MakeEdit(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TPanelPeer> MakePanel(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TImagePeer> MakeImage(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TCheckBoxPeer> MakeCheckBox(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TComboBoxPeer> MakeComboBox(const TControlDef& def, TPeer& parent) = 0;
  virtual std::unique_ptr<TGroupBoxPeer> MakeGroupBox(const TControlDef& def, TPeer& parent) = 0;
};
