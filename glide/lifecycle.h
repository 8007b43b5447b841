#pragma once
// What start-up and shut-down call in the glide computer besides the
// settings loader.

#include "platform/window_messages.h"

namespace glide {

// Start-up, before any window or thread: every display text gets its
// default, and the modem-line event labels are read.
void InitDisplayTexts();

// The wind estimator tells `window` of new estimates; the frame sets it
// when it creates its panes, then has the estimator's settings loaded.
void SetWindEstimatorWindow(platform::WindowId window);
void LoadWindEstimatorSettings();
// The frame's close stops and joins the running fits, then stores the
// estimator's settings.
void SaveWindEstimatorSettings();

// Exit: empties the wind history.
void FreeWindResults();

}  // namespace glide
