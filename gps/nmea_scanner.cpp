#include "gps/nmea_scanner.h"

namespace gps {

NmeaScanner& NmeaScanner::Int(std::int32_t& value, std::size_t width) {
    if (failed_) return *this;
    switch (PlainInt(value, width)) {
        case Plain::kRead:
            ++count_;
            return *this;
        case Plain::kNone:
            failed_ = true;
            return *this;
        case Plain::kOther:
            break;
    }
    const auto scanned = platform::ScanInt(Rest(), width);
    if (Take(scanned, true)) value = scanned->value;
    return *this;
}

NmeaScanner& NmeaScanner::Hex16(std::int16_t& value) {
    if (failed_) return *this;
    const auto scanned = platform::ScanHex(Rest());
    if (Take(scanned, true)) {
        value = static_cast<std::int16_t>(static_cast<std::uint16_t>(scanned->value & 0xFFFF));
    }
    return *this;
}

NmeaScanner& NmeaScanner::SkipInt() {
    if (!failed_) Take(platform::ScanInt(Rest()), false);
    return *this;
}

NmeaScanner& NmeaScanner::SkipFloat() {
    if (!failed_) Take(ScanWireNumber(Rest()), false);
    return *this;
}

NmeaScanner& NmeaScanner::SkipHex() {
    if (!failed_) Take(platform::ScanHex(Rest()), false);
    return *this;
}

NmeaScanner& NmeaScanner::Blanks() {
    if (failed_) return *this;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c != ' ' && (c < '\t' || c > '\r')) break;
        ++pos_;
    }
    return *this;
}

NmeaScanner& NmeaScanner::Refuse(bool absurd, int count) {
    if (failed_ || !absurd) return *this;
    count_ = count_ > count ? count_ - count : 0;
    failed_ = true;
    return *this;
}

}  // namespace gps
