#pragma once
// TextFile: a line-oriented text file in one of five encodings behind one
// interface that hands out lines as wide text (whole code points).
//
// Encodings are detected when a file is opened or attached: a ";ASC" marker
// line makes a file ANSI (Windows-1252); EF BB BF is UTF-8 with a mark;
// FF FE / FE FF, or a first character with a zero high or low byte, is
// UTF-16 little- or big-endian. Anything else is UTF-8 when all its bytes are
// well-formed UTF-8, and Windows-1252 otherwise. DataStart() is the offset
// behind the mark or marker line; reading starts there.
//
// Positions are byte offsets and always exact: GetPosition() is the end of
// the last character handed out, LineStart() where the last data line began,
// so that a caller can later overwrite a line's first character in place
// (PutCharAt) to comment a record out. Reading is buffered internally; every
// operation of this class keeps the buffer and the position consistent, so
// callers never touch the descriptor behind it.
//
// Writes: kReadWrite, kReadWriteCreate and kAppend write in place at the
// current position (appending records, overwriting a character).
// kReplace writes a whole new content: it goes to a temporary file in the
// same folder that Close() renames over the old file (platform/whole_file.h),
// so a crash or a failed write leaves the old file or the new one, never a
// part of it.
//
// One thread uses a TextFile at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class FileReplacement;
}

namespace core {

enum class TextEncoding : int {
    kUnknown = -1,
    kAnsi = 0,  // Windows-1252
    kUtf8 = 1,  // without byte-order mark
    kUtf8Bom = 2,
    kUtf16Le = 3,
    kUtf16Be = 4,
};

enum class OpenMode {
    kRead,             // an existing file, read only
    kReadWrite,        // an existing file, read and written in place
    kReadWriteCreate,  // as kReadWrite; a missing file is created empty
    kAppend,           // as kReadWriteCreate, positioned at the end
    kReplace,          // a new content that replaces the file on Close()
};

class TextFile {
  public:
    // Options of ReadLine() and ReadNextDataLine() (bits).
    static constexpr int kStripDelimiter = 1;      // drop the delimiter at the end
    static constexpr int kStripTrailingSpace = 2;  // drop white space at the end
    static constexpr int kSkipLeadingSpace = 4;    // start at the first non-blank

    // A longer line is handed out in pieces of at most this many UTF-16 code
    // units (a character above U+FFFF counts two and is never split).
    static constexpr std::size_t kAnsiPieceLimit = 4090;
    static constexpr std::size_t kPieceLimit = 1022;

    TextFile();
    virtual ~TextFile();  // closes the file (committing a kReplace content)
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `name` (UTF-8 on disk). On failure, unless `quiet`, shows the
    // "File Error" box with the name and the system's text for the error.
    // Fails without a box when a file is already open. On success the
    // encoding is detected and the position is DataStart() (the end for
    // kAppend).
    bool Open(std::wstring_view name, OpenMode mode, bool quiet = false);

    // Closes an owned file; a kReplace content then replaces the old file,
    // unless a write failed (the old file stays, the box is shown unless the
    // file was opened quiet). An attached descriptor is only detached, never
    // closed. False when nothing was open or closing failed.
    bool Close();

    // Takes a descriptor that stays the caller's (never closed here) and
    // detects its encoding; reading goes on from its current offset. Fails
    // when a file is open.
    bool Attach(int fd);
    // Gives an attached descriptor back, its offset set to GetPosition().
    bool Detach();
    bool IsOpen() const { return fd_ >= 0; }

    std::uint64_t GetPosition() const { return bufferOffset_ + bufferPos_; }
    bool SetPosition(std::uint64_t offset);
    bool SeekToEnd();
    std::optional<std::uint64_t> GetLength() const;

    // The full path of the open file (kept after Close), and that of a name
    // (lexical: the file need not exist).
    const std::wstring& GetFullPath() const { return name_; }
    static std::wstring GetFullPath(std::wstring_view name);

    // Detects the encoding of the open file (see the top of this header) and
    // sets DataStart(); `empty` is the encoding of a file of fewer than two
    // bytes. The position is kept. kUnknown without an open file.
    TextEncoding DetectEncoding(TextEncoding empty = TextEncoding::kUtf8);
    TextEncoding GetEncoding() const { return encoding_; }
    void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }

    std::uint64_t DataStart() const { return dataStart_; }
    void SetDataStart(std::uint64_t offset) { dataStart_ = offset; }

    // Set when a read found no further character (end of file or an error);
    // ReadNextDataLine() then returns nothing at once. Moving the position
    // does not clear it.
    bool EndOfFile() const { return endOfFile_; }
    void ClearEndOfFile() { endOfFile_ = false; }

    // Where the line last returned by ReadNextDataLine() began.
    std::uint64_t LineStart() const { return lineStart_; }

    // Writes the byte-order mark of the encoding at offset 0 (none for ANSI)
    // and sets DataStart() to its length; a position inside the mark moves
    // behind it, any other is kept. True when all of it was written.
    bool WriteByteOrderMark();

    // The next line up to and including `delimiter` (or the next piece of a
    // long line), shaped by the options; nothing at the end of the file. The
    // view points into a buffer that the next read overwrites, and is
    // followed by a zero character.
    std::optional<std::wstring_view> ReadLine(wchar_t delimiter = L'\n', int options = 0);

    // The next line that is neither blank nor a comment (its first non-blank
    // character is `comment` or that character's full-width form). A line
    // longer than one piece is skipped whole, never handed out in pieces;
    // long data lines are counted (LongLinesSkipped). Sets LineStart().
    std::optional<std::wstring_view> ReadNextDataLine(wchar_t delimiter, wchar_t comment,
                                                      int options);

    // As ReadLine, but a line longer than one piece is skipped whole and
    // counted.
    std::optional<std::wstring_view> ReadWholeLine(wchar_t delimiter = L'\n', int options = 0);

    // Lines skipped as too long since the file was opened or attached, so
    // that a reader can report them once per file.
    std::size_t LongLinesSkipped() const { return longLinesSkipped_; }

    // The next character; 0 at the end.
    wchar_t ReadCharacter();

    // Encodes `text` in the file's encoding (characters that Windows-1252
    // lacks become '?') and writes it at the position. No line end is added.
    bool WriteLine(std::wstring_view text);

    // Overwrites the whole character at `offset` with copies of `character`
    // (one per byte of a UTF-8 sequence, one per unit of a UTF-16 pair), so
    // that the file keeps its length. The position is kept.
    bool PutCharAt(std::uint64_t offset, char character);

    // Raw bytes at the position (binary records inside a map file).
    std::size_t ReadBytes(void* out, std::size_t size);
    bool WriteBytes(const void* data, std::size_t size);

  private:
    struct Piece {
        std::size_t units = 0;   // UTF-16 code units read
        bool delimited = false;  // ended with the delimiter
    };

    void TakeDescriptor(int fd, bool owns);
    void ForgetDescriptor();
    void DropBuffer();
    std::size_t Refill();
    bool EnsureAvailable(std::size_t size);
    std::size_t Available() const { return bufferLength_ - bufferPos_; }
    int DecodeNext(char32_t& c);
    Piece ReadPiece(wchar_t delimiter, std::size_t limit);
    // A piece that is only the start of a longer line.
    bool IsCut(const Piece& piece) const;
    void SkipRestOfLine(wchar_t delimiter);
    std::size_t ReadAsciiRun(wchar_t delimiter, std::size_t room, bool& delimited);
    std::size_t ReadUtf16Run(wchar_t delimiter, std::size_t room, bool& delimited);
    std::size_t PieceLimit() const;
    std::wstring_view Shape(wchar_t delimiter, int options);
    bool IsUtf8Text();
    bool ReadAt(std::uint64_t offset, void* out, std::size_t size, std::size_t& got) const;
    std::size_t WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    void Encode(std::wstring_view text, std::string& out) const;
    std::size_t SequenceLengthAt(std::uint64_t offset, bool& ok) const;
    bool CommitReplacement();
    void ReportError(std::wstring_view name, int error) const;

    int fd_ = -1;
    bool ownsFd_ = false;
    bool endOfFile_ = false;
    bool quiet_ = false;
    TextEncoding encoding_ = TextEncoding::kUnknown;
    std::uint64_t lineStart_ = 0;
    std::uint64_t dataStart_ = 0;
    std::size_t longLinesSkipped_ = 0;

    // Bytes of the file from bufferOffset_; the position is bufferPos_ in it.
    std::vector<unsigned char> buffer_;
    std::uint64_t bufferOffset_ = 0;
    std::size_t bufferLength_ = 0;
    std::size_t bufferPos_ = 0;

    std::wstring line_;
    std::string encoded_;
    std::wstring name_;

    // kReplace: the new content on its way to the file, and the first
    // failed write's error (0 when none).
    std::unique_ptr<platform::FileReplacement> replacement_;
    int writeError_ = 0;
};

}  // namespace core
