#include "recorder/igc_header.h"

namespace recorder {

// The IGC header support fills this in; until then every logger is "000".
std::wstring MakeLoggerIdFromOwner() {
    return L"000";
}

}  // namespace recorder
