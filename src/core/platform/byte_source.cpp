#include "core/platform/byte_source.h"

#include "core/errors.h"

#include <algorithm>
#include <cstring>

namespace harpoly {

namespace {
constexpr std::size_t kBlockSize = 16 * 1024;
constexpr std::size_t kBlockCount = 16; // 256 KiB of cache
} // namespace

std::vector<std::uint8_t> ByteSource::bytes(std::uint64_t offset, std::size_t length) {
    if (!has(offset, length)) {
        return {};
    }
    std::vector<std::uint8_t> out(length);
    if (!read(offset, out)) {
        return {};
    }
    return out;
}

bool MemorySource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (!has(offset, out.size())) {
        return false;
    }
    if (!out.empty()) {
        std::memcpy(out.data(), data_.data() + offset, out.size());
    }
    return true;
}

FileSource::FileSource(const std::string& path) : file_(path) {}

bool FileSource::fetch(std::uint64_t offset, std::uint8_t* out, std::size_t length) {
    if (length > allowance_) {
        allowance_ = 0;
        return false;
    }
    allowance_ -= length;
    fetched_ += length;
    try {
        return file_.readAt(offset, out, length) == length;
    } catch (const Error&) {
        return false;
    }
}

const FileSource::Block* FileSource::block(std::uint64_t index) {
    ++clock_;
    for (Block& b : blocks_) {
        if (b.index == index) {
            b.lastUse = clock_;
            return &b;
        }
    }
    Block* slot = nullptr;
    if (blocks_.size() < kBlockCount) {
        slot = &blocks_.emplace_back();
    } else {
        slot =
            &*std::min_element(blocks_.begin(), blocks_.end(), [](const Block& a, const Block& b) {
                return a.lastUse < b.lastUse;
            });
    }
    const std::uint64_t start = index * kBlockSize;
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size() - start));
    slot->index = UINT64_MAX;
    slot->data.resize(length);
    if (!fetch(start, slot->data.data(), length)) {
        return nullptr;
    }
    slot->index = index;
    slot->lastUse = clock_;
    return slot;
}

bool FileSource::read(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (!has(offset, out.size())) {
        return false;
    }
    if (out.size() >= kBlockSize) {
        return fetch(offset, out.data(), out.size());
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const std::uint64_t at = offset + done;
        const Block* b = block(at / kBlockSize);
        if (!b) {
            return false;
        }
        const std::size_t within = static_cast<std::size_t>(at % kBlockSize);
        if (within >= b->data.size()) {
            return false;
        }
        const std::size_t n = std::min(out.size() - done, b->data.size() - within);
        std::memcpy(out.data() + done, b->data.data() + within, n);
        done += n;
    }
    return true;
}

} // namespace harpoly
