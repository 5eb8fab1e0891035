#pragma once

#include <string>

namespace harpoly::testing {

// A grey JPEG picture of the given size, encoded by libjpeg.
std::string encodeJpeg(int width, int height);

// `jpeg` with `segments` inserted right after its start-of-image marker.
std::string withSegmentsAfterSoi(const std::string& jpeg, const std::string& segments);

// One marker segment: FF, marker, big-endian length, payload (at most 65533 bytes).
std::string segment(unsigned char marker, const std::string& payload);

} // namespace harpoly::testing
