#include "platform/FileIdentity.h"

#include "platform/TextEncoding.h"

#include <windows.h>

std::optional<FileIdentity> IdentityOf(const char* path, bool followLinks)
{
    if (path == nullptr) {
        return std::nullopt;
    }
    // Backup semantics open folders as well; a reparse point (link, junction) is opened itself
    // when it is not to be followed.
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = CreateFileW(AnsiToWide(path).c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    if (!ok) {
        return std::nullopt;
    }
    return FileIdentity{
        info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}
