#pragma once
// The system's text for an error number (errno), in the user's language where
// the system has one; "unknown error %d" when it has none.

#include <string>

namespace platform {

std::wstring SystemErrorText(int error);

}  // namespace platform
