#include "core/imaging/icon_source.h"

#include "core/errors.h"
#include "core/imaging/byte_reader.h"
#include "core/imaging/icon_directory.h"
#include "core/imaging/program_resources.h"
#include "core/platform/byte_source.h"

namespace harpoly {

namespace {

constexpr std::size_t kGroupHeader = 6;
constexpr std::size_t kGroupEntry = 14;

std::vector<DirectoryImage> groupImages(ByteSource& file, const ResourceSpan& group) {
    const std::vector<std::uint8_t> headerBytes = file.bytes(group.offset, kGroupHeader);
    ByteReader header(headerBytes);
    const std::size_t declared = header.u16(4);
    const std::size_t fits = (group.size - kGroupHeader) / kGroupEntry;
    const std::size_t count = std::min(declared, fits);
    const std::vector<std::uint8_t> entries =
        file.bytes(group.offset + kGroupHeader, count * kGroupEntry);
    ByteReader r(entries);
    std::vector<DirectoryImage> images;
    if (!header.ok() || entries.size() != count * kGroupEntry) {
        return images;
    }
    images.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        // An icon group's entry is an icon file's with the image's resource
        // id in place of its offset.
        DirectoryImage e = directoryEntry(r, i * kGroupEntry);
        e.id = r.u16(i * kGroupEntry + 12);
        images.push_back(e);
    }
    return images;
}

} // namespace

IconSource::IconSource() = default;
IconSource::IconSource(IconSource&&) noexcept = default;
IconSource& IconSource::operator=(IconSource&&) noexcept = default;
IconSource::~IconSource() = default;

IconSource IconSource::fromFile(const std::string& path) {
    IconSource source;
    try {
        auto file = std::make_unique<FileSource>(path);
        source.file_ = file.get();
        source.source_ = std::move(file);
        source.classify();
    } catch (const Error&) {
        return IconSource{};
    }
    return source;
}

IconSource IconSource::fromBytes(std::vector<std::uint8_t> bytes) {
    IconSource source;
    source.bytes_ = std::move(bytes);
    // The vector's buffer stays where it is when the source is moved.
    source.source_ = std::make_unique<MemorySource>(source.bytes_);
    source.classify();
    return source;
}

void IconSource::allowReading(std::uint64_t bytes) const {
    if (file_) {
        file_->allowReading(bytes);
    }
}

void IconSource::classify() {
    allowReading(kIconTableReadAllowance);
    const std::vector<std::uint8_t> head = source_->bytes(0, 6);
    if (looksLikeIconFile(head)) {
        kind_ = Kind::IconFile;
        return;
    }
    if (head.size() < 2 || head[0] != 'M' || head[1] != 'Z') {
        return;
    }
    program_ = readPeIconResources(*source_);
    if (!program_) {
        program_ = readNeIconResources(*source_);
    }
    if (program_ && !program_->groups().empty()) {
        kind_ = Kind::Program;
    }
}

int IconSource::count() const {
    switch (kind_) {
    case Kind::IconFile:
        return 1;
    case Kind::Program:
        return static_cast<int>(program_->groups().size());
    default:
        return 0;
    }
}

IconImage IconSource::icon(int index, int size) const {
    if (index < 0 || index >= count()) {
        raise(kind::InvalidGraphic);
    }
    allowReading(kIconTableReadAllowance);
    const bool iconFile = kind_ == Kind::IconFile;
    const std::vector<DirectoryImage> images =
        iconFile ? readIconDirectory(*source_)
                 : groupImages(*source_, program_->groups()[static_cast<std::size_t>(index)]);
    // A group's images are found by id, through the program's index.
    const DirectoryImageData dataOf = [&](std::size_t i) {
        return iconFile ? images[i].data : program_->image(images[i].id);
    };
    const int chosen = chooseDirectoryImage(*source_, images, size, dataOf);
    if (chosen < 0) {
        raise(kind::InvalidGraphic);
    }
    const std::optional<ResourceSpan> data = dataOf(static_cast<std::size_t>(chosen));
    allowReading(kIconTableReadAllowance + (data ? data->size : 0));
    return scaleIconImage(readIconImage(*source_, data), size, size);
}

} // namespace harpoly
