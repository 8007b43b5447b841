#include "texts/team_code_line.h"

#include <memory>
#include <mutex>

#include "texts/display_texts.h"

namespace glide {
namespace {

std::mutex g_encoderMutex;
std::shared_ptr<const OwnTeamCodeEncoder> g_encoder;

}  // namespace

void SetOwnTeamCodeEncoder(OwnTeamCodeEncoder encoder) {
    auto installed = encoder ? std::make_shared<const OwnTeamCodeEncoder>(std::move(encoder))
                             : nullptr;
    const std::lock_guard lock(g_encoderMutex);
    g_encoder = std::move(installed);
}

void UpdateOwnTeamCodeText(double lonWest, double latitude) {
    std::shared_ptr<const OwnTeamCodeEncoder> encoder;
    {
        const std::lock_guard lock(g_encoderMutex);
        encoder = g_encoder;
    }
    if (!encoder) return;
    if (const std::optional<std::wstring> code = (*encoder)(lonWest, latitude))
        OwnTeamCodeText.Set(*code);
}

}  // namespace glide
