#include "core/imaging/jpeg_decoder.h"

#include "core/errors.h"
#include "core/imaging/fit_rect.h"
#include "core/imaging/row_shrinker.h"
#include "core/platform/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <unistd.h>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace harpoly {

namespace {

// Files up to this size are read whole with one read() and decoded from
// memory (libjpeg's fastest entropy path); larger ones are streamed.
constexpr std::size_t kWholeFileLimit = 64u << 20;
// Headers (with EXIF, ICC and other application segments) end well before this.
constexpr std::uint64_t kMaxHeaderBytes = 16u << 20;
// Memory libjpeg itself may use (the coefficient buffers of progressive files
// grow with the picture, whatever the output scale).
constexpr long kLibjpegMemoryLimit = 512L << 20;
// No camera or encoder writes more scans than this: progressive scripts use
// about ten. Each scan is a pass over the whole picture, so a small file that
// repeats one scan thousands of times would hold the window for seconds.
constexpr int kMaxScans = 100;
// Rows read from libjpeg at a time.
constexpr std::size_t kStripRows = 16;
// Output above this many pixels is not allocated up front; rows are added as
// the data delivers them, so a truncated file claiming a huge size costs little.
constexpr std::size_t kPreallocatePixels = 4u << 20;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
    bool pictureComplete = false;
    bool tooManyScans = false;
    const std::stop_token* stop = nullptr; // set while a decode may be stopped
    bool stopped = false;
};

void onJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->code = cinfo->err->msg_code;
    std::longjmp(err->jump, 1);
}

void onJpegMessage(j_common_ptr cinfo, int level) {
    // A file cut short is a damaged picture, not a grey-filled one. Other
    // warnings (stray bytes before a marker and the like) are tolerated, as
    // every viewer does.
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF && !err->pictureComplete) {
        onJpegError(cinfo);
    }
}

void onJpegOutput(j_common_ptr) {}

// libjpeg calls this between pieces of work (a call for rows, a row of
// blocks of a progressive file's scans): a decode nobody wants any more ends
// here, and so does a file with more scans than any encoder writes.
void onJpegProgress(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (err->stop != nullptr && err->stop->stop_requested()) {
        err->stopped = true;
        std::longjmp(err->jump, 1);
    }
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        err->tooManyScans = true;
        onJpegError(cinfo);
    }
}

// Streaming source over a file descriptor, for files too large to read whole.
// Until the header is read, what it may read is capped: a huge file that
// begins like a JPEG and goes on with anything but markers would otherwise
// be read to its end in search of one.
struct FdSource {
    jpeg_source_mgr pub;
    int fd;
    std::uint64_t read = 0;
    std::uint64_t limit = UINT64_MAX;
    JOCTET buffer[1 << 16];
};

void fdInit(j_decompress_ptr) {}
boolean fdFill(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<FdSource*>(cinfo->src);
    ssize_t n = 0;
    if (src->read < src->limit) {
        do {
            n = ::read(src->fd, src->buffer, sizeof src->buffer);
        } while (n < 0 && errno == EINTR);
    }
    src->read += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    if (n <= 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF); // turned into an error by onJpegMessage
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<std::size_t>(n);
    return TRUE;
}
void fdSkip(j_decompress_ptr cinfo, long count) {
    while (count > 0) {
        auto& pub = cinfo->src;
        if (static_cast<std::size_t>(count) <= pub->bytes_in_buffer) {
            pub->next_input_byte += count;
            pub->bytes_in_buffer -= static_cast<std::size_t>(count);
            return;
        }
        count -= static_cast<long>(pub->bytes_in_buffer);
        pub->bytes_in_buffer = 0;
        fdFill(cinfo);
    }
}
void fdTerm(j_decompress_ptr) {}

// Everything the decode touches lives here, outside the function that calls
// setjmp, so that a longjmp out of libjpeg skips no destructor.
struct DecodeJob {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    DecodeTarget target;
    bool created = false;
    bool tooLarge = false;
    DecodedPicture result;
    std::vector<unsigned char> cmykRow;
    // For a decode to the drawn size: rows are read into the strip and
    // handed to the shrinker.
    std::optional<RowShrinker> shrinker;
    std::vector<std::uint32_t> strip;

    ~DecodeJob() {
        if (created) {
            jpeg_destroy_decompress(&cinfo);
        }
    }
};

// Adobe applications store the inks inverted (255 means no ink), which is
// what the multiplication below wants; plain CMYK is turned round first.
inline std::uint32_t cmykToArgb(unsigned c, unsigned m, unsigned y, unsigned k, bool inverted) {
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    const unsigned r = (c * k + 127) / 255;
    const unsigned g = (m * k + 127) / 255;
    const unsigned b = (y * k + 127) / 255;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// Returns false when libjpeg reported an error (the kind is in job.err.code).
bool runDecode(DecodeJob& job, const unsigned char* data, std::size_t size, FdSource* stream) {
    jpeg_decompress_struct& cinfo = job.cinfo;
    if (setjmp(job.err.jump)) {
        return false;
    }
    jpeg_create_decompress(&cinfo);
    job.created = true;
    cinfo.mem->max_memory_to_use = kLibjpegMemoryLimit;
    job.progress.progress_monitor = onJpegProgress;
    cinfo.progress = &job.progress;
    if (job.target.stop.stop_possible()) {
        job.err.stop = &job.target.stop;
    }
    if (stream) {
        stream->pub.init_source = fdInit;
        stream->pub.fill_input_buffer = fdFill;
        stream->pub.skip_input_data = fdSkip;
        stream->pub.resync_to_restart = jpeg_resync_to_restart;
        stream->pub.term_source = fdTerm;
        stream->pub.bytes_in_buffer = 0;
        stream->pub.next_input_byte = nullptr;
        stream->limit = kMaxHeaderBytes;
        cinfo.src = &stream->pub;
    } else {
        jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    }
    jpeg_read_header(&cinfo, TRUE);
    if (stream) {
        stream->limit = UINT64_MAX;
    }

    const int width = static_cast<int>(cinfo.image_width);
    const int height = static_cast<int>(cinfo.image_height);
    job.result.width = width;
    job.result.height = height;

    int denom = jpegScaleDenominator(width, height, job.target.boxWidth, job.target.boxHeight);
    const auto scaledPixels = [&](int d) {
        return static_cast<long long>((width + d - 1) / d) * ((height + d - 1) / d);
    };
    while (denom < 8 && scaledPixels(denom) > kMaxDecodedPixels) {
        denom *= 2;
    }
    if (scaledPixels(denom) > kMaxDecodedPixels) {
        job.tooLarge = true;
        return true;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(denom);
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    // At a reduced scale the picture is shrunk again on screen: the faster
    // integer transform and plain chroma replication are not visible there.
    if (denom > 1) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&cinfo);

    const int outWidth = static_cast<int>(cinfo.output_width);
    const int outHeight = static_cast<int>(cinfo.output_height);
    const std::size_t rowPixels = static_cast<std::size_t>(outWidth);
    if (cmyk) {
        job.cmykRow.resize(rowPixels * 4);
    }
    // Rows are read into the strip and handed to the shrinker, or straight
    // into the picture.
    std::optional<RowShrinker>& shrinker = job.shrinker;
    std::vector<std::uint32_t>& strip = job.strip;
    if (job.target.drawnSize && job.target.boxWidth > 0 && job.target.boxHeight > 0) {
        const DrawRect drawn =
            pictureRect(width, height, job.target.boxWidth, job.target.boxHeight);
        if (drawn.width < outWidth || drawn.height < outHeight) {
            shrinker.emplace(outWidth, outHeight, std::max(1, std::min(drawn.width, outWidth)),
                             std::max(1, std::min(drawn.height, outHeight)));
            strip.resize(rowPixels * kStripRows);
        }
    }
    RgbaImage& image = job.result.image;
    std::size_t allocatedRows = 0;
    if (!shrinker) {
        image.width = outWidth;
        image.height = outHeight;
        const std::size_t total = rowPixels * static_cast<std::size_t>(outHeight);
        allocatedRows = total <= kPreallocatePixels
                            ? static_cast<std::size_t>(outHeight)
                            : std::max<std::size_t>(1, kPreallocatePixels / rowPixels);
        image.pixels.resize(allocatedRows * rowPixels);
    }

    while (cinfo.output_scanline < cinfo.output_height) {
        const std::size_t y = cinfo.output_scanline;
        std::uint32_t* into = nullptr;
        std::size_t room = kStripRows;
        if (shrinker) {
            into = strip.data();
        } else {
            if (y >= allocatedRows) {
                allocatedRows = std::min<std::size_t>(outHeight, allocatedRows * 2);
                image.pixels.resize(allocatedRows * rowPixels);
            }
            into = image.pixels.data() + y * rowPixels;
            room = std::min<std::size_t>(kStripRows, allocatedRows - y);
        }
        std::size_t got = 0;
        if (cmyk) {
            JSAMPROW row = job.cmykRow.data();
            got = jpeg_read_scanlines(&cinfo, &row, 1);
            const bool inverted = cinfo.saw_Adobe_marker;
            const unsigned char* p = job.cmykRow.data();
            for (std::size_t x = 0; x < rowPixels; ++x, p += 4) {
                into[x] = cmykToArgb(p[0], p[1], p[2], p[3], inverted);
            }
        } else {
            JSAMPROW rows[kStripRows];
            for (std::size_t i = 0; i < room; ++i) {
                rows[i] = reinterpret_cast<JSAMPROW>(into + i * rowPixels);
            }
            got = jpeg_read_scanlines(&cinfo, rows, static_cast<JDIMENSION>(room));
        }
        if (shrinker) {
            for (std::size_t i = 0; i < got; ++i) {
                shrinker->addRow(strip.data() + i * rowPixels);
            }
        }
    }
    if (shrinker) {
        image = shrinker->take();
    }
    // Every row is in: what follows the picture data (a missing end marker,
    // trailing bytes) does not matter, so the rest of the file is not read.
    job.err.pictureComplete = true;
    return true;
}

DecodedPicture decode(DecodeJob& job, const unsigned char* data, std::size_t size,
                      FdSource* stream) {
    job.cinfo.err = jpeg_std_error(&job.err.pub);
    job.err.pub.error_exit = onJpegError;
    job.err.pub.emit_message = onJpegMessage;
    job.err.pub.output_message = onJpegOutput;
    bool decoded = false;
    try {
        decoded = runDecode(job, data, size, stream);
    } catch (const std::bad_alloc&) {
        raise(kind::OutOfMemory, "no memory for the JPEG picture");
    }
    if (job.err.stopped) {
        return {};
    }
    if (!decoded) {
        if (job.err.tooManyScans) {
            raise(kind::JPEG, "more scans than any JPEG encoder writes");
        }
        if (job.err.code == JERR_NO_BACKING_STORE || job.err.code == JERR_OUT_OF_MEMORY) {
            raise(kind::InvalidGraphic, "JPEG picture too large");
        }
        char text[JMSG_LENGTH_MAX] = {};
        job.err.pub.format_message(reinterpret_cast<j_common_ptr>(&job.cinfo), text);
        raise(kind::JPEG, text);
    }
    if (job.tooLarge) {
        raise(kind::InvalidGraphic, "JPEG picture too large");
    }
    return std::move(job.result);
}

} // namespace

int jpegScaleDenominator(int width, int height, int needWidth, int needHeight) {
    if (width <= 0 || height <= 0 || needWidth <= 0 || needHeight <= 0) {
        return 1;
    }
    const DrawRect drawn = pictureRect(width, height, needWidth, needHeight);
    // libjpeg's scaled output is the size divided by the denominator, rounded up.
    for (int denom = 8; denom > 1; denom /= 2) {
        if ((width + denom - 1) / denom >= drawn.width &&
            (height + denom - 1) / denom >= drawn.height) {
            return denom;
        }
    }
    return 1;
}

DecodedPicture decodeJpegMemory(const unsigned char* data, std::size_t size,
                                const DecodeTarget& target) {
    if (size == 0) {
        raise(kind::JPEG, "empty JPEG data");
    }
    auto job = std::make_unique<DecodeJob>();
    job->target = target;
    return decode(*job, data, size, nullptr);
}

DecodedPicture decodeJpegFile(const std::string& path, const DecodeTarget& target) {
    ReadableFile file(path);
    auto job = std::make_unique<DecodeJob>();
    job->target = target;
    // The start of image marker first, so that a large file of another kind
    // is refused without being read.
    std::uint8_t soi[2] = {};
    if (file.readAt(0, soi, 2) < 2 || soi[0] != 0xFF || soi[1] != 0xD8) {
        raise(kind::JPEG, "not a JPEG file");
    }
    if (file.size() > kWholeFileLimit) {
        auto stream = std::make_unique<FdSource>();
        stream->fd = file.fd();
        return decode(*job, nullptr, 0, stream.get());
    }
    // The whole file at once; decoding from memory lets libjpeg use its fast
    // entropy decoder on every block.
    const FileBytes bytes = file.read(kWholeFileLimit);
    if (bytes.size == 0) {
        raise(kind::JPEG, "empty JPEG file");
    }
    return decode(*job, bytes.data.get(), bytes.size, nullptr);
}

DecodedPicture decodeJpegMemory(const unsigned char* data, std::size_t size, int needWidth,
                                int needHeight) {
    return decodeJpegMemory(data, size, DecodeTarget{needWidth, needHeight, false, {}});
}

DecodedPicture decodeJpegFile(const std::string& path, int needWidth, int needHeight) {
    return decodeJpegFile(path, DecodeTarget{needWidth, needHeight, false, {}});
}

} // namespace harpoly
