#pragma once

#include <memory>
#include <string>

namespace harpoly {

struct PixelSize {
    int width = 0;
    int height = 0;
};

// Reads a JPEG file's width and height from its frame header, through libjpeg,
// without decoding picture data and reading only as much of the file as the
// header needs. One reader serves a whole run. A file of 0 bytes is 0 x 0.
// Throws Error EFOpenError when the file cannot be opened, EReadError when it
// cannot be read, EJPEG when its content is not a JPEG datastream (a truncated
// header included).
class JpegSizeReader {
public:
    JpegSizeReader();
    ~JpegSizeReader();
    JpegSizeReader(const JpegSizeReader&) = delete;
    JpegSizeReader& operator=(const JpegSizeReader&) = delete;

    PixelSize read(const std::string& path);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace harpoly
