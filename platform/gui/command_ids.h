#pragma once
// Command ids as wx sees them.
//
// The program's commands keep their numbers (WM_COMMAND wParams, the XRC
// names of menu items and tools: "32775"), which run from 0x8000 up. wx
// takes menu ids only below 0x7FFF, so on the wx side those commands are
// moved down by 0x7000: command 32775 (0x8007) is wx id 0x1007. Ids below
// 0x8000 (dialog controls, small commands such as 229) are the same on both
// sides. The installed resource bundle registers the moved ids for its XRC
// names, so XRCID("32775") == WxIdFromCommand(32775).

namespace platform::gui {

inline constexpr int kFirstMovedCommand = 0x8000;
inline constexpr int kLastMovedCommand = 0xEFFE;
inline constexpr int kCommandShift = 0x7000;

// The wx id of a command.
constexpr int WxIdFromCommand(int command) {
    return command >= kFirstMovedCommand && command <= kLastMovedCommand ? command - kCommandShift
                                                                         : command;
}

// The command of a menu or tool event's wx id.
constexpr int CommandFromWxId(int id) {
    return id >= kFirstMovedCommand - kCommandShift && id <= kLastMovedCommand - kCommandShift
               ? id + kCommandShift
               : id;
}

static_assert(WxIdFromCommand(32775) == 0x1007 && CommandFromWxId(0x1007) == 32775);
static_assert(WxIdFromCommand(229) == 229 && CommandFromWxId(229) == 229);
static_assert(WxIdFromCommand(kLastMovedCommand) < 0x7FFF);

}  // namespace platform::gui
