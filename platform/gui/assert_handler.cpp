#include "platform/gui/assert_handler.h"

#include <wx/debug.h>

#include <cstdio>

namespace platform::gui {
namespace {

const char* g_program = "";

void LogAssertion(const wxString& file, int line, const wxString& function,
                  const wxString& condition, const wxString& message) {
    const std::string text = AssertionText(file, line, function, condition, message);
    std::fprintf(stderr, "%s: %s\n", g_program, text.c_str());
    std::fflush(stderr);
}

}  // namespace

void InstallAssertionLogger(const char* program) {
    g_program = program;
    wxSetAssertHandler(&LogAssertion);
}

}  // namespace platform::gui
