#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Reading and writing a whole file at a byte-string path (local code page, used as-is).

// The file a buffer was read from, and how it looked then. A write may take long runs of the
// buffer's bytes from this file instead, copied from file to file inside the system as `cp`
// does, which spares copying them through this process's memory. It opens the file again for
// that and copies only while the file still looks exactly as it did when read; otherwise it
// writes from the buffer. Nothing stays open in between, so the file's volume can be unmounted
// while its torrent is open. Where the system has no such copy (Windows), ReadWholeFile leaves
// the origin empty.
struct FileOrigin {
    // Forgets the file and the buffer.
    void Clear() { *this = FileOrigin{}; }

    // The path the file was read from; empty when there is none.
    std::string path;
    // The buffer the file was read into, and its length.
    const char* bytes = nullptr;
    std::size_t length = 0;
    // Device, file number, size, and change and modification times (seconds, nanoseconds)
    // of the file when it was read.
    std::array<int64_t, 7> identity{};
};

// Reads the regular file at `path` into `bytes` followed by one zero byte and sets `length`
// to the file's size. False, without reading anything, for a missing file, an empty file,
// one larger than `maxLength`, or anything that isn't a regular file (directory, FIFO,
// device, socket); opening never blocks. False as well when the read fails or the file
// shrinks while being read. With `origin`, a successful read records the file in it (and
// any failure leaves it empty).
bool ReadWholeFile(const char* path, std::size_t maxLength, std::unique_ptr<char[]>& bytes, std::size_t& length,
    FileOrigin* origin = nullptr);

// A run of bytes to be written.
struct ByteRange {
    const char* data = nullptr;
    std::size_t length = 0;
};

// Ranges at least this long that lie in the buffer of a FileOrigin are copied from its file.
inline constexpr std::size_t kCopyFromOriginBytes = 64 * 1024;

// WriteWholeFile below with the new content given as `count` ranges, written one after the
// other. Long ranges inside the buffer of `origin` may be copied from its file (see FileOrigin).
bool WriteWholeFile(const char* path, const ByteRange* ranges, std::size_t count, const FileOrigin* origin = nullptr);

// Replaces the file at `path` with `length` bytes from `data`. The bytes go to a new
// temporary file in the same folder, which is flushed to disk when a file is there to be
// replaced and then renamed over `path`, so `path` holds either its old content or the
// complete new one. On any failure the
// temporary file is removed, `path` is left as it was and the result is false. A new file
// gets 0666 less the umask; an existing one keeps its permission bits. A symbolic link at
// `path` is replaced by the new file (like a new file, it gets 0666 less the umask); whatever
// it pointed to is left alone. Links among the folders of `path` are followed.
inline bool WriteWholeFile(const char* path, const char* data, std::size_t length)
{
    const ByteRange whole{data, length};
    return WriteWholeFile(path, &whole, 1);
}
