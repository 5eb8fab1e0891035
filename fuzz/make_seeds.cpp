// Writes the seed corpus of every fuzz target: small sound inputs of each
// format, made by the tests' own builders, one folder per target.
//
//     make_seeds <folder>

#include "generate/icon_test_files.h"
#include "imaging/metafile_builder.h"
#include "imaging/test_pictures.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using harpoly::icon_test::Bytes;
namespace pictures = harpoly::preview_testing;
namespace icons = harpoly::icon_test;

class Seeds {
public:
    Seeds(std::filesystem::path root, const std::string& target) : folder_(root / target) {
        std::filesystem::create_directories(folder_);
    }
    template <typename Data> void add(const Data& data) {
        std::ofstream(folder_ / ("seed-" + std::to_string(next_++)), std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
    }
    void add(const char* text) { add(std::string(text)); }

private:
    std::filesystem::path folder_;
    int next_ = 0;
};

std::uint32_t checker(int x, int y) {
    return (x + y) % 2 ? 0x102030 : 0xF0E0D0;
}
std::uint32_t index(int x, int y) {
    return static_cast<std::uint32_t>(x + y) % 2;
}

void bitmaps(Seeds& seeds) {
    std::vector<std::uint32_t> palette(16, 0x808080);
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        pictures::BmpSpec layout;
        layout.width = 7;
        layout.height = 3;
        layout.bitCount = bits;
        if (bits <= 8) {
            layout.palette.assign(std::size_t{1} << std::min(bits, 4), 0x204060);
        }
        seeds.add(pictures::makeBmp(layout, bits <= 8 ? index : checker));
        layout.topDown = true;
        seeds.add(pictures::makeBmp(layout, bits <= 8 ? index : checker));
    }
    pictures::BmpSpec masks;
    masks.bitCount = 16;
    masks.masks565 = true;
    seeds.add(pictures::makeBmp(masks, checker));
    // Run-length data: runs, an absolute run, a delta, end of line and bitmap.
    for (int bits : {8, 4}) {
        pictures::BmpSpec layout;
        layout.width = 6;
        layout.height = 2;
        layout.bitCount = bits;
        layout.palette = palette;
        auto v = pictures::makeBmp(layout, index);
        const std::size_t offset = v[10] | v[11] << 8;
        v.resize(offset);
        v[30] = static_cast<unsigned char>(bits == 8 ? 1 : 2);
        v.insert(v.end(), {3, 1, 0, 3, 2, 2, 3, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 1});
        seeds.add(v);
    }
}

void jpegs(Seeds& seeds) {
    using pictures::JpegColour;
    for (JpegColour colour : {JpegColour::Rgb, JpegColour::Grey, JpegColour::AdobeCmyk}) {
        for (bool progressive : {false, true}) {
            pictures::JpegSpec layout;
            layout.width = 24;
            layout.height = 17;
            layout.colour = colour;
            layout.progressive = progressive;
            seeds.add(pictures::makeJpeg(layout));
        }
    }
}

icons::Image gradientImage(int size, int bits) {
    return {size, size, bits,
            icons::dibImage(
                size, size, bits,
                [=](int x, int y) -> std::uint32_t {
                    return bits <= 8 ? static_cast<std::uint32_t>(x + y) % (1u << bits)
                                     : 0x80000000u | static_cast<std::uint32_t>(x * 8 + y);
                },
                [](int x, int y) { return x + y < 3; })};
}

icons::Image pngIcon(int size) {
    return {size, size, 32,
            icons::pngImage(size, size, [](int x, int y) { return 0x80000000u | (x * 16 + y); })};
}

std::vector<std::vector<icons::Image>> iconGroups() {
    return {{gradientImage(16, 4), gradientImage(32, 8)}, {gradientImage(32, 32)}, {pngIcon(16)}};
}

void iconFiles(Seeds& seeds) {
    for (int bits : {1, 4, 8, 24, 32}) {
        seeds.add(icons::icoFile({gradientImage(16, bits)}));
    }
    seeds.add(icons::icoFile({gradientImage(16, 4), gradientImage(32, 8), pngIcon(24)}));
}

void programs(Seeds& pe, Seeds& ne) {
    pe.add(icons::peFile(iconGroups(), false));
    pe.add(icons::peFile(iconGroups(), true));
    pe.add(icons::peFile({{gradientImage(16, 4)}}));
    ne.add(icons::neFile(iconGroups()));
    ne.add(icons::neFile({{gradientImage(32, 4)}}, 9));
}

void pngs(Seeds& seeds) {
    seeds.add(icons::pngImage(8, 8, [](int x, int y) { return 0xFF000000u | (x * 32 + y); }));
    seeds.add(pngIcon(3).data);
}

void texts(Seeds& settings, Seeds& rtf, Seeds& text, Seeds& wildcard, Seeds& mounts) {
    settings.add("[Ext]\r\nExt=txt,htm,html,php,bat,ini,asx,smil,css,mpg,jpg,bmp,ico\r\n"
                 "Txt=txt,htm\r\nImg=jpg,jpeg,bmp,ico\r\n\r\n[Set]\r\nH=0x1F4\r\nW=650\r\n"
                 "Max=1\r\nDir = /home/user/Photos/\r\n; a comment\r\n[ShortCut]\r\nK1=8205\r\n");
    settings.add("\"a, b\",c,,\"say \"\"hi\"\"\", d\te,");
    rtf.add("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}"
            "{\\colortbl;\\red255\\green0\\blue0;}\\f0\\fs24 plain \\b bold\\b0 "
            "\\cf1 red\\par\\qc centre \\'82\\'a0\\line next{\\*\\unknown skipped}\\par}");
    rtf.add("{\\rtf1{\\pict\\pngblip 89504e47}{\\info{\\title t}}\\u12354?\\tab x}}}");
    text.add("plain ASCII\nsecond line\n");
    text.add(std::string("\xEF\xBB\xBFUTF-8 with a mark \xE3\x81\x82"));
    text.add(std::string("\xFF\xFEh\0i\0", 6));
    text.add(std::string("\xFE\xFF\0h\0i", 6));
    text.add(std::string("\x82\xa0\x82\xa2 Shift-JIS \x95\\"));
    wildcard.add(std::string("*.jpg\0photo.JPG", 15));
    wildcard.add(std::string("a?c*.*\0abcdef", 13));
    wildcard.add(std::string("sub/\x95\\*.txt\0\x95\\a.txt", 20));
    mounts.add("/dev/sda1 / ext4 rw,relatime 0 0\n"
               "proc /proc proc rw 0 0\n"
               "/dev/sdb1 /media/user/USB\\040STICK vfat rw 0 0\n"
               "server:/home /net/home nfs4 rw 0 0\n"
               "/dev/fuse /mnt/ntfs fuseblk rw 0 0\n"
               "tmpfs /run tmpfs rw 0 0\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::filesystem::path root = argv[1];
    Seeds bmp(root, "bmp"), jpeg(root, "jpeg"), jpegSize(root, "jpeg_size"),
        iconFile(root, "icon_file"), pe(root, "pe_resources"), ne(root, "ne_resources"),
        png(root, "png"), settings(root, "settings"), rtf(root, "rtf"), text(root, "text"),
        wildcard(root, "wildcard"), mounts(root, "mount_table"), metafile(root, "metafile");
    bitmaps(bmp);
    jpegs(jpeg);
    jpegs(jpegSize);
    iconFiles(iconFile);
    programs(pe, ne);
    pngs(png);
    texts(settings, rtf, text, wildcard, mounts);
    for (const auto& sample : harpoly::metafile_testing::sampleMetafiles()) {
        metafile.add(sample);
    }
    return 0;
}
