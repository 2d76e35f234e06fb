// The SMD and MGD byte orders and the SMD header.
#include <algorithm>

#include "rom/RomFormat.h"

namespace zorp {

namespace {

constexpr size_t kHalfBlock = kSmdBlockSize / 2;

// Sizes past the last whole block are not defined by the layout: keep those
// bytes where they are rather than read past the end.
size_t WholeBlocksSize(size_t size) { return size / kSmdBlockSize * kSmdBlockSize; }

void CopyTail(const Bytes& from, Bytes& to, size_t start)
{
    std::copy(from.begin() + static_cast<std::ptrdiff_t>(start), from.end(),
              to.begin() + static_cast<std::ptrdiff_t>(start));
}

} // namespace

Bytes DeInterleaveSMD(const Bytes& body)
{
    Bytes plain(body.size());
    const size_t whole = WholeBlocksSize(body.size());
    for (size_t b = 0; b < whole; b += kSmdBlockSize) {
        const uint8_t* odd = body.data() + b;
        const uint8_t* even = odd + kHalfBlock;
        uint8_t* out = plain.data() + b;
        for (size_t j = 0; j < kHalfBlock; ++j) {
            out[2 * j] = even[j];
            out[2 * j + 1] = odd[j];
        }
    }
    CopyTail(body, plain, whole);
    return plain;
}

Bytes InterleaveSMD(const Bytes& image)
{
    Bytes body(image.size());
    const size_t whole = WholeBlocksSize(image.size());
    for (size_t b = 0; b < whole; b += kSmdBlockSize) {
        const uint8_t* in = image.data() + b;
        uint8_t* odd = body.data() + b;
        uint8_t* even = odd + kHalfBlock;
        for (size_t j = 0; j < kHalfBlock; ++j) {
            even[j] = in[2 * j];
            odd[j] = in[2 * j + 1];
        }
    }
    CopyTail(image, body, whole);
    return body;
}

Bytes DeInterleaveMGD(const Bytes& file)
{
    Bytes plain(file.size());
    const size_t n = file.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        plain[2 * i + 1] = file[i];
        plain[2 * i] = file[n + i];
    }
    if (file.size() % 2)
        plain.back() = file.back();
    return plain;
}

Bytes InterleaveMGD(const Bytes& image)
{
    Bytes file(image.size());
    const size_t n = image.size() / 2;
    for (size_t i = 0; i < n; ++i) {
        file[i] = image[2 * i + 1];
        file[n + i] = image[2 * i];
    }
    if (image.size() % 2)
        file.back() = image.back();
    return file;
}

Bytes MakeSmdHeader(size_t imageSize, bool morePartsFollow)
{
    Bytes header(kSmdHeaderSize, 0);
    // The block count minus one, as copiers write it; one byte cannot say more
    // than 0xFF (a 4 MB image), so larger images saturate.
    const size_t blocks = imageSize == 0 ? 0 : (imageSize - 1) / kSmdBlockSize;
    header[0] = static_cast<uint8_t>(std::min<size_t>(blocks, 0xFF));
    header[1] = 3;
    header[2] = morePartsFollow ? 0x40 : 0;
    header[8] = 0xAA;
    header[9] = 0xBB;
    header[10] = 6;
    return header;
}

} // namespace zorp
