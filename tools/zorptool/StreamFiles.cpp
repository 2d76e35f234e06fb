#include "StreamFiles.h"

#include <exception>
#include <utility>

#include "rom/Bytes.h"

bool ReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>& out, std::string& error)
{
    const auto size = zorp::FileSize(path);
    if (!size) {
        error = "cannot read " + path + ": no such file";
        return false;
    }
    if (*size > limit) {
        error = path + " is too large (" + std::to_string(*size) + " bytes, at most " + std::to_string(limit) + ")";
        return false;
    }
    auto bytes = zorp::ReadFileBytes(path, limit);
    if (!bytes) {
        error = "cannot read " + path;
        return false;
    }
    out = std::move(*bytes);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& data, std::string& error)
{
    const std::string reason = zorp::WriteFileBytes(path, data);
    if (reason.empty())
        return true;
    error = "cannot write " + path + ": " + reason;
    return false;
}

std::optional<size_t> ParseOffset(const std::string& text)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return std::nullopt;
    const bool hex = text.size() > 2 && (text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0);
    try {
        size_t used = 0;
        const unsigned long long value = std::stoull(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
        if (used != text.size() - (hex ? 2 : 0))
            return std::nullopt;
        return static_cast<size_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
