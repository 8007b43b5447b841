#pragma once
// A test display of a test program's own: an Xvfb whose screen is a file
// (-fbdir), so the test can save the whole screen as a PNG at moments it
// chooses, whatever windows the program under test has open. The server is
// ended and waited for when the object goes.

#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_support {

class PrivateDisplay {
  public:
    // Starts "Xvfb -displayfd" at width x height x 24 with its screen in
    // folder; Name() is empty when it did not come up within 10 s.
    PrivateDisplay(const std::filesystem::path& folder, int width, int height) : folder_(folder) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                     "-fbdir", folder.c_str(), "-nolisten", "tcp", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        while (::poll(&ready, 1, 10000) > 0) {
            char c = 0;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~PrivateDisplay() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    const std::string& Name() const { return name_; }

    // Saves the screen as it is now; false when the screen file is not the
    // 32-bit true-colour dump Xvfb writes or the PNG cannot be written.
    bool SaveScreen(const std::filesystem::path& png) const {
        std::ifstream in(folder_ / "Xvfb_screen0", std::ios::binary);
        const std::string dump{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // The dump's header: 25 big-endian 32-bit words, then the window
        // name, the colour table (12 bytes a colour) and the pixels.
        const auto word = [&dump](std::size_t i) {
            std::uint32_t v = 0;
            for (std::size_t b = 0; b < 4; ++b)
                v = v << 8 | static_cast<unsigned char>(dump[i * 4 + b]);
            return v;
        };
        if (dump.size() < 100 || word(1) != 7 || word(2) != 2 || word(11) != 32) return false;
        const std::uint32_t width = word(4), height = word(5), stride = word(12);
        const std::size_t pixels = word(0) + std::size_t{12} * word(19);
        if (word(7) != 0 || pixels + std::size_t{stride} * height > dump.size()) return false;
        // Little-endian 32-bit pixels with red in 0xff0000: cairo's RGB24.
        cairo_surface_t* surface =
            cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(width),
                                       static_cast<int>(height));
        unsigned char* to = cairo_image_surface_get_data(surface);
        const int toStride = cairo_image_surface_get_stride(surface);
        for (std::uint32_t row = 0; row < height; ++row)
            std::memcpy(to + std::size_t{row} * toStride, dump.data() + pixels + std::size_t{row} * stride,
                        std::size_t{width} * 4);
        cairo_surface_mark_dirty(surface);
        const bool saved = cairo_surface_write_to_png(surface, png.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(surface);
        return saved;
    }

  private:
    std::filesystem::path folder_;
    pid_t pid_ = -1;
    std::string name_;
};

}  // namespace test_support
