#pragma once
// Texts from the string table, looked up by id.
//
// The string table lives in the resource bundle, which the start-up code
// loads; the code only needs "the text for id N". Start-up installs a
// provider that asks the bundle; until then (and in tests that install
// nothing) every id gives an empty text.

#include <string>

namespace core {

using StringProvider = std::wstring (*)(unsigned id);

// Installs the provider every later lookup goes to; null restores the
// default (empty texts). Safe to call from any thread.
void SetStringProvider(StringProvider provider);

// The text of string resource `id`, or an empty string when there is none.
std::wstring LoadResourceString(unsigned id);

}  // namespace core
