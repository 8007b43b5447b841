#pragma once
// Reads the fields of a sentence the way the C runtime's scanf reads them
// with the formats the sentences were laid out for. Each call is one
// conversion of such a format ("%2d" is Int(v, 2), "%*c" is Skip(), "\t" is
// Blanks()), so a chain of calls reads as the format it stands for:
//
//     NmeaScanner(text).Float(altitude).Skip().Char(unit).Count()
//
// As with scanf, the first conversion that fails ends the scan: it and
// every later call store nothing, and Count() is the number of values stored
// before it. Numbers skip blanks before them; a character conversion takes
// the next byte whatever it is (a ',' from an empty field too) and fails
// only at the end of the text. Real numbers follow ScanWireNumber: an
// absurd one is an unreadable field.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/numbers.h"

namespace gps {

class NmeaScanner {
  public:
    explicit NmeaScanner(std::string_view text) : text_(text) {}

    NmeaScanner& Int(std::int32_t& value, std::size_t width = platform::kNoWidth);  // "%d"
    NmeaScanner& Float(float& value);                                               // "%f"
    NmeaScanner& Double(double& value, std::size_t width = platform::kNoWidth);     // "%lf"
    NmeaScanner& Hex16(std::int16_t& value);  // "%hx", the 16 bits taken as signed
    NmeaScanner& Char(char& value);           // "%c"
    NmeaScanner& Skip();                      // "%*c"
    NmeaScanner& SkipInt();                   // "%*d"
    NmeaScanner& SkipFloat();                 // "%*f"
    NmeaScanner& SkipHex();                   // "%*x"
    NmeaScanner& Blanks();                    // a white-space directive

    // Refuses the last `count` values when `absurd` holds: the scan ends as
    // if it had stopped at the first of them. For fields that read as numbers
    // but mean nothing together (a latitude beyond the pole).
    NmeaScanner& Refuse(bool absurd, int count);

    int Count() const { return count_; }

  private:
    std::string_view Rest() const { return text_.substr(pos_); }
    // Moves on by `length` characters and counts a stored value; or fails.
    template <typename Scanned>
    bool Take(const Scanned& scanned, bool store);

    std::string_view text_;
    std::size_t pos_ = 0;
    int count_ = 0;
    bool failed_ = false;
};

}  // namespace gps
