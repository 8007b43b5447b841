#include "texts/display_texts.h"

namespace glide {

std::span<DisplayText* const> AllDisplayTexts() {
    static constexpr std::array kTexts{
        &FlightTimeText,      &WindText,           &MacCreadyText,         &VarioText,
        &TaskStatText[0],     &TaskStatText[1],    &TaskStatText[2],       &TaskStatText[3],
        &ArrivedPrefixText,   &ToPrefixText,       &DestinationPrefixText, &GlideRatioText,
        &DestinationNameText, &OlcDistanceText,    &RequiredGlideText,     &AltitudeThousandsText,
        &DestinationLineText, &BlankText,          &DriftText,             &TrackText,
        &SpeedToFlyValueText, &GroundStfText,      &AirMassStfText,        &GlidePrefixText,
        &ThermalClimbText,    &AirspeedText,       &GroundSpeedText,       &FlightLevelText,
        &TaskDistanceText,    &LegText,            &TaskText,              &TimeText,
        &LatitudeText,        &LongitudeText,      &InstrumentText,        &TemperatureText,
        &GpsPortNameText,     &BearingText,        &GroundClearanceText,   &OwnTeamCodeText,
        &DestinationDistanceText,
    };
    return kTexts;
}

void ResetDisplayTexts() {
    const platform::CriticalSectionLock lock(DisplayTextLock);
    for (DisplayText* text : AllDisplayTexts())
        text->Reset();
}

void SetDestinationSeparator(wchar_t separator) {
    DestinationPrefixText.Overwrite(2, std::wstring_view(&separator, 1), 1);
}

void SetOlcDistanceText(std::wstring_view text) {
    OlcDistanceText.Set(text);
}

void SetLatitudeText(std::wstring_view text) {
    LatitudeText.Set(text);
}

void SetLongitudeText(std::wstring_view text) {
    LongitudeText.Set(text);
}

}  // namespace glide
