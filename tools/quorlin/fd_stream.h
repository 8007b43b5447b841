#pragma once
// An output stream over a file descriptor, with a buffer of its own and
// large writes passed straight through, so that a picture's rows go to its
// file without being copied into a string first. One thread.

#include <unistd.h>

#include <cerrno>
#include <ostream>
#include <streambuf>
#include <vector>

namespace quorlin {

class FdStreamBuf final : public std::streambuf {
  public:
    explicit FdStreamBuf(int fd) : fd_(fd), buffer_(1 << 16) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    ~FdStreamBuf() override { Drain(); }

  protected:
    int_type overflow(int_type c) override {
        if (!Drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        if (size < static_cast<std::streamsize>(buffer_.size())) return std::streambuf::xsputn(data, size);
        if (!Drain() || !WriteAll(data, static_cast<std::size_t>(size))) return 0;
        return size;
    }
    int sync() override { return Drain() ? 0 : -1; }

  private:
    bool Drain() {
        const bool ok = WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return ok;
    }
    bool WriteAll(const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    int fd_;
    std::vector<char> buffer_;
};

}  // namespace quorlin
