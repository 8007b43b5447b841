#include "services/message_services.h"

#include <atomic>
#include <cerrno>
#include <utility>

#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "services/string_resources.h"

namespace core {
namespace {

std::atomic<MessagePump> g_pump{nullptr};

}  // namespace

int ShowMessageFromIds(unsigned captionId, unsigned textId) {
    const std::wstring caption = LoadResourceString(captionId);
    const std::wstring text = LoadResourceString(textId);
    return platform::ShowMessageBox(
        nullptr, text, caption,
        platform::mb::kIconHand | platform::mb::kTaskModal | platform::mb::kTopmost);
}

int ShowLastErrorBox(std::wstring_view caption, std::wstring* text) {
    const int error = errno;
    std::wstring message = platform::SystemErrorText(error);
    if (text != nullptr) {
        *text = std::move(message);
    } else {
        platform::ShowMessageBox(nullptr, message, caption,
                                 platform::mb::kIconHand | platform::mb::kTopmost);
    }
    return error;
}

void InitDialogStub(void* /*dialog*/) {}

int CanCloseStub(void* /*frame*/) {
    return 1;
}

void SetMessagePump(MessagePump pump) {
    g_pump.store(pump);
}

int PumpMessagesUntilQuit(void* window) {
    const MessagePump pump = g_pump.load();
    return pump != nullptr ? pump(window) : 0;
}

}  // namespace core
