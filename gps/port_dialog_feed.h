#pragma once
// The GPS port dialog shows the sentence arriving on the port while it is
// open: the reader feeds it every byte received and posts
// WM_APP_SERIALDATA when a line has ended; the dialog then reads the text.
// The text restarts at each '$' and is capped: a stream without '$' keeps
// only its newest bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace gps {

inline constexpr std::size_t kDialogTextLimit = 1024;

// Called by the dialog as it opens and as it closes.
void SetGpsPortDialogOpen(bool open);
bool GpsPortDialogOpen();

// The text of the current sentence (without its '$' and line end).
std::string GpsPortDialogText();

// The reader's part: feeds received bytes to the dialog's text when the
// dialog is open. True when they held a line end (CR or LF), so the dialog
// is to be told.
bool FeedGpsPortDialog(std::span<const std::uint8_t> bytes);

}  // namespace gps
