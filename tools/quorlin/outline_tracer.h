#pragma once
// The outline tracer, called in process as a command-line program would be:
// it reads an 8-bit palette bitmap, finds the pixel outlines of its colour
// regions and writes them as a ".plt" file (through a temporary file, so a
// failed trace leaves the old file as it was). It never ends the process:
// every failure comes back as its message. UI thread or any other; it
// touches no window.

#include <string>
#include <vector>

namespace quorlin {

// The arguments as a program receives them: element 0 the program name,
// element 1 an option word (not examined), element 2 the output ".plt"
// name (standard output when empty), element 3 the input bitmap name.
// The message of the first failure, or empty on success:
// - "Input and output file may not be the same" (names equal ignoring case);
// - "Not a valid inputname %s" (a name with an extension and nothing
//   before it, or no input name);
// - "%s: " and the system's error text when the output cannot be written;
// - "Could not read bitmap %s" for a file that is no readable bitmap, and
//   "Not an 8-bit palette bitmap %s" for other depths.
std::string TraceMain(const std::vector<std::string>& arguments);

}  // namespace quorlin
