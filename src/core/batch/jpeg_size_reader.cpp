#include "core/batch/jpeg_size_reader.h"

#include "core/errors.h"
#include "core/platform/file_descriptor.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace harpoly {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return;
// ours jumps back to readHeader instead of ending the process.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Feeds libjpeg from a file descriptor in chunks, so that only the part of
// the file the header needs is read.
struct FdSource {
    jpeg_source_mgr base;
    int fd = -1;
    bool readFailed = false;
    JOCTET* buffer = nullptr;
    std::size_t bufferSize = 0;
};

constexpr std::size_t kChunk = 4 * 1024; // most headers end within the first block
const JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void outputNothing(j_common_ptr) {}

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<FdSource*>(cinfo->src);
    ssize_t n;
    do {
        n = ::read(src->fd, src->buffer, src->bufferSize);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        src->readFailed = true;
        errorExit(reinterpret_cast<j_common_ptr>(cinfo));
    }
    if (n == 0) {
        // The end of the file: a fake end-of-image marker lets libjpeg report
        // the missing header as its own error.
        src->base.next_input_byte = kFakeEoi;
        src->base.bytes_in_buffer = sizeof kFakeEoi;
        return TRUE;
    }
    src->base.next_input_byte = src->buffer;
    src->base.bytes_in_buffer = static_cast<std::size_t>(n);
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<FdSource*>(cinfo->src);
    if (count <= 0) {
        return;
    }
    auto remaining = static_cast<std::size_t>(count);
    if (remaining <= src->base.bytes_in_buffer) {
        src->base.next_input_byte += remaining;
        src->base.bytes_in_buffer -= remaining;
        return;
    }
    remaining -= src->base.bytes_in_buffer;
    src->base.bytes_in_buffer = 0;
    // A long segment (an EXIF block with its thumbnail) is skipped by seeking
    // over it rather than reading it.
    if (::lseek(src->fd, static_cast<off_t>(remaining), SEEK_CUR) < 0) {
        src->readFailed = true;
        errorExit(reinterpret_cast<j_common_ptr>(cinfo));
    }
}

void termSource(j_decompress_ptr) {}

// Kept free of C++ objects with destructors: a longjmp out of libjpeg lands
// on the setjmp here and must not skip any.
bool readHeader(jpeg_decompress_struct* cinfo, ErrorManager* err) {
    if (setjmp(err->jump) != 0) {
        return false;
    }
    jpeg_read_header(cinfo, TRUE);
    return true;
}

} // namespace

struct JpegSizeReader::State {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    FdSource source{};
    std::vector<JOCTET> buffer = std::vector<JOCTET>(kChunk);
    bool created = false;
};

JpegSizeReader::JpegSizeReader() : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.cinfo.err = jpeg_std_error(&s.err.base);
    s.err.base.error_exit = errorExit;
    s.err.base.output_message = outputNothing;
    if (setjmp(s.err.jump) != 0) {
        raise(kind::OutOfMemory);
    }
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.source.base.init_source = initSource;
    s.source.base.fill_input_buffer = fillInputBuffer;
    s.source.base.skip_input_data = skipInputData;
    s.source.base.resync_to_restart = jpeg_resync_to_restart;
    s.source.base.term_source = termSource;
    s.source.buffer = s.buffer.data();
    s.source.bufferSize = s.buffer.size();
    s.cinfo.src = &s.source.base;
}

JpegSizeReader::~JpegSizeReader() {
    if (state_->created) {
        jpeg_destroy_decompress(&state_->cinfo);
    }
}

PixelSize JpegSizeReader::read(const std::string& path) {
    // O_NONBLOCK: a name that has meanwhile become a FIFO must not hang us.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        raise(kind::FOpen, "EFOpenError: " + path);
    }
    if (st.st_size == 0) {
        return {};
    }

    State& s = *state_;
    s.source.fd = fd.get();
    s.source.readFailed = false;
    s.source.base.next_input_byte = nullptr;
    s.source.base.bytes_in_buffer = 0;
    const bool ok = readHeader(&s.cinfo, &s.err);
    const PixelSize size{static_cast<int>(s.cinfo.image_width),
                         static_cast<int>(s.cinfo.image_height)};
    const bool readFailed = s.source.readFailed;
    jpeg_abort_decompress(&s.cinfo); // ready for the next file
    s.source.fd = -1;
    if (readFailed) {
        raise(kind::ReadError, "EReadError: " + path);
    }
    if (!ok) {
        raise(kind::JPEG, "EJPEG: " + path);
    }
    return size;
}

} // namespace harpoly
