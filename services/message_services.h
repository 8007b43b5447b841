#pragma once
// Message and error boxes, the dialog and close hooks, and the message pump.
//
// Boxes go through platform::ShowMessageBox, so they reach the UI thread
// from any thread and tests can record them.

#include <string>
#include <string_view>

namespace core {

// A box with the caption and text of string resources captionId and textId:
// error icon, task-modal, topmost, no owner. Returns the box's answer.
int ShowMessageFromIds(unsigned captionId, unsigned textId);

// Takes errno and its system text ("unknown error %d" when the system has
// none). With text null, shows the text in a box (error icon, topmost, no
// owner; an empty caption means the application name); otherwise hands the
// text over in *text and shows nothing. Returns the error number.
int ShowLastErrorBox(std::wstring_view caption, std::wstring* text = nullptr);

// Called first by dialogs when they initialise; nothing to do here.
void InitDialogStub(void* dialog);
// Asked by the main frame before it closes; always agrees (returns 1).
int CanCloseStub(void* frame);

// Dispatches the window messages waiting for window (all windows when null)
// until none is left; returns 0, or -1 when the program has been asked to
// quit. The GUI installs the real pump; without one this does nothing and
// returns 0.
using MessagePump = int (*)(void* window);
void SetMessagePump(MessagePump pump);
int PumpMessagesUntilQuit(void* window = nullptr);

}  // namespace core
