// SPDX-License-Identifier: MIT
#pragma once
// What the Qt widgets add for assistive technology (AT-SPI on Linux) to the
// names and descriptions the window logic gives every control: each edit
// box's label is its buddy, from which AT-SPI tells the "labelled by"
// relation. (An editable combo box is named over AT-SPI by that relation
// alone, which Qt draws from the group box around it.)

class TQtToolkit;

// Makes each edit box's label its buddy. Run once the main window's widgets
// exist.
void RelateLabelsToTheirBoxes(TQtToolkit& window);
