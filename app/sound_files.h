#pragma once
// The built-in sound files and the folders derived from where they are.

namespace app {

// Looks up each built-in sound file (ResolveDataFilePath) and sets its path
// (empty when it is found nowhere), then the sound folder (that of
// "korvn!lt.wav") and the FLARM sound folder (that of "fl00#!b.wav").
void ResolveSoundFiles();

}  // namespace app
