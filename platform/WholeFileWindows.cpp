#include "platform/WholeFile.h"

#include "platform/PathText.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

#include <windows.h>

// Files are opened with CreateFileW and read and written with ReadFile and WriteFile: bytes go
// through untouched (no text mode turning 0x0A into 0D 0A or stopping at 0x1A).

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) { }
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return m_handle; }
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    // Closes now and reports whether the close succeeded.
    bool Close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

// The largest amount one ReadFile or WriteFile call is given.
constexpr std::size_t kChunk = 1u << 30;

bool WriteAll(HANDLE file, const ByteRange* ranges, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const char* data = ranges[i].data;
        std::size_t left = ranges[i].length;
        while (left > 0) {
            DWORD written = 0;
            const auto size = static_cast<DWORD>(std::min(left, kChunk));
            if (WriteFile(file, data, size, &written, nullptr) == 0 || written == 0) {
                return false;
            }
            data += written;
            left -= written;
        }
    }
    return true;
}

// The folder part of `path` with its trailing separator ("" in the current folder, "C:" in
// the current folder of drive C), ready to have a file name appended.
std::string FolderPrefix(const std::string& path)
{
    const std::size_t root = PathRootLength(path);
    const std::size_t slash = LastPathSeparator(path);
    return path.substr(0, slash == std::string::npos ? root : std::max(slash + 1, root));
}

// Creates a new, empty file with a fresh name beside `path`. Returns its handle and its path.
HANDLE CreateTemporaryFile(const std::string& path, std::wstring& tempPath)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = AnsiToWide(FolderPrefix(path).c_str());
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[96];
        std::swprintf(name, sizeof name / sizeof name[0], L".kelpmere-%lu-%u-%lx.tmp", GetCurrentProcessId(),
            counter.fetch_add(1), static_cast<unsigned long>(GetTickCount()));
        tempPath = folder + name;
        const HANDLE file
            = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// Puts the complete temporary file in the place of `target`. An existing plain file is
// replaced with ReplaceFileW, which keeps its security descriptor and attributes; a link at
// `target` is itself replaced (the file it leads to stays as it is), and so is a file that
// ReplaceFileW refuses, by a rename that overwrites and reaches the disk before it returns.
bool MoveIntoPlace(const std::wstring& tempPath, const std::wstring& target, DWORD targetAttributes)
{
    const bool plainFile
        = targetAttributes != INVALID_FILE_ATTRIBUTES && (targetAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    if (plainFile
        && ReplaceFileW(target.c_str(), tempPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
            != 0) {
        return true;
    }
    return MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace

bool ReadWholeFile(
    const char* path, std::size_t maxLength, std::unique_ptr<char[]>& bytes, std::size_t& length, FileOrigin* origin)
{
    bytes.reset();
    length = 0;
    if (origin != nullptr) {
        origin->Clear(); // Windows has no file-to-file copy of a range: the origin stays empty
    }
    if (path == nullptr || *path == '\0') {
        return false;
    }
    FileHandle file(CreateFileW(AnsiToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Folders don't open without FILE_FLAG_BACKUP_SEMANTICS; pipes, consoles and devices are
    // no disk files.
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return false;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) == 0 || size.QuadPart <= 0
        || static_cast<unsigned long long>(size.QuadPart) > maxLength) {
        return false;
    }
    const auto total = static_cast<std::size_t>(size.QuadPart);
    auto block = std::make_unique_for_overwrite<char[]>(total + 1); // every byte is written below
    std::size_t done = 0;
    while (done < total) {
        DWORD got = 0;
        const auto want = static_cast<DWORD>(std::min(total - done, kChunk));
        if (ReadFile(file.get(), block.get() + done, want, &got, nullptr) == 0 || got == 0) {
            return false; // a read error, or the file shrank after its size was taken
        }
        done += got;
    }
    block[total] = '\0';
    bytes = std::move(block);
    length = total;
    return true;
}

bool WriteWholeFile(const char* path, const ByteRange* ranges, std::size_t count, const FileOrigin* /*origin*/)
{
    if (path == nullptr || *path == '\0') {
        return false;
    }
    const std::wstring target = AnsiToWide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
        && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false; // a folder is never replaced
    }
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;

    std::wstring tempPath;
    FileHandle file(CreateTemporaryFile(path, tempPath));
    if (!file.valid()) {
        return false;
    }
    bool ok = WriteAll(file.get(), ranges, count);
    // Flushing before the replace is what keeps an old file safe from a crash; a new file has
    // nothing to protect, and skipping the flush keeps batch output at the speed of a copy.
    ok = ok && (!exists || FlushFileBuffers(file.get()) != 0);
    ok = file.Close() && ok;
    ok = ok && MoveIntoPlace(tempPath, target, attributes);
    if (!ok) {
        DeleteFileW(tempPath.c_str());
    }
    return ok;
}
