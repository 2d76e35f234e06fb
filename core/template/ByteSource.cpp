#include "template/ByteSource.h"

#include "rom/RomSave.h"

#include <algorithm>

namespace zorp {

Bytes ImageSource::Read(uint64_t offset, size_t count) const
{
    Bytes out(count, 0);
    if (offset < image_.size()) {
        size_t available = static_cast<size_t>(std::min<uint64_t>(count, image_.size() - offset));
        std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(offset), available, out.begin());
    }
    return out;
}

FileSource::FileSource(const std::string& path) : file_(path, std::ios::binary)
{
    if (auto size = FileSize(path))
        size_ = *size;
}

Bytes FileSource::Read(uint64_t offset, size_t count) const
{
    Bytes out(count, 0);
    if (!file_.is_open() || offset >= size_ || count == 0)
        return out;
    size_t available = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(available));
    // A short read leaves the rest as 0, like bytes past the end.
    return out;
}

bool ApplyWrite(Bytes& image, const Patch& write) { return ApplyPatches(image, {write}); }

} // namespace zorp
