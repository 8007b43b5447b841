#pragma once
// What becomes of the toolkit's debug assertions. Left to itself the
// toolkit stops the program in a modal box (Stop / Continue) that a pilot
// in flight can neither read nor answer safely, and Stop ends the program
// with the flight log unclosed. The programs install a handler that writes
// the assertion to the error output and goes on; the GUI tests install one
// that fails the running test with the same text.

#include <wx/string.h>

#include <string>

namespace platform::gui {

// One line: where the assertion failed, its condition and its message.
inline std::string AssertionText(const wxString& file, int line, const wxString& function,
                                 const wxString& condition, const wxString& message) {
    std::string text = "wx assertion failed: " + std::string(file.utf8_str()) + ":" +
                       std::to_string(line) + " in " + std::string(function.utf8_str()) + "(): " +
                       std::string(condition.utf8_str());
    if (!message.empty()) text += ": " + std::string(message.utf8_str());
    return text;
}

// Installs the handler that writes each assertion, prefixed with the
// program's name, to the error output and lets the program go on.
void InstallAssertionLogger(const char* program);

}  // namespace platform::gui
