#pragma once
// Where the editor models read ROM bytes from, and the writes they plan.
// Editors address a ROM by file offset; bytes past the end of the file read
// as 0, as they do for the program's editors. Writes never change the file's
// length: a model reports a write that would reach past the end instead of
// planning it.
#include <cstdint>
#include <fstream>
#include <string>

#include "rom/Bytes.h"

namespace zorp {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // count bytes at offset; bytes past the end read as 0.
    virtual Bytes Read(uint64_t offset, size_t count) const = 0;
    virtual uint64_t Size() const = 0;
};

// A whole image held in memory (tests, zorptool).
class ImageSource : public ByteSource {
public:
    explicit ImageSource(const Bytes& image) : image_(image) {}
    Bytes Read(uint64_t offset, size_t count) const override;
    uint64_t Size() const override { return image_.size(); }

private:
    const Bytes& image_;
};

// A file opened once for many reads (the workspace's ROM file).
class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path);
    bool IsOpen() const { return file_.is_open(); }
    Bytes Read(uint64_t offset, size_t count) const override;
    uint64_t Size() const override { return size_; }

private:
    mutable std::ifstream file_;
    uint64_t size_ = 0;
};


// Whether a write lies wholly inside a file of fileSize bytes.
inline bool FitsInFile(uint64_t offset, uint64_t count, uint64_t fileSize)
{
    return offset <= fileSize && count <= fileSize - offset;
}

// Puts the write into an image in memory; false (image unchanged) when it
// does not fit.
bool ApplyWrite(Bytes& image, const Patch& write);

} // namespace zorp
