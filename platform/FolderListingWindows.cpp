#include "platform/FolderListing.h"

#include "platform/PathText.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include <windows.h>

namespace {

// Opens a file or folder for nothing but asking about it; links and junctions are followed.
HANDLE OpenForQuery(const std::wstring& path)
{
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Whether `path` is a folder, and its volume and file index: the same for every spelling of
// the path and every link or junction to the folder.
bool QueryFolder(const std::wstring& path, FileIdentity* identity)
{
    const HANDLE handle = OpenForQuery(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok
        = GetFileInformationByHandle(handle, &info) != 0 && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    CloseHandle(handle);
    if (ok && identity != nullptr) {
        *identity = FileIdentity{
            info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    }
    return ok;
}

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : m_handle(handle) { }
    ~FindHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            FindClose(m_handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

bool ListFolder(const std::string& dir, const std::function<bool(const FileIdentity&)>& enter,
    std::vector<FolderEntry>& entries, int& error)
{
    entries.clear();
    error = 0;
    const std::wstring wideDir = AnsiToWide(dir.c_str());
    FileIdentity identity;
    if (wideDir.empty()) {
        error = ERROR_INVALID_NAME;
        return false;
    }
    if (!QueryFolder(wideDir, &identity)) {
        error = static_cast<int>(GetLastError());
        return false;
    }
    if (!enter(identity)) {
        return false;
    }
    const bool endsWithSeparator = IsPathSeparator(dir.back()) || dir.back() == ':';
    const std::wstring prefix = endsWithSeparator ? wideDir : wideDir + L"\\";
    WIN32_FIND_DATAW found{};
    FindHandle listing(FindFirstFileExW(
        (prefix + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (listing.get() == INVALID_HANDLE_VALUE) {
        // A drive root has no "." or "..": an empty one lists nothing at all.
        const DWORD failure = GetLastError();
        error = failure == ERROR_FILE_NOT_FOUND ? 0 : static_cast<int>(failure);
        return error == 0;
    }
    do {
        if (IsDotOrDotDot(found.cFileName)) {
            continue;
        }
        FolderEntry entry;
        entry.name = WideToAnsi(found.cFileName);
        DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // A link or junction counts as what it leads to; a dangling one is neither.
            attributes = GetFileAttributesW((prefix + found.cFileName).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                const DWORD failure = GetLastError();
                if (failure != ERROR_FILE_NOT_FOUND && failure != ERROR_PATH_NOT_FOUND) {
                    entry.error = static_cast<int>(failure);
                }
                entries.push_back(std::move(entry));
                continue;
            }
        }
        entry.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isFile = !entry.isFolder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
        // Past MAX_PATH only a system that allows long paths opens the file: ask it the way
        // loading would. A folder finds out when it is listed in turn.
        if (entry.isFile && prefix.size() + std::wcslen(found.cFileName) >= MAX_PATH
            && GetFileAttributesW((prefix + found.cFileName).c_str()) == INVALID_FILE_ATTRIBUTES) {
            entry.error = static_cast<int>(GetLastError());
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(listing.get(), &found) != 0);
    if (const DWORD failure = GetLastError(); failure != ERROR_NO_MORE_FILES) {
        error = static_cast<int>(failure);
        entries.clear();
        return false;
    }
    // The same order as on every other system: by name, bytes compared as unsigned values.
    std::sort(entries.begin(), entries.end());
    return true;
}

std::string SystemErrorText(int error)
{
    wchar_t* text = nullptr;
    const DWORD length
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) {
        LocalFree(text);
    }
    // The system's messages end with a full stop and a line end; a line of ours goes on after it.
    while (!message.empty()
        && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    if (message.empty()) {
        return "system error " + std::to_string(error);
    }
    return WideToAnsi(message.c_str());
}

bool IsFolder(const char* path, FileIdentity* identity)
{
    if (path == nullptr || *path == '\0') {
        return false;
    }
    return QueryFolder(AnsiToWide(path), identity);
}

bool MakeFolder(const char* path)
{
    if (CreateDirectoryW(AnsiToWide(path).c_str(), nullptr) != 0) {
        return true;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path);
}
