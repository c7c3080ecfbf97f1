#pragma once

#include <optional>
#include <string>
#include <string_view>

// Read access to one zip archive (the skin archive), through libzip.
class CSkinArchive {
public:
    CSkinArchive() = default;
    ~CSkinArchive();
    CSkinArchive(const CSkinArchive&) = delete;
    CSkinArchive& operator=(const CSkinArchive&) = delete;

    // Opens the archive read-only; false when it is missing or not a zip.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_zip != nullptr; }
    void Close();
    // The whole entry: by its full name, else by its file name in any folder of the archive.
    std::optional<std::string> Read(std::string_view name) const;

private:
    struct zip* m_zip = nullptr;
};
