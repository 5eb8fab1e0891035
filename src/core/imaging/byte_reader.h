#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace harpoly {

// Little-endian reads from a byte range with every access checked. A read past
// the end yields `ok() == false` and zeros, so parsers test once at the end of
// a structure instead of before every field.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}
    // The reader keeps no copy: a temporary buffer would be gone at once.
    explicit ByteReader(std::vector<std::uint8_t>&&) = delete;

    std::size_t size() const { return data_.size(); }
    bool ok() const { return ok_; }
    bool has(std::size_t offset, std::size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    std::uint8_t u8(std::size_t offset) {
        if (!has(offset, 1)) {
            ok_ = false;
            return 0;
        }
        return data_[offset];
    }
    std::uint16_t u16(std::size_t offset) {
        if (!has(offset, 2)) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) {
        if (!has(offset, 4)) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint32_t>(data_[offset]) |
               static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
               static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
               static_cast<std::uint32_t>(data_[offset + 3]) << 24;
    }
    std::int32_t i32(std::size_t offset) { return static_cast<std::int32_t>(u32(offset)); }

    // The sub-range [offset, offset + length), or an empty span when it does
    // not lie wholly inside the data.
    std::span<const std::uint8_t> slice(std::size_t offset, std::size_t length) const {
        if (!has(offset, length)) {
            return {};
        }
        return data_.subspan(offset, length);
    }

private:
    std::span<const std::uint8_t> data_;
    bool ok_ = true;
};

} // namespace harpoly
