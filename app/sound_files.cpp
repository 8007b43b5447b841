#include "app/sound_files.h"

#include <array>
#include <string_view>

#include "app/data_file_path.h"
#include "app/settings_rules.h"
#include "core/settings_values.h"

namespace app {

void ResolveSoundFiles() {
    struct Sound {
        std::wstring_view name;
        core::SharedText& path;
    };
    const std::array<Sound, 7> sounds{{
        {L"korvn!at.wav", core::g_soundPathAt},
        {L"korvn!to.wav", core::g_soundPathTo},
        {L"korvn!lt.wav", core::g_soundPathLt},
        {L"korvn!sl.wav", core::g_soundPathSl},
        {L"korvn!fs.wav", core::g_soundPathFs},
        {L"fl00#!b.wav", core::g_soundPathFlarm},
        {L"korvn!gw.wav", core::g_soundPathGw},
    }};
    for (const Sound& sound : sounds) {
        sound.path.Set(ResolveDataFilePath(sound.name).value_or(std::wstring{}));
    }
    core::g_soundFolder.Set(FolderOf(core::g_soundPathLt.Get()));
    core::g_flarmSoundFolder.Set(FolderOf(core::g_soundPathFlarm.Get()));
}

}  // namespace app
