#pragma once
// What the port reader's side reads of the published values: the sentence
// parser's environment and the current wind for the text log.

namespace gps {

// Installs both (start-up, before the port reader starts).
void InstallFixEnvironment();

}  // namespace gps
