#include "core/imaging/metafile_text.h"

namespace harpoly::metafile {

namespace {

// Bytes of the character starting with `lead` in a double-byte code page.
std::size_t charBytes(std::uint8_t charset, unsigned char lead) {
    switch (charset) {
    case 1:   // DEFAULT_CHARSET
    case 128: // SHIFTJIS_CHARSET
    case 255: // OEM_CHARSET
        return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
    case 129: // HANGUL_CHARSET
    case 134: // GB2312_CHARSET
    case 136: // CHINESEBIG5_CHARSET
        return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
    default:
        return 1;
    }
}

std::size_t codePoints(std::string_view utf8) {
    std::size_t n = 0;
    for (const char c : utf8) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return n;
}

} // namespace

const char* charsetName(std::uint8_t charset) {
    switch (charset) {
    case 0:
        return "CP1252";
    case 2: // SYMBOL_CHARSET: the bytes name glyphs; Latin-1 keeps them readable
        return "CP1252";
    case 77:
        return "MACINTOSH";
    case 129:
        return "CP949";
    case 130:
        return "JOHAB";
    case 134:
        return "CP936";
    case 136:
        return "CP950";
    case 161:
        return "CP1253";
    case 162:
        return "CP1254";
    case 163:
        return "CP1258";
    case 177:
        return "CP1255";
    case 178:
        return "CP1256";
    case 186:
        return "CP1257";
    case 204:
        return "CP1251";
    case 222:
        return "CP874";
    case 238:
        return "CP1250";
    default: // DEFAULT_CHARSET, SHIFTJIS_CHARSET, OEM_CHARSET and the unknown
        return "CP932";
    }
}

std::string TextDecoder::ansi(std::uint8_t charset, std::string_view bytes,
                              std::span<const double> advances, std::vector<double>& advancesOut) {
    advancesOut.clear();
    const char* name = charsetName(charset);
    auto it = decoders_.find(name);
    if (it == decoders_.end()) {
        it = decoders_.emplace(name, std::make_unique<CharsetDecoder>(name)).first;
    }
    std::string text = it->second->decode(bytes);
    if (advances.size() < bytes.size()) {
        return text;
    }
    std::vector<double> folded;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n =
            std::min(charBytes(charset, static_cast<unsigned char>(bytes[i])), bytes.size() - i);
        double sum = 0;
        for (std::size_t k = 0; k < n; ++k) {
            sum += advances[i + k];
        }
        folded.push_back(sum);
        i += n;
    }
    if (folded.size() == codePoints(text)) {
        advancesOut = std::move(folded);
    }
    return text;
}

std::string TextDecoder::utf16(std::span<const std::uint8_t> bytes,
                               std::span<const double> advances, std::vector<double>& advancesOut) {
    advancesOut.clear();
    const std::size_t units = bytes.size() / 2;
    const bool withAdvances = advances.size() >= units;
    std::string text;
    text.reserve(units);
    const auto unit = [&](std::size_t i) -> char32_t {
        return bytes[2 * i] | bytes[2 * i + 1] << 8;
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        double advance = withAdvances ? advances[i] : 0;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            advance += withAdvances ? advances[i + 1] : 0;
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c == 0) {
            continue;
        }
        appendUtf8(text, c);
        if (withAdvances) {
            advancesOut.push_back(advance);
        }
    }
    return text;
}

std::string faceFromUtf16(std::span<const std::uint8_t> bytes) {
    std::string face;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t c = bytes[i] | bytes[i + 1] << 8;
        if (c == 0) {
            break;
        }
        appendUtf8(face, c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
    }
    return face;
}

} // namespace harpoly::metafile
