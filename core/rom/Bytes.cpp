#include "rom/Bytes.h"
#include "rom/RomSave.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zorp {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string ErrnoText(int error) { return std::strerror(error); }

WriteFault& CurrentFault()
{
    static WriteFault fault;
    return fault;
}

bool FaultAt(WriteFaultStep step) { return CurrentFault().step == step; }

uint64_t& ReplacementCount()
{
    static uint64_t count = 0;
    return count;
}

} // namespace

std::optional<uint64_t> FileSize(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

std::optional<Bytes> ReadFileBytes(const std::string& path, uint64_t maxSize)
{
    auto size = FileSize(path);
    if (!size || *size > maxSize)
        return std::nullopt;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return std::nullopt;
    Bytes data(static_cast<size_t>(*size));
    if (!data.empty() && std::fread(data.data(), 1, data.size(), f.get()) != data.size())
        return std::nullopt;
    return data;
}

std::optional<Bytes> ReadBytesAt(const std::string& path, uint64_t offset, uint64_t count)
{
    auto size = FileSize(path);
    if (!size)
        return std::nullopt;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return std::nullopt;
    Bytes data(static_cast<size_t>(count), 0);
    if (offset >= *size || count == 0)
        return data;
    uint64_t available = std::min<uint64_t>(count, *size - offset);
    if (::fseeko(f.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return std::nullopt;
    if (std::fread(data.data(), 1, static_cast<size_t>(available), f.get()) != available)
        return std::nullopt;
    return data;
}

namespace {

// The file a save must replace: a symbolic link is followed, so that the
// file it points to is the one replaced (renaming over the link itself would
// leave that file untouched and turn the link into a copy).
std::optional<std::string> ResolveSaveTarget(const std::string& path, std::string& error)
{
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) {
        error = "cannot follow the link " + path + ": " + ErrnoText(errno);
        return std::nullopt;
    }
    return std::string(resolved.get());
}

// Makes the rename itself durable; a failure here cannot undo the save, so
// it is not reported.
void FlushFolder(const std::string& dir)
{
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::string WriteFileBytes(const std::string& requestedPath, const Bytes& data)
{
    // Write a sibling temporary file and rename it over the target, so a
    // failure at any point leaves the original file exactly as it was.
    std::string error;
    const auto target = ResolveSaveTarget(requestedPath, error);
    if (!target)
        return error;
    const std::string& path = *target;

    // Replacing goes through the folder, which would get past a file the
    // user made read-only: honour the file's own protection first. A file
    // with no write permission for anyone counts as read-only even for the
    // superuser, whom access() lets through.
    struct stat st {};
    const bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && ::access(path.c_str(), W_OK) != 0)
        return "the file is read-only: " + ErrnoText(errno);
    if (exists && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "the file is read-only: " + ErrnoText(EACCES);
    auto slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (dir.empty())
        dir = "/";
    std::string pattern = dir + "/." + base + ".zorp-XXXXXX";
    std::vector<char> tmpName(pattern.begin(), pattern.end());
    tmpName.push_back('\0');
    if (FaultAt(WriteFaultStep::Create))
        return "cannot create a file in " + dir + ": " + ErrnoText(EACCES);
    int fd = ::mkstemp(tmpName.data());
    if (fd < 0)
        return "cannot create a file in " + dir + ": " + ErrnoText(errno);

    mode_t mode = 0644;
    if (exists) {
        mode = st.st_mode & 07777;
        // Keep the owner and group where we may (the superuser saving a
        // user's ROM); an ordinary user's own files already have them.
        (void)::fchown(fd, st.st_uid, st.st_gid);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    size_t written = 0;
    size_t limit = data.size();
    if (FaultAt(WriteFaultStep::Write))
        limit = static_cast<size_t>(std::min<uint64_t>(CurrentFault().afterBytes, data.size()));
    while (written < data.size()) {
        if (written >= limit) {
            error = "cannot write: " + ErrnoText(ENOSPC);
            break;
        }
        ssize_t n = ::write(fd, data.data() + written, limit - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = "cannot write: " + ErrnoText(errno);
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (error.empty() && ::fchmod(fd, mode) != 0)
        error = "cannot set permissions: " + ErrnoText(errno);
    if (error.empty() && (FaultAt(WriteFaultStep::Flush) || ::fsync(fd) != 0))
        error = "cannot flush: " + ErrnoText(FaultAt(WriteFaultStep::Flush) ? EIO : errno);
    if (::close(fd) != 0 && error.empty())
        error = "cannot close: " + ErrnoText(errno);
    if (error.empty() && (FaultAt(WriteFaultStep::Rename) || ::rename(tmpName.data(), path.c_str()) != 0))
        error = "cannot replace the file: " + ErrnoText(FaultAt(WriteFaultStep::Rename) ? EXDEV : errno);
    if (!error.empty()) {
        ::unlink(tmpName.data());
        return error;
    }
    FlushFolder(dir);
    ++ReplacementCount();
    return error;
}

void SetWriteFaultForTesting(WriteFault fault) { CurrentFault() = fault; }

uint64_t FileReplacementsForTesting() { return ReplacementCount(); }

std::string WritePatches(const std::string& path, const std::vector<Patch>& patches,
                         std::optional<uint64_t> expectedSize)
{
    auto size = FileSize(path);
    if (!size)
        return "the file does not exist or cannot be read";
    if (expectedSize && *expectedSize != *size)
        return "the file's length changed since it was loaded";
    return SavePatches(path, patches).error;
}

std::string WriteBytesAt(const std::string& path, uint64_t offset, const Bytes& data)
{
    return WritePatches(path, {Patch{offset, data}});
}

} // namespace zorp
