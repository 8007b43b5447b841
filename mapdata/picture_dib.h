#pragma once
// CCeDib: the map picture window's bitmap — a CDib read from an uncompressed
// ".bmp" or a JPEG (decoded with libjpeg), converted onto the halftone
// palette for an 8-bit display (the converted flag then says so).
//
// A failed read keeps the picture that was there. JPEGs with other than one
// (grey) or three (colour) components, and pictures above CDib's size
// limits, are refused; decoding errors end in false, never in an exit.
// One thread at a time, like CDib.

#include <filesystem>

#include "mapdata/dib.h"

namespace mapdata {

class CCeDib {
  public:
    // Reads the picture at `path`: ".bmp" (uncompressed only, refused
    // without a message otherwise) or JPEG, by the file's first bytes.
    bool ReadSection(const std::filesystem::path& path, const DisplayDevice& device);
    // Decodes a JPEG: 24-bit, 8-bit grey ramp for grey pictures, or 8-bit
    // halftone with the converted flag for colour on an 8-bit display.
    bool ReadJpegSection(const std::filesystem::path& path, const DisplayDevice& device,
                         bool forceConvert);

    void Clear() {
        dib_.Clear();
        converted_ = false;
    }
    bool Converted() const { return converted_; }
    const CDib& Dib() const { return dib_; }
    CDib& Dib() { return dib_; }
    CDib::Size GetSize() const { return dib_.GetSize(); }

  private:
    CDib dib_;
    bool converted_ = false;
};

}  // namespace mapdata
