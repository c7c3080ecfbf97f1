#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Reading and writing a whole file at a byte-string path (local code page, used as-is).

// Reads the regular file at `path` into `bytes` followed by one zero byte and sets `length`
// to the file's size. False, without reading anything, for a missing file, an empty file,
// one larger than `maxLength`, or anything that isn't a regular file (directory, FIFO,
// device, socket); opening never blocks. False as well when the read fails or the file
// shrinks while being read.
bool ReadWholeFile(const char* path, std::size_t maxLength, std::unique_ptr<char[]>& bytes, std::size_t& length);

// Replaces the file at `path` with `length` bytes from `data`. The bytes go to a new
// temporary file in the same folder, which is flushed to disk and then renamed over `path`,
// so `path` holds either its old content or the complete new one. On any failure the
// temporary file is removed, `path` is left as it was and the result is false. A new file
// gets 0666 less the umask; an existing one keeps its permission bits. A symbolic link at
// `path` is replaced by the new file (like a new file, it gets 0666 less the umask); whatever
// it pointed to is left alone. Links among the folders of `path` are followed.
bool WriteWholeFile(const char* path, const char* data, std::size_t length);

// A run of bytes to be written.
struct ByteRange {
    const char* data = nullptr;
    std::size_t length = 0;
};

// WriteWholeFile with the new content given as `count` ranges, written one after the other.
bool WriteWholeFile(const char* path, const ByteRange* ranges, std::size_t count);
