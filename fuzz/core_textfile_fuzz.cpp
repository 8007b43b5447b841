// Reads arbitrary bytes as a text file through every read path, checks that
// positions stay exact and that nothing is lost, then writes the text back in
// each Unicode encoding and reads it again.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/text_file.h"
#include "fuzz/fuzz_support.h"

namespace {

using core::TextEncoding;
using core::TextFile;

using fuzz::Check;
using fuzz::MemoryFile;

std::size_t Units(std::wstring_view text) {
    std::size_t units = 0;
    for (const wchar_t c : text)
        units += c > 0xFFFF ? 2 : 1;
    return units;
}

void Rewind(TextFile& file) {
    Check(file.SetPosition(file.DataStart()));
    file.ClearEndOfFile();
}

// Every line with options 0, joined: the whole text. Checks the pieces'
// limits and that the position only grows.
std::wstring ReadWhole(TextFile& file, std::uint64_t size) {
    const std::size_t limit = file.GetEncoding() == TextEncoding::kAnsi ? TextFile::kAnsiPieceLimit
                                                                        : TextFile::kPieceLimit;
    std::wstring text;
    std::uint64_t position = file.GetPosition();
    while (const auto line = file.ReadLine(L'\n', 0)) {
        Check(!line->empty() && Units(*line) <= limit);
        Check(file.GetPosition() > position && file.GetPosition() <= size);
        position = file.GetPosition();
        text += *line;
    }
    Check(file.EndOfFile());
    return text;
}

void ReadShaped(TextFile& file, int options) {
    Rewind(file);
    while (const auto line = file.ReadLine(L'\n', options)) {
        Check(line->data()[line->size()] == 0);
    }
    Rewind(file);
    while (const auto line = file.ReadNextDataLine(L'\n', L';', options)) {
        Check(file.LineStart() < file.GetPosition());
        if ((options & TextFile::kSkipLeadingSpace) != 0) Check(!line->empty());
    }
}

// Characters one by one give the same text (up to a zero character, which
// reads as the end).
void ReadCharacters(TextFile& file, std::wstring_view whole) {
    Rewind(file);
    std::wstring text;
    while (const wchar_t c = file.ReadCharacter())
        text += c;
    Check(text == whole.substr(0, whole.find(L'\0')));
}

void RoundTrip(std::wstring_view whole, TextEncoding encoding) {
    MemoryFile memory;
    TextFile file;
    Check(file.Attach(memory.fd()));
    file.SetEncoding(encoding);
    Check(file.WriteByteOrderMark());
    Check(file.WriteLine(whole));
    const std::uint64_t size = file.GetPosition();
    file.Detach();

    Check(file.Attach(memory.fd()));
    Check(file.GetEncoding() == encoding);
    Rewind(file);
    Check(ReadWhole(file, size) == whole);
    file.Detach();
}

// Commenting a data line out keeps the file's length.
void CommentOut(TextFile& file, std::uint64_t size) {
    Rewind(file);
    if (!file.ReadNextDataLine(L'\n', L';', 7)) return;
    const std::uint64_t start = file.LineStart();
    Check(file.PutCharAt(start, ';'));
    Check(file.GetLength() == size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFile memory(data, size);
    TextFile file;
    Check(file.Attach(memory.fd()));
    Rewind(file);
    const std::wstring whole = ReadWhole(file, size);
    for (const int options : {1, 3, 7})
        ReadShaped(file, options);
    ReadCharacters(file, whole);
    CommentOut(file, size);
    file.Detach();

    for (const auto encoding :
         {TextEncoding::kUtf8Bom, TextEncoding::kUtf16Le, TextEncoding::kUtf16Be}) {
        RoundTrip(whole, encoding);
    }
    return 0;
}
