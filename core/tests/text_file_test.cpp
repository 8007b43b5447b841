#include "core/text_file.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/text_codec.h"
#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "platform/utf.h"
#include "testing/scratch_folder.h"

namespace core {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::wstring>;
using DataLines = std::vector<std::pair<std::wstring, std::uint64_t>>;  // text, line start

// One text in every encoding: non-ASCII letters, a character above U+FFFF
// (not in the ANSI form), a blank and a comment line, CR LF and LF endings,
// and a last line without a line end.
#define TEXT_HEAD "Z\u00FCrich,47.5\r\n\r\n; comment \u00F6\n  \u00C6r\u00F8sk\u00F8bing,55.0\n"
#define TEXT_CLEF "H\u00F4tel \U0001D11E clef\r\n"
#define TEXT_TAIL "\u20AC price,1\r\nlast line \u00DF"

constexpr char kAnsiText[] =
    "Z\xFCrich,47.5\r\n\r\n; comment \xF6\n  \xC6r\xF8sk\xF8"
    "bing,55.0\n\x80 price,1\r\nlast line \xDF";

std::string Utf16Bytes(std::u16string_view text, bool bigEndian, bool mark) {
    std::string out;
    if (mark) out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

std::string Utf8Bytes(std::u8string_view text) {
    return {text.begin(), text.end()};
}

// The text cut after each line feed, as ReadLine hands it out.
Lines SplitLines(std::wstring_view text) {
    Lines lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(L'\n'), text.size() - 1) + 1;
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return lines;
}

Lines ReadLines(TextFile& file, int options = 0) {
    Lines lines;
    while (const auto line = file.ReadLine(L'\n', options))
        lines.emplace_back(*line);
    return lines;
}

DataLines ReadDataLines(TextFile& file, int options = 7) {
    DataLines lines;
    while (const auto line = file.ReadNextDataLine(L'\n', L';', options)) {
        lines.emplace_back(*line, file.LineStart());
    }
    return lines;
}

Lines TextsOf(const DataLines& lines) {
    Lines texts;
    for (const auto& line : lines)
        texts.push_back(line.first);
    return texts;
}

class TextFileTest : public ::testing::Test {
  protected:
    std::wstring PathOf(const std::string& name) const {
        return platform::FromUtf8((dir_ / name).string());
    }

    std::wstring Put(std::string_view bytes, const std::string& name = "f.txt") const {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return PathOf(name);
    }

    std::string Get(const std::string& name = "f.txt") const {
        std::ifstream in(dir_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::size_t FileCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    const test_support::ScratchFolder scratch_{"kv_text_file"};
    const fs::path& dir_ = scratch_.Path();
};

// ---- Reading the same text in every encoding ----

struct Variant {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::uint64_t dataStart;
    bool hasClef;  // the form can hold the character above U+FFFF
};

std::vector<Variant> Variants() {
    const std::u16string utf16 = u"" TEXT_HEAD TEXT_CLEF TEXT_TAIL;
    const std::string utf8 = Utf8Bytes(u8"" TEXT_HEAD TEXT_CLEF TEXT_TAIL);
    return {
        {"ansi", kAnsiText, TextEncoding::kAnsi, 0, false},
        {"ansi marker", std::string(";ASC\r\n") + kAnsiText, TextEncoding::kAnsi, 6, false},
        {"utf8", utf8, TextEncoding::kUtf8, 0, true},
        {"utf8 mark", "\xEF\xBB\xBF" + utf8, TextEncoding::kUtf8Bom, 3, true},
        {"utf16le mark", Utf16Bytes(utf16, false, true), TextEncoding::kUtf16Le, 2, true},
        {"utf16le", Utf16Bytes(utf16, false, false), TextEncoding::kUtf16Le, 0, true},
        {"utf16be mark", Utf16Bytes(utf16, true, true), TextEncoding::kUtf16Be, 2, true},
        {"utf16be", Utf16Bytes(utf16, true, false), TextEncoding::kUtf16Be, 0, true},
    };
}

TEST_F(TextFileTest, EveryEncodingGivesTheSameLines) {
    for (const Variant& variant : Variants()) {
        SCOPED_TRACE(variant.name);
        const std::wstring text = variant.hasClef ? std::wstring(L"" TEXT_HEAD TEXT_CLEF TEXT_TAIL)
                                                  : std::wstring(L"" TEXT_HEAD TEXT_TAIL);
        Lines data = {L"Z\u00FCrich,47.5", L"\u00C6r\u00F8sk\u00F8bing,55.0", L"\u20AC price,1",
                      L"last line \u00DF"};
        if (variant.hasClef) data.insert(data.begin() + 2, L"H\u00F4tel \U0001D11E clef");
        const std::wstring path = Put(variant.bytes);

        TextFile file;
        ASSERT_TRUE(file.Open(path, OpenMode::kReadWrite));
        EXPECT_EQ(file.GetEncoding(), variant.encoding);
        EXPECT_EQ(file.DataStart(), variant.dataStart);
        EXPECT_EQ(file.GetPosition(), variant.dataStart);
        EXPECT_EQ(ReadLines(file), SplitLines(text));
        EXPECT_EQ(file.GetPosition(), variant.bytes.size());
        EXPECT_TRUE(file.EndOfFile());

        // Data lines, and their starts exact enough to comment one out in
        // place: the euro sign is one byte in ANSI, three in UTF-8, one unit
        // in UTF-16.
        ASSERT_TRUE(file.SetPosition(file.DataStart()));
        file.ClearEndOfFile();
        const DataLines lines = ReadDataLines(file);
        ASSERT_EQ(TextsOf(lines), data);
        const std::uint64_t euroLine = lines[lines.size() - 2].second;
        EXPECT_TRUE(file.PutCharAt(euroLine, ';'));
        file.Close();

        EXPECT_EQ(Get().size(), variant.bytes.size());
        ASSERT_TRUE(file.Open(path, OpenMode::kRead));
        data.erase(data.end() - 2);
        EXPECT_EQ(TextsOf(ReadDataLines(file)), data);
    }
}

TEST_F(TextFileTest, DetectsEncodingAndDataStart) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::uint64_t dataStart;
        std::optional<std::wstring> firstLine;  // read with options 1 and 2
    };
    using E = TextEncoding;
    const Case cases[] = {
        {";ASC\r\nX\r\n", E::kAnsi, 6, L"X"},
        {";ASC\nX", E::kAnsi, 5, L"X"},
        {";ASC", E::kAnsi, 4, std::nullopt},
        // Only a marker alone on its line counts: this first line is a comment.
        {";ASCII export\r\nX", E::kUtf8, 0, L";ASCII export"},
        {"\xEF\xBB\xBFX\r\n", E::kUtf8Bom, 3, L"X"},
        {std::string("A\0B\0", 4), E::kUtf16Le, 0, L"AB"},
        {std::string("\xFF\xFE"
                     "A\0",
                     4),
         E::kUtf16Le, 2, L"A"},
        {std::string("\xFE\xFF\0A", 4), E::kUtf16Be, 2, L"A"},
        {std::string("\0A\0B", 4), E::kUtf16Be, 0, L"AB"},
        {"", E::kUtf8, 0, std::nullopt},
        {"x", E::kUtf8, 0, L"x"},
        {"caf\xC3\xA9", E::kUtf8, 0, L"caf\u00E9"},
        // Not UTF-8: the bytes are Windows-1252, including 0x80..0x9F and an
        // unassigned byte (kept as its own value).
        {"\xE9", E::kAnsi, 0, L"\u00E9"},
        {"caf\xC3", E::kAnsi, 0, L"caf\u00C3"},
        {"\x80\x81\x8A\x9F\xC0\x80", E::kAnsi, 0, L"\u20AC\u0081\u0160\u0178\u00C0\u20AC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        TextFile file;
        ASSERT_TRUE(file.Open(Put(c.bytes), OpenMode::kRead));
        EXPECT_EQ(file.GetEncoding(), c.encoding);
        EXPECT_EQ(file.DataStart(), c.dataStart);
        const auto line = file.ReadLine(L'\n', 3);
        EXPECT_EQ(line ? std::optional<std::wstring>(*line) : std::nullopt, c.firstLine);
    }
}

TEST_F(TextFileTest, DataLinesSkipBlankAndCommentLines) {
    const std::string head =
        "  ; a note\r\n"
        "\xEF\xBC\x9B full-width semicolon\r\n"  // U+FF1B
        "\r\n"
        "   \t\r\n"
        "  DATA 1 \r\n";
    for (const std::string last : {"; last comment", "; last comment\r\n", "\r\n  \r\n"}) {
        SCOPED_TRACE(last);
        TextFile file;
        ASSERT_TRUE(file.Open(Put(head + last), OpenMode::kRead));
        EXPECT_EQ(ReadDataLines(file), (DataLines{{L"DATA 1", head.size() - 11}}));
        EXPECT_TRUE(file.EndOfFile());
        EXPECT_FALSE(file.ReadNextDataLine(L'\n', L';', 7));
    }

    // The options shape the line: none keeps it whole, 1 drops the line feed only.
    TextFile file;
    ASSERT_TRUE(file.Open(Put("; c\n  X \r\n  Y \r\n"), OpenMode::kRead));
    EXPECT_EQ(file.ReadNextDataLine(L'\n', L';', 0), L"  X \r\n");
    EXPECT_EQ(file.ReadNextDataLine(L'\n', L';', 1), L"  Y \r");
}

TEST_F(TextFileTest, LongLinesComeInPieces) {
    const std::string eAcute = "\xC3\xA9";
    std::string utf8Line;
    for (int i = 0; i < 1500; ++i)
        utf8Line += eAcute;  // 3000 bytes
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::size_t> pieces;  // characters per piece, the line end included
    };
    const Case cases[] = {
        {"utf8", utf8Line + "\r\nX", {1022, 480, 1}},
        {"ansi", std::string(5000, '\xE9') + "\n", {4090, 911}},
        {"utf16", Utf16Bytes(std::u16string(2000, u'a') + u"\n", false, true), {1022, 979}},
        // A pair that would pass the limit starts the next piece.
        {"pair", std::string(1021, 'a') + "\xF0\x9D\x84\x9E" + "b", {1021, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextFile file;
        ASSERT_TRUE(file.Open(Put(c.bytes), OpenMode::kRead));
        std::vector<std::size_t> pieces;
        while (const auto line = file.ReadLine())
            pieces.push_back(line->size());
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(file.GetPosition(), c.bytes.size());
    }

}

TEST_F(TextFileTest, LinesLongerThanAPieceAreSkippedWholeAndCounted) {
    // Data lines and whole lines never come in pieces: a long line is left
    // out and counted (a long comment only left out), whatever the encoding.
    const std::string eAcute = "\xC3\xA9";
    std::string utf8Line;
    for (int i = 0; i < 1500; ++i)
        utf8Line += eAcute;
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t dataLineStart;
    };
    const std::string ansiLine(5000, '\xE9');
    const Case cases[] = {
        {"utf8", ";" + utf8Line + "\r\n" + utf8Line + "\r\nDATA\r\n" + utf8Line, 6005},
        {"ansi", ansiLine + "\nDATA\n" + ansiLine + "\n", 5001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextFile file;
        ASSERT_TRUE(file.Open(Put(c.bytes), OpenMode::kRead));
        EXPECT_EQ(ReadDataLines(file), (DataLines{{L"DATA", c.dataLineStart}}));
        EXPECT_EQ(file.LongLinesSkipped(), 2u);

        ASSERT_TRUE(file.SetPosition(file.DataStart()));
        file.ClearEndOfFile();
        Lines whole;
        while (const auto line = file.ReadWholeLine(L'\n', 3))
            whole.emplace_back(*line);
        EXPECT_EQ(whole.back(), L"DATA");
        EXPECT_EQ(file.LongLinesSkipped(), c.name == std::string("utf8") ? 5u : 4u);
    }
}

TEST_F(TextFileTest, BrokenSequencesNeverMergeLines) {
    // Windows-1252 names: a letter of 0xF0 and above before CR LF must not
    // take the line end with it.
    TextFile file;
    ASSERT_TRUE(file.Open(Put("Si\xF3\r\n;c\r\nX\r\n"), OpenMode::kRead));
    EXPECT_EQ(file.GetEncoding(), TextEncoding::kAnsi);
    EXPECT_EQ(ReadDataLines(file), (DataLines{{L"Si\u00F3", 0}, {L"X", 9}}));
    file.Close();

    // In a file marked UTF-8 a stray byte is read as a character of its own.
    ASSERT_TRUE(file.Open(Put("\xEF\xBB\xBF"
                              "ab\xF6\r\ncd\xE2\x82\r\n;x\xF0\r\nef"),
                          OpenMode::kRead));
    EXPECT_EQ(ReadDataLines(file),
              (DataLines{{L"ab\u00F6", 3}, {L"cd\u00E2\u201A", 8}, {L"ef", 19}}));
    file.Close();

    // A UTF-16 surrogate without its partner leaves the next unit alone.
    ASSERT_TRUE(file.Open(Put(std::string("\xFF\xFE\x00\xD8"
                                          "A\0\n\0\x00\xDC",
                                          10)),
                          OpenMode::kRead));
    EXPECT_EQ(ReadLines(file), (Lines{L"\uFFFDA\n", L"\uFFFD"}));
}

TEST_F(TextFileTest, PutCharAtOverwritesTheWholeCharacterInPlace) {
    struct Case {
        const char* name;
        std::string before;
        std::uint64_t offset;
        std::string after;
    };
    const Case cases[] = {
        {"utf8 two bytes", "\xC3\xA9\r\nX", 0, ";;\r\nX"},
        {"utf8 three bytes", "\xE2\x82\xACx", 0, ";;;x"},
        {"utf8 four bytes", "\xF0\x9D\x84\x9Ex", 0, ";;;;x"},
        {"utf8 stray byte", "\xEF\xBB\xBF\xF6\r\n", 3, "\xEF\xBB\xBF;\r\n"},
        {"ansi", "\xE9\xE9\r\n", 0, ";\xE9\r\n"},
        {"utf16le", std::string("\xFF\xFE\xE9\0\n\0", 6), 2, std::string("\xFF\xFE;\0\n\0", 6)},
        {"utf16le pair",
         std::string("\xFF\xFE\x34\xD8\x1E\xDD"
                     "A\0",
                     8),
         2, std::string("\xFF\xFE;\0;\0A\0", 8)},
        {"utf16be pair", std::string("\xFE\xFF\xD8\x34\xDD\x1E\0A", 8), 2,
         std::string("\xFE\xFF\0;\0;\0A", 8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextFile file;
        ASSERT_TRUE(file.Open(Put(c.before), OpenMode::kReadWrite));
        const std::uint64_t position = file.GetPosition();
        EXPECT_TRUE(file.PutCharAt(c.offset, ';'));
        EXPECT_EQ(file.GetPosition(), position);
        EXPECT_FALSE(file.PutCharAt(c.before.size(), ';'));  // nothing there to overwrite
        file.Close();
        EXPECT_EQ(Get(), c.after);
    }

    // What was already read ahead is not stale after an overwrite.
    TextFile file;
    ASSERT_TRUE(file.Open(Put("a\r\nb\r\n"), OpenMode::kReadWrite));
    ASSERT_TRUE(file.ReadLine());
    EXPECT_TRUE(file.PutCharAt(3, ';'));
    EXPECT_EQ(file.ReadLine(), L";\r\n");
}

TEST_F(TextFileTest, WriteLineEncodesInTheFileEncoding) {
    const std::wstring text = L"A\u00E9\u20AC\U0001D11E\r\n";
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E\r\n";
    const std::u16string utf16 = u"A\u00E9\u20AC\U0001D11E\r\n";
    struct Case {
        TextEncoding encoding;
        bool mark;
        std::string bytes;
        std::wstring readBack;
    };
    const Case cases[] = {
        {TextEncoding::kAnsi, false, "A\xE9\x80?\r\n", L"A\u00E9\u20AC?\r\n"},
        {TextEncoding::kUtf8, false, utf8, text},
        {TextEncoding::kUtf8Bom, true, "\xEF\xBB\xBF" + utf8, text},
        {TextEncoding::kUtf16Le, true, Utf16Bytes(utf16, false, true), text},
        {TextEncoding::kUtf16Be, true, Utf16Bytes(utf16, true, true), text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        fs::remove(dir_ / "f.txt");
        TextFile file;
        ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kReadWriteCreate));
        EXPECT_EQ(file.GetEncoding(), TextEncoding::kUtf8);  // an empty file
        file.SetEncoding(c.encoding);
        if (c.mark) {
            EXPECT_TRUE(file.WriteByteOrderMark());
            EXPECT_EQ(file.GetPosition(), file.DataStart());
        }
        EXPECT_TRUE(file.WriteLine(text));
        file.Close();
        EXPECT_EQ(Get(), c.bytes);
        ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kRead));
        EXPECT_EQ(file.GetEncoding(), c.encoding);
        EXPECT_EQ(file.ReadLine(), c.readBack);
    }

    // A line whose encoding needs 5000 bytes is written whole.
    TextFile file;
    ASSERT_TRUE(file.Open(PathOf("long.txt"), OpenMode::kReplace));
    EXPECT_TRUE(file.WriteLine(std::wstring(2500, L'\u00E9')));
    EXPECT_EQ(file.GetPosition(), 5000u);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(fs::file_size(dir_ / "long.txt"), 5000u);
}

// ---- Opening, replacing, appending ----

TEST_F(TextFileTest, OpenFailureShowsTheFileErrorBoxUnlessQuiet) {
    platform::ScopedRecordingSink sink;
    TextFile file;
    const std::wstring missing = PathOf("missing.txt");
    EXPECT_FALSE(file.Open(missing, OpenMode::kRead, /*quiet=*/true));
    EXPECT_TRUE(sink->Boxes().empty());

    EXPECT_FALSE(file.Open(missing, OpenMode::kRead));
    EXPECT_FALSE(file.Open(platform::FromUtf8(dir_.string()), OpenMode::kRead));  // a folder
    EXPECT_FALSE(file.Open(PathOf("no/such/folder.txt"), OpenMode::kReplace));
    const auto boxes = sink->Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].caption, L"File Error");
    EXPECT_EQ(boxes[0].text, missing + L"\r\n  " + platform::SystemErrorText(ENOENT));
    EXPECT_EQ(boxes[0].style, platform::mb::kIconHand | platform::mb::kTopmost);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[1].text,
              platform::FromUtf8(dir_.string()) + L"\r\n  " + platform::SystemErrorText(EISDIR));
    EXPECT_FALSE(file.IsOpen());

    // A second open of an open file is refused without a box; after Close the
    // object opens again.
    ASSERT_TRUE(file.Open(Put("x"), OpenMode::kRead));
    EXPECT_FALSE(file.Open(Put("y", "g.txt"), OpenMode::kRead));
    EXPECT_EQ(sink->Boxes().size(), 3u);
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.Close());
    ASSERT_TRUE(file.Open(PathOf("g.txt"), OpenMode::kRead));
    EXPECT_EQ(file.ReadLine(), L"y");
    EXPECT_EQ(file.GetFullPath(), PathOf("g.txt"));
}

TEST_F(TextFileTest, ReplaceKeepsTheOldFileUntilCloseCommits) {
    Put("old content\r\n");
    ::chmod((dir_ / "f.txt").c_str(), 0640);
    // What a writer killed earlier left behind goes with this replacement.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    Put("half", "f.txt.tmp-" + std::to_string(gone) + "-0");
    ASSERT_EQ(FileCount(), 2u);
    TextFile file;
    ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kReplace));
    EXPECT_EQ(file.GetEncoding(), TextEncoding::kUtf8);
    EXPECT_TRUE(file.WriteLine(L"new \u00E9\r\n"));
    EXPECT_EQ(Get(), "old content\r\n");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(Get(), "new \xC3\xA9\r\n");
    EXPECT_EQ(fs::status(dir_ / "f.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FileCount(), 1u);

    // The destructor commits too.
    {
        TextFile other;
        ASSERT_TRUE(other.Open(PathOf("f.txt"), OpenMode::kReplace));
        other.WriteLine(L"third\r\n");
    }
    EXPECT_EQ(Get(), "third\r\n");
}

TEST_F(TextFileTest, FailedReplaceLeavesTheOldFile) {
    platform::ScopedRecordingSink sink;
    Put("old content\r\n");
    TextFile file;
    ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kReplace));

    // Writes past a file-size limit fail like a full disk.
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit limited = previous;
    limited.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = file.WriteLine(std::wstring(3000, L'x'));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(Get(), "old content\r\n");
    EXPECT_EQ(FileCount(), 1u);
    ASSERT_EQ(sink->Boxes().size(), 1u);
    EXPECT_EQ(sink->Boxes()[0].text,
              PathOf("f.txt") + L"\r\n  " + platform::SystemErrorText(EFBIG));
}

TEST_F(TextFileTest, AppendAndReadBackInPlace) {
    // Appending keeps the file's encoding.
    Put(Utf16Bytes(u"a\r\n", false, true));
    TextFile file;
    ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kAppend));
    EXPECT_EQ(file.GetPosition(), 8u);
    EXPECT_TRUE(file.WriteLine(L"b\r\n"));
    file.Close();
    EXPECT_EQ(Get(), Utf16Bytes(u"a\r\nb\r\n", false, true));

    // The waypoint file's way: read to the end, append a record, read it at
    // the offset where it was written.
    Put("a\r\nb\r\n");
    ASSERT_TRUE(file.Open(PathOf("f.txt"), OpenMode::kReadWriteCreate));
    EXPECT_EQ(ReadDataLines(file).size(), 2u);
    ASSERT_TRUE(file.SeekToEnd());
    const std::uint64_t added = file.GetPosition();
    EXPECT_TRUE(file.WriteLine(L"c\r\n"));
    EXPECT_EQ(file.GetPosition(), added + 3);
    ASSERT_TRUE(file.SetPosition(added));
    file.ClearEndOfFile();
    EXPECT_EQ(ReadDataLines(file), (DataLines{{L"c", added}}));
    file.Close();
    EXPECT_EQ(Get(), "a\r\nb\r\nc\r\n");
}

TEST_F(TextFileTest, AttachedDescriptorIsNeverClosed) {
    const std::wstring path =
        Put("\xEF\xBB\xBF"
            "one\r\ntwo\r\n");
    const int fd = ::open(platform::ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::lseek(fd, 3, SEEK_SET);

    TextFile file;
    ASSERT_TRUE(file.Attach(fd));
    EXPECT_FALSE(file.Attach(fd));
    EXPECT_EQ(file.GetEncoding(), TextEncoding::kUtf8Bom);
    EXPECT_EQ(file.ReadLine(), L"one\r\n");
    EXPECT_TRUE(file.Close());  // gives the descriptor back
    EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 8);

    ASSERT_TRUE(file.Attach(fd));
    EXPECT_EQ(file.ReadLine(), L"two\r\n");
    EXPECT_TRUE(file.Detach());
    EXPECT_FALSE(file.Detach());
    EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), 13);
    ::close(fd);
}

TEST_F(TextFileTest, FullPathIsLexical) {
    const std::wstring cwd = platform::FromUtf8(fs::current_path().string());
    EXPECT_EQ(TextFile::GetFullPath(L"a/../b/./c.txt"), cwd + L"/b/c.txt");
    EXPECT_EQ(TextFile::GetFullPath(L"/x/\u00E9.txt"), L"/x/\u00E9.txt");
    EXPECT_EQ(TextFile::GetFullPath(L""), L"");
}

}  // namespace
}  // namespace core

#undef TEXT_HEAD
#undef TEXT_CLEF
#undef TEXT_TAIL
