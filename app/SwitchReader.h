#pragma once
// Finds the value of a single-letter switch ("/l:e", "-L:\"d\"") in the
// command-line text.

#include <string>

// Value of the first switch "/x:" or "-x:" for letter x (either case), blanks
// and quotes taken off; empty when there is none or it is 280 characters or
// longer. With letter 0: the text in front of the first switch.
std::string GetSwitchValue(const char* text, char letter);
