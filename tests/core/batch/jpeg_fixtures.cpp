#include "jpeg_fixtures.h"

#include "imaging/jpeg_rows.h" // tests/core

#include <stdexcept>
#include <vector>

namespace harpoly::testing {

std::string encodeJpeg(int width, int height) {
    std::vector<unsigned char> row(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        row[static_cast<std::size_t>(x)] =
            static_cast<unsigned char>(x * 255 / (width > 1 ? width - 1 : 1));
    }
    return encodeRepeatedRow({width, height, 1, 50, false}, row);
}

std::string segment(unsigned char marker, const std::string& payload) {
    if (payload.size() > 65533) {
        throw std::invalid_argument("segment too long");
    }
    const std::size_t length = payload.size() + 2;
    std::string s = {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                     static_cast<char>(length & 0xFF)};
    return s + payload;
}

std::string withSegmentsAfterSoi(const std::string& jpeg, const std::string& segments) {
    return jpeg.substr(0, 2) + segments + jpeg.substr(2);
}

} // namespace harpoly::testing
