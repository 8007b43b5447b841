#include "recorder/igc_header_model.h"

#include <algorithm>
#include <optional>

#include "platform/settings_store.h"

namespace recorder {
namespace {

constexpr char kSection[] = "IGCHeaders";
constexpr std::size_t kPilotLength = 78;
constexpr std::size_t kTextLength = 30;

struct KindInfo {
    const char* valueName;  // the stored value
    const wchar_t* longName;
    const char* history;
};
constexpr std::array<KindInfo, 6> kKinds{{
    {"FTY", L"", "IGCHeaders\\GPSTypes"},
    {"PRS", L"PRESSALTSENSOR", "IGCHeaders\\PRSTypes"},
    {"CID", L"COMPETITION ID", "IGCHeaders\\CompIDs"},
    {"CCL", L"COMPETITION CLASS", "IGCHeaders\\CompClasses"},
    {"SIT", L"COMPETITION SITE", ""},
    {"SEC", L"OO SECURITY PHRASE", ""},
}};

std::string LongNameKey(std::size_t kind) {
    return std::string(kHeaderKindCodes[kind]) + "long";
}

}  // namespace

std::string_view KindHistorySection(HeaderKind kind) {
    return kKinds[static_cast<std::size_t>(kind)].history;
}

IgcHeaderModel IgcHeaderModel::Load(platform::SettingsStore& settings) {
    IgcHeaderModel model;
    model.datumIndex = static_cast<int>(settings.GetInt(kSection, "DTM", 0));
    if (model.datumIndex != 0) model.datumIndex = 0;  // one datum only
    model.fxa = static_cast<int>(settings.GetInt(kSection, "FXA", 10));
    model.pilot = settings.GetString(kSection, "PLT", std::wstring_view());
    model.gliderId = settings.GetString(kSection, "GID", std::wstring_view());
    model.gliderType = settings.GetString(kSection, "GTY", std::wstring_view());
    if (!settings.Get("IGCHeaders\\PRSTypes", "Entry0"))
        settings.WriteString("IGCHeaders\\PRSTypes", "Entry0", std::wstring_view(L"None"));
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        const bool sec = i == static_cast<std::size_t>(HeaderKind::kSec);
        const bool prs = i == static_cast<std::size_t>(HeaderKind::kPrs);
        model.kindValues[i] = sec ? std::wstring()
                                  : settings.GetString(kSection, kKinds[i].valueName,
                                                       std::wstring_view(prs ? L"None" : L""));
        settings.WriteString(kSection, LongNameKey(i), std::wstring_view(kKinds[i].longName));
    }
    return model;
}

IgcHeaderModel::Problem IgcHeaderModel::Check() const {
    if (fxa < kMinFxa || fxa > kMaxFxa) return Problem::kFxaRange;
    switch (CheckSecurityPhrase(phrase, confirmation)) {
        case PhraseCheck::kMismatch:
            return Problem::kPhraseMismatch;
        case PhraseCheck::kTooShort:
            return Problem::kPhraseTooShort;
        case PhraseCheck::kAccepted:
            break;
    }
    return Problem::kNone;
}

std::vector<std::wstring> IgcHeaderModel::Accept(platform::SettingsStore& settings,
                                                 int utcMilliseconds) const {
    settings.WriteInt(kSection, "DTM", static_cast<std::uint32_t>(datumIndex));
    settings.WriteInt(kSection, "DTMval", 100);
    settings.WriteString(kSection, "DTMstr", std::wstring_view(L"WGS-84"));
    settings.WriteInt(kSection, "FXA", static_cast<std::uint32_t>(fxa));
    settings.WriteString(kSection, "PLT", std::wstring_view(pilot));
    settings.WriteString(kSection, "GID", std::wstring_view(gliderId));
    settings.WriteString(kSection, "GTY", std::wstring_view(gliderType));

    g_igcHeaderTexts[kIgcPilot].Set(std::wstring_view(pilot).substr(0, kPilotLength));
    g_igcHeaderTexts[kIgcGliderId].Set(std::wstring_view(gliderId).substr(0, kTextLength));
    g_igcHeaderTexts[kIgcGliderType].Set(std::wstring_view(gliderType).substr(0, kTextLength));

    std::vector<std::wstring> lines;
    for (std::size_t i = 0; i < kKinds.size(); ++i) {
        const auto kind = static_cast<HeaderKind>(i);
        const std::wstring& value = kindValues[i];
        if (kind == HeaderKind::kSec) {
            lines.push_back(SecurityLine(phrase, utcMilliseconds));
            continue;
        }
        const std::wstring_view cut = std::wstring_view(value).substr(0, kTextLength);
        if (kind == HeaderKind::kCid) g_igcHeaderTexts[kIgcCompetitionId].Set(cut);
        if (kind == HeaderKind::kCcl) g_igcHeaderTexts[kIgcCompetitionClass].Set(cut);
        if (kind == HeaderKind::kGps) g_igcHeaderTexts[kIgcFlightType].Set(cut);
        if (!value.empty())
            settings.WriteString(kSection, kKinds[i].valueName, std::wstring_view(value));
        std::optional<std::wstring> longName;
        if (settings.Get(kSection, LongNameKey(i)))
            longName = settings.GetString(kSection, LongNameKey(i), std::wstring_view());
        lines.push_back(KindHeaderLine(kind, value, longName));
    }
    return lines;
}

}  // namespace recorder
