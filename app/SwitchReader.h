// SPDX-License-Identifier: MIT
#pragma once
// Finds the value of a single-letter switch ("/l:e", "-L:\"d\"") in the
// command-line text.

#include <string>

// Value of the first switch "/x:" or "-x:" for letter x (either case), blanks
// and quotes taken off; empty when there is none or it is 280 characters or
// longer. With letter 0: the text in front of the first switch.
std::string GetSwitchValue(const char* text, char letter);

// Lets a language switch ("/l:d" German, any other value English) on the
// CommandLine override the stored Language; no switch or an empty value
// leaves it alone.
void ApplyLanguageSwitch();
