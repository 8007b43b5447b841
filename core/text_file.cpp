#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/text_codec.h"
#include "platform/message_box.h"
#include "platform/sys_error.h"
#include "platform/whole_file.h"
#include "platform/utf.h"

namespace core {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferSize = 64 * 1024;
// Bytes of the longest character: a four-byte UTF-8 sequence or a UTF-16 pair.
constexpr std::size_t kLongestCharacter = 4;
constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsUtf16(TextEncoding encoding) {
    return encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be;
}

bool IsLineEnd(unsigned char byte) {
    return byte == '\r' || byte == '\n';
}

int OpenFlags(OpenMode mode) {
    switch (mode) {
        case OpenMode::kRead:
            return O_RDONLY;
        case OpenMode::kReadWrite:
            return O_RDWR;
        case OpenMode::kReadWriteCreate:
        case OpenMode::kAppend:
        case OpenMode::kReplace:
            return O_RDWR | O_CREAT;
    }
    return O_RDONLY;
}

// The full-width form of an ASCII character: the file formats define it as
// the character plus 0xFEE0 in 16-bit arithmetic.
wchar_t FullWidth(wchar_t c) {
    return static_cast<wchar_t>((static_cast<std::uint32_t>(c) + 0xFEE0) & 0xFFFF);
}

char32_t LoadUnit(const unsigned char* p, bool bigEndian) {
    return bigEndian ? static_cast<char32_t>(p[0] << 8 | p[1])
                     : static_cast<char32_t>(p[1] << 8 | p[0]);
}

void StoreUnit(std::string& out, char32_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

// One UTF-16 character: its length in bytes, 0 when not even one unit is
// left. A surrogate without its partner stands alone as U+FFFD, so that the
// unit after it is read on its own.
int DecodeUtf16(const unsigned char* p, std::size_t size, bool bigEndian, char32_t& c) {
    if (size < 2) return 0;
    const char32_t unit = LoadUnit(p, bigEndian);
    if (unit < 0xD800 || unit > 0xDFFF) {
        c = unit;
        return 2;
    }
    if (unit <= 0xDBFF && size >= 4) {
        const char32_t next = LoadUnit(p + 2, bigEndian);
        if (next >= 0xDC00 && next <= 0xDFFF) {
            c = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
            return 4;
        }
    }
    c = kReplacementCharacter;
    return 2;
}

bool IsFolder(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

TextFile::TextFile() : buffer_(kBufferSize) {
    line_.reserve(520);
}

TextFile::~TextFile() {
    Close();
}

// Forgets the descriptor and what belongs to it; what was learnt about the
// file (encoding, data start, flags) stays until the next open.
void TextFile::ForgetDescriptor() {
    fd_ = -1;
    ownsFd_ = false;
    bufferOffset_ = 0;
    bufferLength_ = 0;
    bufferPos_ = 0;
    replacement_.reset();
    writeError_ = 0;
}

// Takes a descriptor with everything learnt about the previous file cleared.
void TextFile::TakeDescriptor(int fd, bool owns) {
    ForgetDescriptor();
    fd_ = fd;
    ownsFd_ = owns;
    endOfFile_ = false;
    quiet_ = false;
    encoding_ = TextEncoding::kUnknown;
    lineStart_ = 0;
    dataStart_ = 0;
    longLinesSkipped_ = 0;
}

bool TextFile::Open(std::wstring_view name, OpenMode mode, bool quiet) {
    if (IsOpen()) return false;
    const std::string path = platform::ToUtf8(name);
    if (path.find('\0') != std::string::npos) {  // the system would see a shorter name
        if (!quiet) ReportError(name, ENOENT);
        return false;
    }
    std::unique_ptr<platform::FileReplacement> replacement;
    int fd = -1;
    if (mode == OpenMode::kReplace) {
        replacement = std::make_unique<platform::FileReplacement>(path);
        fd = replacement->Fd();
        if (fd < 0) errno = replacement->Error().value();
    } else {
        fd = ::open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, 0666);
        if (fd >= 0 && IsFolder(fd)) {
            ::close(fd);
            fd = -1;
            errno = EISDIR;
        }
    }
    if (fd < 0) {
        const int error = errno;
        if (!quiet) ReportError(name, error);
        return false;
    }
    TakeDescriptor(fd, true);
    quiet_ = quiet;
    replacement_ = std::move(replacement);
    name_ = GetFullPath(name);
    DetectEncoding(TextEncoding::kUtf8);
    if (mode == OpenMode::kAppend) {
        SeekToEnd();
    } else {
        SetPosition(dataStart_);
    }
    return true;
}

bool TextFile::Close() {
    if (!IsOpen()) return false;
    if (!ownsFd_) return Detach();
    const bool closed = replacement_ ? CommitReplacement() : ::close(fd_) == 0;
    ForgetDescriptor();
    return closed;
}

bool TextFile::CommitReplacement() {
    int error = writeError_;
    if (error == 0) error = replacement_->Commit().value();
    if (error != 0) {
        replacement_.reset();  // the old file stays; the temporary file goes
        if (!quiet_) ReportError(name_, error);
        return false;
    }
    return true;
}

bool TextFile::Attach(int fd) {
    if (IsOpen() || fd < 0) return false;
    TakeDescriptor(fd, false);
    const off_t offset = ::lseek(fd, 0, SEEK_CUR);
    bufferOffset_ = offset > 0 ? static_cast<std::uint64_t>(offset) : 0;
    DetectEncoding(TextEncoding::kUtf8);
    return true;
}

bool TextFile::Detach() {
    if (!IsOpen() || ownsFd_) return false;
    ::lseek(fd_, static_cast<off_t>(GetPosition()), SEEK_SET);
    ForgetDescriptor();
    return true;
}

void TextFile::ReportError(std::wstring_view name, int error) const {
    std::wstring text(name);
    text += L"\r\n  ";
    text += platform::SystemErrorText(error);
    platform::ShowMessageBox(nullptr, text, L"File Error",
                             platform::mb::kIconHand | platform::mb::kTopmost);
}

std::wstring TextFile::GetFullPath(std::wstring_view name) {
    if (name.empty()) return {};
    std::error_code error;
    const fs::path full = fs::absolute(fs::path(platform::ToUtf8(name)), error);
    if (error) return {};
    return platform::FromUtf8(full.lexically_normal().native());
}

// ---- Positions and the read buffer ----

bool TextFile::SetPosition(std::uint64_t offset) {
    if (!IsOpen() || offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    if (offset >= bufferOffset_ && offset - bufferOffset_ <= bufferLength_) {
        bufferPos_ = static_cast<std::size_t>(offset - bufferOffset_);
    } else {
        bufferOffset_ = offset;
        bufferLength_ = 0;
        bufferPos_ = 0;
    }
    return true;
}

bool TextFile::SeekToEnd() {
    const auto length = GetLength();
    return length && SetPosition(*length);
}

std::optional<std::uint64_t> TextFile::GetLength() const {
    struct stat info {};
    if (!IsOpen() || ::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

void TextFile::DropBuffer() {
    bufferOffset_ = GetPosition();
    bufferLength_ = 0;
    bufferPos_ = 0;
}

bool TextFile::ReadAt(std::uint64_t offset, void* out, std::size_t size, std::size_t& got) const {
    got = 0;
    auto* dest = static_cast<unsigned char*>(out);
    while (got < size) {
        const ssize_t n = ::pread(fd_, dest + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes at `offset` without moving the position; the bytes written. A
// failure is remembered for Close().
std::size_t TextFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pwrite(fd_, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (writeError_ == 0) writeError_ = n < 0 ? errno : EIO;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    DropBuffer();  // what is buffered may be stale now
    return done;
}

// Keeps the unread bytes and fills the rest of the buffer; the bytes added.
std::size_t TextFile::Refill() {
    const std::size_t tail = Available();
    std::memmove(buffer_.data(), buffer_.data() + bufferPos_, tail);
    bufferOffset_ += bufferPos_;
    bufferPos_ = 0;
    bufferLength_ = tail;
    std::size_t got = 0;
    ReadAt(bufferOffset_ + tail, buffer_.data() + tail, buffer_.size() - tail, got);
    bufferLength_ += got;
    return got;
}

// Tries to have `size` unread bytes buffered; false when none is left.
bool TextFile::EnsureAvailable(std::size_t size) {
    while (Available() < size && Refill() > 0) {
    }
    return Available() > 0;
}

// ---- Encoding detection ----

TextEncoding TextFile::DetectEncoding(TextEncoding empty) {
    if (!IsOpen()) return encoding_ = TextEncoding::kUnknown;
    encoding_ = TextEncoding::kUtf8;
    dataStart_ = 0;
    unsigned char head[6] = {};
    std::size_t n = 0;
    ReadAt(0, head, sizeof head, n);

    // ";ASC" alone on the first line marks an ANSI file; the line is skipped.
    if (n >= 4 && std::memcmp(head, ";ASC", 4) == 0 && (n == 4 || IsLineEnd(head[4]))) {
        dataStart_ = 4;
        if (n > 4) ++dataStart_;
        if (n > 5 && IsLineEnd(head[5])) ++dataStart_;
        return encoding_ = TextEncoding::kAnsi;
    }
    if (n >= 2) {
        if (n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
            dataStart_ = 3;
            encoding_ = TextEncoding::kUtf8Bom;
        }
        const bool leMark = head[0] == 0xFF && head[1] == 0xFE;
        const bool beMark = head[0] == 0xFE && head[1] == 0xFF;
        if (leMark || (head[0] != 0 && head[1] == 0)) {
            encoding_ = TextEncoding::kUtf16Le;
            dataStart_ = leMark ? 2 : 0;
        } else if (beMark || (head[0] == 0 && head[1] != 0)) {
            encoding_ = TextEncoding::kUtf16Be;
            dataStart_ = beMark ? 2 : 0;
        }
    } else {
        encoding_ = empty;
    }
    if (encoding_ == TextEncoding::kUtf8 && n > 0 && !IsUtf8Text()) {
        encoding_ = TextEncoding::kAnsi;
    }
    return encoding_;
}

// Whether the whole file is well-formed UTF-8. Uses the read buffer as
// scratch; the position is kept.
bool TextFile::IsUtf8Text() {
    const std::uint64_t position = GetPosition();
    std::uint64_t offset = 0;  // file offset of buffer_[0]
    std::size_t carry = 0;     // bytes of a sequence cut by the previous chunk
    bool valid = true;
    for (;;) {
        std::size_t got = 0;
        ReadAt(offset + carry, buffer_.data() + carry, buffer_.size() - carry, got);
        if (got == 0) {
            valid = carry == 0;
            break;
        }
        const std::size_t size = carry + got;
        const Utf8Check check = CheckUtf8(buffer_.data(), size);
        if (!check.valid) {
            valid = false;
            break;
        }
        carry = size - check.complete;
        std::memmove(buffer_.data(), buffer_.data() + check.complete, carry);
        offset += check.complete;
    }
    bufferOffset_ = position;
    bufferLength_ = 0;
    bufferPos_ = 0;
    return valid;
}

bool TextFile::WriteByteOrderMark() {
    if (!IsOpen()) return false;
    std::string_view mark;
    switch (encoding_) {
        case TextEncoding::kUtf8:
        case TextEncoding::kUtf8Bom:
            mark = "\xEF\xBB\xBF";
            break;
        case TextEncoding::kUtf16Le:
            mark = "\xFF\xFE";
            break;
        case TextEncoding::kUtf16Be:
            mark = "\xFE\xFF";
            break;
        default:
            break;
    }
    const bool written = WriteAt(0, mark.data(), mark.size()) == mark.size();
    dataStart_ = mark.size();
    SetPosition(std::max<std::uint64_t>(GetPosition(), dataStart_));
    return written;
}

// ---- Reading ----

std::size_t TextFile::PieceLimit() const {
    return encoding_ == TextEncoding::kAnsi ? kAnsiPieceLimit : kPieceLimit;
}

// Decodes the character at the position without moving on: its length in
// bytes, 0 when the file has no further character. A byte that is no part of
// a well-formed UTF-8 sequence is a Windows-1252 character of its own, so an
// 8-bit letter never takes the bytes after it (a line end) with it.
int TextFile::DecodeNext(char32_t& c) {
    if (!EnsureAvailable(kLongestCharacter)) return 0;
    const unsigned char* p = buffer_.data() + bufferPos_;
    switch (encoding_) {
        case TextEncoding::kAnsi:
            c = static_cast<char32_t>(DecodeCp1252(p[0]));
            return 1;
        case TextEncoding::kUtf16Le:
        case TextEncoding::kUtf16Be:
            return DecodeUtf16(p, Available(), encoding_ == TextEncoding::kUtf16Be, c);
        default:
            break;
    }
    const int length = DecodeUtf8(p, Available(), c);
    if (length > 0) return length;
    c = static_cast<char32_t>(DecodeCp1252(p[0]));
    return 1;
}

// Appends the ASCII bytes at the position (at most `room`) to the line, up to
// and including the delimiter; 8-bit encodings only. The bytes taken.
std::size_t TextFile::ReadAsciiRun(wchar_t delimiter, std::size_t room, bool& delimited) {
    std::size_t total = 0;
    while (total < room && (Available() > 0 || Refill() > 0)) {
        const unsigned char* p = buffer_.data() + bufferPos_;
        const std::size_t size = std::min(Available(), room - total);
        std::size_t end = size;
        if (delimiter >= 0 && delimiter < 0x80) {
            const void* found = std::memchr(p, static_cast<int>(delimiter), size);
            if (found != nullptr)
                end = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - p) + 1;
        }
        std::size_t i = 0;
        while (i < end && p[i] < 0x80)
            ++i;
        const std::size_t length = line_.size();
        line_.resize(length + i);
        std::copy(p, p + i, line_.begin() + static_cast<std::ptrdiff_t>(length));
        bufferPos_ += i;
        total += i;
        delimited = i > 0 && i == end && static_cast<wchar_t>(p[i - 1]) == delimiter;
        if (delimited || i < size) break;
    }
    return total;
}

// Appends the UTF-16 units at the position that stand for a character of
// their own (at most `room`) to the line, up to and including the delimiter.
// The units taken.
std::size_t TextFile::ReadUtf16Run(wchar_t delimiter, std::size_t room, bool& delimited) {
    const bool bigEndian = encoding_ == TextEncoding::kUtf16Be;
    std::size_t total = 0;
    while (total < room && (Available() >= 2 || (Refill() > 0 && Available() >= 2))) {
        const unsigned char* p = buffer_.data() + bufferPos_;
        const std::size_t size = std::min(Available() / 2, room - total);
        const std::size_t length = line_.size();
        line_.resize(length + size);
        wchar_t* out = line_.data() + length;
        std::size_t i = 0;
        while (i < size && !delimited) {
            const char32_t unit = LoadUnit(p + 2 * i, bigEndian);
            if (unit >= 0xD800 && unit <= 0xDFFF) break;
            out[i++] = static_cast<wchar_t>(unit);
            delimited = static_cast<wchar_t>(unit) == delimiter;
        }
        line_.resize(length + i);
        bufferPos_ += 2 * i;
        total += i;
        if (delimited || i < size) break;
    }
    return total;
}

// Reads characters into line_ until the delimiter (kept), the end of the
// file or the piece limit. Sets endOfFile_ when no further character came.
TextFile::Piece TextFile::ReadPiece(wchar_t delimiter, std::size_t limit) {
    Piece piece;
    line_.clear();
    if (!IsOpen()) {
        endOfFile_ = true;
        return piece;
    }
    const bool utf16 = IsUtf16(encoding_);
    while (piece.units < limit) {
        const std::size_t room = limit - piece.units;
        piece.units += utf16 ? ReadUtf16Run(delimiter, room, piece.delimited)
                             : ReadAsciiRun(delimiter, room, piece.delimited);
        if (piece.delimited || piece.units >= limit) break;
        char32_t c = 0;
        const int length = DecodeNext(c);
        if (length == 0) {
            endOfFile_ = true;
            break;
        }
        const std::size_t units = c > 0xFFFF ? 2 : 1;
        if (piece.units + units > limit) break;  // a pair is never split
        line_ += static_cast<wchar_t>(c);
        bufferPos_ += static_cast<std::size_t>(length);
        piece.units += units;
        if (static_cast<wchar_t>(c) == delimiter) {
            piece.delimited = true;
            break;
        }
    }
    return piece;
}

std::wstring_view TextFile::Shape(wchar_t delimiter, int options) {
    std::size_t end = line_.size();
    if ((options & kStripDelimiter) != 0 && end > 0 && line_[end - 1] == delimiter) --end;
    if ((options & kStripTrailingSpace) != 0) {
        while (end > 0 && IsWideSpace(line_[end - 1]))
            --end;
    }
    line_.resize(end);
    std::size_t begin = 0;
    if ((options & kSkipLeadingSpace) != 0) {
        while (begin < end && IsWideSpace(line_[begin]))
            ++begin;
    }
    return std::wstring_view(line_).substr(begin);
}

std::optional<std::wstring_view> TextFile::ReadLine(wchar_t delimiter, int options) {
    if (ReadPiece(delimiter, PieceLimit()).units == 0) return std::nullopt;
    return Shape(delimiter, options);
}

bool TextFile::IsCut(const Piece& piece) const {
    return piece.units > 0 && !piece.delimited && !endOfFile_;
}

void TextFile::SkipRestOfLine(wchar_t delimiter) {
    for (;;) {
        const Piece piece = ReadPiece(delimiter, PieceLimit());
        if (!IsCut(piece)) return;
    }
}

std::optional<std::wstring_view> TextFile::ReadWholeLine(wchar_t delimiter, int options) {
    for (;;) {
        const Piece piece = ReadPiece(delimiter, PieceLimit());
        if (piece.units == 0) return std::nullopt;
        if (!IsCut(piece)) return Shape(delimiter, options);
        SkipRestOfLine(delimiter);
        ++longLinesSkipped_;
    }
}

std::optional<std::wstring_view> TextFile::ReadNextDataLine(wchar_t delimiter, wchar_t comment,
                                                            int options) {
    if (endOfFile_) return std::nullopt;
    for (;;) {
        lineStart_ = GetPosition();
        const Piece piece = ReadPiece(delimiter, PieceLimit());
        if (piece.units == 0) return std::nullopt;
        const auto first = std::find_if_not(line_.begin(), line_.end(), IsWideSpace);
        const bool data = first != line_.end() && *first != comment && *first != FullWidth(comment);
        if (IsCut(piece)) {
            // Too long for any record: skipped whole, never cut into records.
            SkipRestOfLine(delimiter);
            if (data) ++longLinesSkipped_;
        } else if (data) {
            return Shape(delimiter, options);
        }
        if (endOfFile_) return std::nullopt;
    }
}

wchar_t TextFile::ReadCharacter() {
    char32_t c = 0;
    const int length = IsOpen() ? DecodeNext(c) : 0;
    if (length == 0) {
        endOfFile_ = true;
        return 0;
    }
    bufferPos_ += static_cast<std::size_t>(length);
    return static_cast<wchar_t>(c);
}

std::size_t TextFile::ReadBytes(void* out, std::size_t size) {
    auto* dest = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (IsOpen() && done < size && (Available() > 0 || Refill() > 0)) {
        const std::size_t n = std::min(Available(), size - done);
        std::memcpy(dest + done, buffer_.data() + bufferPos_, n);
        bufferPos_ += n;
        done += n;
    }
    return done;
}

// ---- Writing ----

void TextFile::Encode(std::wstring_view text, std::string& out) const {
    out.clear();
    switch (encoding_) {
        case TextEncoding::kAnsi:
            for (const wchar_t c : text)
                out += static_cast<char>(EncodeCp1252(c));
            return;
        case TextEncoding::kUtf16Le:
        case TextEncoding::kUtf16Be: {
            const bool bigEndian = encoding_ == TextEncoding::kUtf16Be;
            for (const wchar_t wc : text) {
                char32_t c = static_cast<char32_t>(wc);
                if (c > 0x10FFFF) c = kReplacementCharacter;
                if (c > 0xFFFF) {
                    StoreUnit(out, 0xD800 + ((c - 0x10000) >> 10), bigEndian);
                    StoreUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), bigEndian);
                } else {
                    StoreUnit(out, c, bigEndian);
                }
            }
            return;
        }
        default:
            out = platform::ToUtf8(text);
            return;
    }
}

bool TextFile::WriteLine(std::wstring_view text) {
    if (!IsOpen()) return false;
    Encode(text, encoded_);
    return WriteBytes(encoded_.data(), encoded_.size());
}

bool TextFile::WriteBytes(const void* data, std::size_t size) {
    if (!IsOpen()) return false;
    const std::uint64_t position = GetPosition();
    const std::size_t written = WriteAt(position, data, size);
    SetPosition(position + written);
    return written == size;
}

// The length in bytes of the character at `offset`; 0 when there is none.
std::size_t TextFile::SequenceLengthAt(std::uint64_t offset, bool& ok) const {
    unsigned char bytes[kLongestCharacter] = {};
    std::size_t got = 0;
    ok = ReadAt(offset, bytes, sizeof bytes, got);
    char32_t c = 0;
    switch (encoding_) {
        case TextEncoding::kAnsi:
            return std::min<std::size_t>(got, 1);
        case TextEncoding::kUtf16Le:
        case TextEncoding::kUtf16Be: {
            const int length = DecodeUtf16(bytes, got, encoding_ == TextEncoding::kUtf16Be, c);
            return static_cast<std::size_t>(length);
        }
        default: {
            if (got == 0) return 0;
            const int length = DecodeUtf8(bytes, got, c);
            return length > 0 ? static_cast<std::size_t>(length) : 1;
        }
    }
}

bool TextFile::PutCharAt(std::uint64_t offset, char character) {
    if (!IsOpen() || encoding_ == TextEncoding::kUnknown) return false;
    bool readOk = false;
    const std::size_t length = SequenceLengthAt(offset, readOk);
    if (!readOk || length == 0) return false;
    std::string bytes;
    if (IsUtf16(encoding_)) {
        const auto unit = static_cast<char32_t>(static_cast<unsigned char>(character));
        for (std::size_t i = 0; i < length; i += 2) {
            StoreUnit(bytes, unit, encoding_ == TextEncoding::kUtf16Be);
        }
    } else {
        bytes.assign(length, character);
    }
    return WriteAt(offset, bytes.data(), bytes.size()) == bytes.size();
}

}  // namespace core
