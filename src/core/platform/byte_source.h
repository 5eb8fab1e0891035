#pragma once

#include "core/platform/whole_file.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace harpoly {

// Random access to the bytes of a file or of a buffer. Readers of file
// formats fetch the headers, tables and images they need through it, so that
// what they read is bounded by what they return, not by the file's size.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    virtual std::uint64_t size() const = 0;

    // Copies the bytes [offset, offset + out.size()) into `out`. False, with
    // `out` unspecified, when they do not lie wholly inside the source or
    // cannot be read.
    virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;

    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size() && length <= size() - offset;
    }

    // The bytes [offset, offset + length); empty when they are not all there.
    std::vector<std::uint8_t> bytes(std::uint64_t offset, std::size_t length);
};

// A buffer held by someone else, which must outlive the source.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> data) : data_(data) {}
    MemorySource(const unsigned char* data, std::size_t size) : data_(data, size) {}

    std::uint64_t size() const override { return data_.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

private:
    std::span<const std::uint8_t> data_;
};

// A regular file, read with positioned reads. Small reads go through a few
// cached blocks, so that a walk over neighbouring table entries costs few
// system calls. An allowance caps the bytes fetched from the file: once it is
// spent, reads fail as if the data were missing, which bounds the work that a
// hostile file's tables can ask for.
class FileSource final : public ByteSource {
public:
    // Throws Error(kind::FOpen) when the file cannot be opened or is no
    // regular file.
    explicit FileSource(const std::string& path);

    std::uint64_t size() const override { return file_.size(); }
    bool read(std::uint64_t offset, std::span<std::uint8_t> out) override;

    // From now on, at most `bytes` more are fetched from the file.
    void allowReading(std::uint64_t bytes) { allowance_ = bytes; }
    // Bytes fetched from the file so far (cached blocks count once).
    std::uint64_t bytesFetched() const { return fetched_; }

private:
    struct Block {
        std::uint64_t index = UINT64_MAX;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> data; // shorter than a block at the file's end
    };

    bool fetch(std::uint64_t offset, std::uint8_t* out, std::size_t length);
    const Block* block(std::uint64_t index);

    ReadableFile file_;
    std::vector<Block> blocks_;
    std::uint64_t clock_ = 0;
    std::uint64_t allowance_ = UINT64_MAX;
    std::uint64_t fetched_ = 0;
};

} // namespace harpoly
