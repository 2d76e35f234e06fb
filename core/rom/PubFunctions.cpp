#include "rom/PubFunctions.h"

#include <cstdlib>

namespace zorp {

std::string UpperAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string TrimSpaces(const std::string& text)
{
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string PadLeftZeros(const std::string& text, int width)
{
    if (width <= 0)
        return {};
    size_t w = static_cast<size_t>(width);
    if (text.size() >= w)
        return text.substr(text.size() - w);
    return std::string(w - text.size(), '0') + text;
}

std::string ByteToBits(uint8_t value)
{
    std::string bits(8, '0');
    for (int i = 0; i < 8; ++i) {
        if (value & (0x80 >> i))
            bits[static_cast<size_t>(i)] = '1';
    }
    return bits;
}

uint8_t BitsToByte(const std::string& bits)
{
    unsigned value = 0;
    unsigned weight = 1;
    // Only the last eight characters have a weight that fits a byte.
    for (size_t i = bits.size(), n = 0; i > 0 && n < 8; --i, ++n) {
        if (bits[i - 1] == '1')
            value += weight;
        weight <<= 1;
    }
    return static_cast<uint8_t>(value);
}

std::string JoinPath(const std::string& dir, const std::string& fileName)
{
    if (dir.empty())
        return fileName;
    if (dir.back() == '/')
        return dir + fileName;
    return dir + "/" + fileName;
}

std::string FileNameOfPath(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TempDirectory()
{
    const char* env = std::getenv("TMPDIR");
    std::string dir = (env && *env) ? env : "/tmp";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

std::optional<HeaderIdentity> ReadHeaderIdentity(const std::string& romPath, bool lockOn)
{
    const uint64_t base = lockOn ? 0x200000 : 0;
    auto size = FileSize(romPath);
    if (!size || *size < base + 0x180 + 11)
        return std::nullopt;
    auto title = ReadBytesAt(romPath, base + 0x120, 96);
    auto serial = ReadBytesAt(romPath, base + 0x180, 11);
    if (!title || !serial)
        return std::nullopt;
    return HeaderIdentity{std::string(serial->begin(), serial->end()), std::string(title->begin(), title->end())};
}

std::optional<int32_t> ReadSmsProductCode(const std::string& romPath)
{
    auto size = FileSize(romPath);
    if (!size || *size < 0x7FFE)
        return std::nullopt;
    auto bytes = ReadBytesAt(romPath, 0x7FFC, 2);
    if (!bytes)
        return std::nullopt;
    return static_cast<int32_t>((*bytes)[0] + 256 * (*bytes)[1]);
}

std::optional<std::string> ReadGbaIdentity(const std::string& romPath)
{
    auto size = FileSize(romPath);
    if (!size || *size < 0xA0 + 16)
        return std::nullopt;
    auto bytes = ReadBytesAt(romPath, 0xA0, 16);
    if (!bytes)
        return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

uint16_t GenesisChecksum(const Bytes& image)
{
    // The sum is taken modulo 2^16 once at the end (a wider sum keeps the low
    // 16 bits right), which lets the compiler vectorise the loop.
    uint32_t sum = 0;
    const size_t size = image.size();
    const uint8_t* data = image.data();
    size_t i = 0x200;
    for (; i + 1 < size; i += 2)
        sum += (static_cast<uint32_t>(data[i]) << 8) | data[i + 1];
    if (i < size)
        sum += static_cast<uint32_t>(data[i]) << 8; // an odd last byte counts as the high half
    return static_cast<uint16_t>(sum);
}

uint16_t StoredChecksum(const Bytes& image)
{
    if (image.size() < 0x190)
        return 0;
    return static_cast<uint16_t>((image[0x18E] << 8) | image[0x18F]);
}

std::string DecodeLevelText(const std::string& table, const Bytes& codes)
{
    std::string text;
    text.reserve(codes.size());
    for (uint8_t c : codes)
        text += c < table.size() ? table[c] : ' ';
    return text;
}

Bytes EncodeLevelText(const std::string& text, const std::string& table, uint8_t fallback, bool keepCase)
{
    Bytes codes;
    if (text.empty())
        return codes;
    const std::string source = keepCase ? text : UpperAscii(text);
    codes.reserve(source.size());
    for (char ch : source) {
        size_t pos = table.rfind(ch);
        // Codes are bytes: a table longer than 256 cannot name the rest.
        codes.push_back(pos == std::string::npos || pos > 0xFF ? fallback : static_cast<uint8_t>(pos));
    }
    return codes;
}

} // namespace zorp
