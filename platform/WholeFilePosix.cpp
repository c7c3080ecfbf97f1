#include "platform/WholeFile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now and reports whether the close succeeded.
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd = -1;
};

bool IsReadableSize(const struct stat& info, std::size_t maxLength)
{
    return S_ISREG(info.st_mode) && info.st_size > 0 && static_cast<unsigned long long>(info.st_size) <= maxLength;
}

// Writes every buffer of `pending` in order, as few calls as the system allows.
bool WriteGathered(int fd, std::vector<iovec>& pending)
{
    std::size_t first = 0;
    while (first < pending.size()) {
        const int batch = static_cast<int>(std::min<std::size_t>(pending.size() - first, IOV_MAX));
        const ssize_t written = ::writev(fd, pending.data() + first, batch);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        // Past the buffers written whole; a buffer written in part goes on from where it stopped.
        auto left = static_cast<std::size_t>(written);
        while (first < pending.size() && left >= pending[first].iov_len) {
            left -= pending[first].iov_len;
            ++first;
        }
        if (left > 0) {
            pending[first].iov_base = static_cast<char*>(pending[first].iov_base) + left;
            pending[first].iov_len -= left;
        }
    }
    pending.clear();
    return true;
}

std::array<int64_t, 7> IdentityOf(const struct stat& info)
{
    return {static_cast<int64_t>(info.st_dev), static_cast<int64_t>(info.st_ino), static_cast<int64_t>(info.st_size),
        static_cast<int64_t>(info.st_ctim.tv_sec), static_cast<int64_t>(info.st_ctim.tv_nsec),
        static_cast<int64_t>(info.st_mtim.tv_sec), static_cast<int64_t>(info.st_mtim.tv_nsec)};
}

bool LiesInOrigin(const ByteRange& range, const FileOrigin* origin)
{
    return origin != nullptr && !origin->path.empty() && range.length >= kCopyFromOriginBytes
        && range.data >= origin->bytes && range.length <= origin->length
        && static_cast<std::size_t>(range.data - origin->bytes) <= origin->length - range.length;
}

// The origin's file opened again, when it is still the file that was read and looks as it did
// then: any write to it since would have changed its change time. -1 otherwise.
int OpenUnchangedOrigin(const FileOrigin& origin)
{
    const int fd = ::open(origin.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat now { };
    if (fd >= 0 && (::fstat(fd, &now) != 0 || IdentityOf(now) != origin.identity)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Copies `range` from `source`, the origin's file, to the end of `fd` inside the system.
// Returns the bytes copied: fewer than asked when the system can't copy between these two
// files (other file systems, old kernels) or the copy stopped early; the caller writes the rest
// from memory.
std::size_t CopyFromOrigin(int fd, int source, const FileOrigin& origin, const ByteRange& range)
{
#ifdef __linux__
    auto offset = static_cast<off_t>(range.data - origin.bytes);
    std::size_t done = 0;
    while (done < range.length) {
        const ssize_t copied = ::copy_file_range(source, &offset, fd, nullptr, range.length - done, 0);
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied <= 0)
            break;
        done += static_cast<std::size_t>(copied);
    }
    return done;
#else
    (void)fd;
    (void)source;
    (void)origin;
    (void)range;
    return 0;
#endif
}

// Writes every range in order: long ranges of an unchanged origin's bytes copied from its file,
// the others gathered into as few writes as the system allows.
bool WriteAll(int fd, const ByteRange* ranges, std::size_t count, const FileOrigin* origin)
{
    std::vector<iovec> pending;
    pending.reserve(count);
    std::optional<FileDescriptor> source; // opened at the first range it could give
    for (std::size_t i = 0; i < count; ++i) {
        ByteRange range = ranges[i];
        if (range.length == 0)
            continue;
        if (LiesInOrigin(range, origin)) {
            if (!source)
                source.emplace(OpenUnchangedOrigin(*origin));
            if (source->valid()) {
                if (!WriteGathered(fd, pending))
                    return false;
                const std::size_t copied = CopyFromOrigin(fd, source->get(), *origin, range);
                range.data += copied;
                range.length -= copied;
                if (range.length > 0)
                    source->Close(); // the rest, and every later range, from memory
            }
        }
        if (range.length > 0)
            pending.push_back(iovec{const_cast<char*>(range.data), range.length});
    }
    return WriteGathered(fd, pending);
}

// The folder part of `path` ("." when it has none), without a trailing slash.
std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Creates a new, empty file with a fresh name in `folder` with the permission bits `mode`
// (the umask applies). Returns the descriptor and its path, or -1.
int CreateTemporaryFile(const std::string& folder, mode_t mode, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        char name[96];
        std::snprintf(name, sizeof name, "/.kelpmere-%ld-%u-%lx.tmp", static_cast<long>(::getpid()),
            counter.fetch_add(1), static_cast<unsigned long>(now.tv_nsec));
        tempPath = folder + name;
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool ReadWholeFile(
    const char* path, std::size_t maxLength, std::unique_ptr<char[]>& bytes, std::size_t& length, FileOrigin* origin)
{
    bytes.reset();
    length = 0;
    if (origin != nullptr)
        origin->Clear();
    if (path == nullptr || *path == '\0')
        return false;
    struct stat info { };
    if (::stat(path, &info) != 0 || !IsReadableSize(info, maxLength))
        return false;
    // O_NONBLOCK: should the path turn into a FIFO after the check, opening still returns at once.
    FileDescriptor file(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !IsReadableSize(info, maxLength))
        return false;
    const auto size = static_cast<std::size_t>(info.st_size);
    auto block = std::make_unique_for_overwrite<char[]>(size + 1); // every byte is written below
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(file.get(), block.get() + done, size - done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return false; // the file shrank after fstat
        done += static_cast<std::size_t>(got);
    }
    block[size] = '\0';
    if (origin != nullptr) {
        origin->path = path;
        origin->bytes = block.get();
        origin->length = size;
        origin->identity = IdentityOf(info);
    }
    bytes = std::move(block);
    length = size;
    return true;
}

bool WriteWholeFile(const char* path, const ByteRange* ranges, std::size_t count, const FileOrigin* origin)
{
    if (path == nullptr || *path == '\0')
        return false;
    // lstat: a symbolic link at `path` is itself what gets replaced, never the file it points
    // to, which may lie anywhere. Links among the folders on the way are followed.
    const std::string target = path;
    struct stat existing { };
    bool exists = false;
    bool keepMode = false;
    if (::lstat(path, &existing) == 0) {
        if (!S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
            return false; // a folder, FIFO or device is never replaced
        exists = true;
        keepMode = S_ISREG(existing.st_mode);
    }

    std::string tempPath;
    FileDescriptor file(CreateTemporaryFile(FolderOf(target), 0666, tempPath));
    if (!file.valid())
        return false;
    bool ok = true;
    if (keepMode) {
        ok = ::fchmod(file.get(), existing.st_mode & 07777) == 0;
        if (ok && ::fchown(file.get(), existing.st_uid, existing.st_gid) != 0) {
            // Keeping the owner is a courtesy that only a privileged process can always do.
        }
    }
    ok = ok && WriteAll(file.get(), ranges, count, origin);
    // Flushing before the rename is what keeps an old file safe from a crash; a new file has
    // nothing to protect, and skipping the flush keeps batch output at the speed of a copy.
    ok = ok && (!exists || ::fsync(file.get()) == 0);
    ok = file.Close() && ok;
    ok = ok && ::rename(tempPath.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(tempPath.c_str());
    return ok;
}
