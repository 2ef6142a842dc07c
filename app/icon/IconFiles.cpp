#include "app/icon/IconFiles.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

void PutBig32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutChunk(std::vector<uint8_t>& out, std::string_view type, const std::vector<uint8_t>& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        PutLittle(out, static_cast<uint32_t>(length), 2);
        PutLittle(out, static_cast<uint32_t>(~length & 0xFFFF), 2);
        out.insert(out.end(), raw.begin() + static_cast<long>(offset), raw.begin() + static_cast<long>(offset + length));
        offset += length;
    } while (offset < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

// The image as a bitmap of the .ico: header, BGRA rows from the bottom, then
// the mask (1 = transparent), each row padded to 4 bytes.
std::vector<uint8_t> IcoBitmap(const IconImage& image) {
    const int side = image.side;
    const int maskRow = ((side + 31) / 32) * 4;
    std::vector<uint8_t> out;
    PutLittle(out, 40, 4);
    PutLittle(out, static_cast<uint32_t>(side), 4);
    PutLittle(out, static_cast<uint32_t>(side * 2), 4);  // colour and mask
    PutLittle(out, 1, 2);
    PutLittle(out, 32, 2);
    PutLittle(out, 0, 4);  // uncompressed
    PutLittle(out, static_cast<uint32_t>(side * side * 4 + maskRow * side), 4);
    for (int i = 0; i < 4; ++i) PutLittle(out, 0, 4);
    for (int y = side - 1; y >= 0; --y) {
        for (int x = 0; x < side; ++x) {
            const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * side + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (int y = side - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskRow), 0);
        for (int x = 0; x < side; ++x) {
            if (image.Alpha(x, y) == 0) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<uint8_t> EncodePng(const IconImage& image) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(image.side));
    PutBig32(header, static_cast<uint32_t>(image.side));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits per channel, RGBA
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> raw;
    const size_t row = static_cast<size_t>(image.side) * 4;
    for (int y = 0; y < image.side; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), image.rgba.begin() + static_cast<long>(y * row),
                   image.rgba.begin() + static_cast<long>((y + 1) * row));
    }
    PutChunk(out, "IDAT", Zlib(raw));
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> EncodeIco(const std::vector<IconImage>& images) {
    std::vector<uint8_t> out;
    PutLittle(out, 0, 2);
    PutLittle(out, 1, 2);  // an icon, not a cursor
    PutLittle(out, static_cast<uint32_t>(images.size()), 2);
    std::vector<std::vector<uint8_t>> bitmaps;
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IconImage& image : images) {
        bitmaps.push_back(IcoBitmap(image));
        out.push_back(static_cast<uint8_t>(image.side >= 256 ? 0 : image.side));
        out.push_back(static_cast<uint8_t>(image.side >= 256 ? 0 : image.side));
        out.push_back(0);  // no palette
        out.push_back(0);
        PutLittle(out, 1, 2);   // planes
        PutLittle(out, 32, 2);  // bits per pixel
        PutLittle(out, static_cast<uint32_t>(bitmaps.back().size()), 4);
        PutLittle(out, offset, 4);
        offset += static_cast<uint32_t>(bitmaps.back().size());
    }
    for (const std::vector<uint8_t>& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
    return out;
}
