#pragma once
// Folding of text into the characters an IGC flight-log file may carry:
// printable ASCII without the characters the format reserves.

#include <string>

namespace core {

// One character as the byte an IGC file carries:
// - 0 stays 0; full-width forms U+FF01..U+FF5E count as their ASCII letters;
// - accented Latin-1 and Latin Extended-A letters become their base letters;
// - anything else from U+0200 up becomes '?';
// - otherwise the low byte is taken. Then, unless mode is negative: CR and LF
//   become blanks (mode 0) or stay (mode above 0); the reserved characters
//   ! $ * , \ ^ ~ become blanks; other bytes below 32 or from 126 up become
//   '?'. A negative mode returns the byte unfiltered.
char ToIgcChar(wchar_t c, int mode);

// Applies ToIgcChar in mode 1 to every character of text, in place; each
// character then holds a byte value (0..255).
void MakeIgcText(std::wstring& text);

}  // namespace core
