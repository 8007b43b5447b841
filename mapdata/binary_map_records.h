#pragma once
// The records of binary maps (".gpm"): little-endian words (32 bits), IEEE
// floats and doubles, the record of each element kind after its kind word,
// and the two string forms (element strings with a count capped at 511, and
// the text of a text element).
//
// Writers produce the current version (8) only. Readers take every version
// up to 8 and trust no count: a count that goes beyond the bytes left ends
// the record as cut, and nothing larger than the bytes left is allocated.
//
// Pure functions over memory; any thread, each with its own buffers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "mapdata/map_circle_element.h"
#include "mapdata/map_poly_element.h"
#include "mapdata/map_text_element.h"

namespace mapdata {

inline constexpr std::uint32_t kBinaryEndMarker = 0xFFFFFFFF;
// The most characters an element string or a text keeps.
inline constexpr std::size_t kBinaryStringLimit = 511;

class BinaryWriter {
  public:
    void Word(std::uint32_t value);
    void Int(std::int32_t value) { Word(static_cast<std::uint32_t>(value)); }
    void Float(float value);
    void Double(double value);
    void Bytes(std::span<const unsigned char> bytes);
    void Zeros(std::size_t count) { bytes_.append(count, '\0'); }
    // A word count (at most 511) and the text's UTF-16 units.
    void Utf16String(std::wstring_view text);

    const std::string& Data() const { return bytes_; }
    void Clear() { bytes_.clear(); }

  private:
    std::string bytes_;
};

class BinaryReader {
  public:
    explicit BinaryReader(std::span<const unsigned char> bytes) : bytes_(bytes) {}

    // False (nothing taken) when fewer bytes are left than the value needs.
    bool Word(std::uint32_t& out);
    bool Int(std::int32_t& out);
    bool Float(float& out);
    bool Double(double& out);
    bool Byte(unsigned char& out);
    // count characters: UTF-16 units when wide, else Windows-1252 bytes;
    // more than 511 are read and cut to 511. False when the bytes left are
    // too few.
    bool Characters(std::size_t count, bool wide, std::wstring& out);

    std::size_t Offset() const { return pos_; }
    std::size_t Left() const { return bytes_.size() - pos_; }
    bool Skip(std::size_t count);

  private:
    std::span<const unsigned char> bytes_;
    std::size_t pos_ = 0;
};

// The kind-specific records, after the kind word, with the type-27 list
// mark given. Flags are stored masked: run-time alarm state never, and a
// zone's "not tested" bit only on a source zone with an enlarged copy.
void WriteTextRecord(BinaryWriter& out, const CMapTextElement& element, std::uint32_t mark = 0);
void WriteCircleRecord(BinaryWriter& out, const CMapCircleElement& element, std::uint32_t mark);
void WritePolyRecord(BinaryWriter& out, const CMapPolyElement& element, std::uint32_t mark);
// The kind word and the record.
void WriteElementRecord(BinaryWriter& out, const CMapElement& element, std::uint32_t mark);

// A read record: the element, or nothing when the record was cut short (the
// bytes end inside it or a count goes beyond them).
std::unique_ptr<CMapTextElement> ReadTextRecord(BinaryReader& in, int version);
std::unique_ptr<CMapCircleElement> ReadCircleRecord(BinaryReader& in, int version);
std::unique_ptr<CMapPolyElement> ReadPolyRecord(BinaryReader& in, int version);

// The signature line of a version: ';', 0xFB, 0xFB + version / 5,
// 0xFB + version % 5, "KOR_VAN WinCE binary map", CR LF.
std::string BinarySignatureLine(int version);

}  // namespace mapdata
