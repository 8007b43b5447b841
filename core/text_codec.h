#pragma once
// Character codecs for text files: Windows-1252 (the "ANSI" code page of the
// files this program exchanges), UTF-8 decoding of a byte stream, and the
// white-space test used when lines are trimmed. Whole texts convert to and
// from UTF-8 with platform/utf.h.
//
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in Windows-1252;
// they decode to the C1 controls of the same value (as the old system's
// converter did) and encode back to themselves, so such bytes round-trip.

#include <cstddef>

namespace core {

static_assert(sizeof(wchar_t) == 4, "texts hold whole code points");

// The character of one Windows-1252 byte.
wchar_t DecodeCp1252(unsigned char byte);

// The Windows-1252 byte of a character, or '?' when the code page lacks it.
unsigned char EncodeCp1252(wchar_t c);

// The well-formed UTF-8 sequence at `p` (at most `size` bytes): its length
// (1 to 4) with the code point in `out`; 0 when the bytes end inside a
// sequence that is well formed so far; -1 when the bytes are ill formed
// (overlong forms, encoded surrogates and values above U+10FFFF included).
int DecodeUtf8(const unsigned char* p, std::size_t size, char32_t& out);

struct Utf8Check {
    std::size_t complete;  // leading bytes that form whole well-formed sequences
    bool valid;            // false when an ill-formed sequence stopped the scan
};
// Scans a chunk of a stream. A sequence cut by the chunk's end leaves
// `valid` set with `complete` at the sequence's start.
Utf8Check CheckUtf8(const unsigned char* p, std::size_t size);

// White space as the line trimming of text files sees it: the Unicode white
// space characters except the no-break spaces, whatever the locale.
bool IsWideSpace(wchar_t c);

}  // namespace core
