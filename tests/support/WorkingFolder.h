#pragma once

#include "support/TempFolder.h"

#include <filesystem>
#include <string>

// Makes a fresh temporary folder the process's working folder for as long as the object lives
// (the program records its start directory from there), then goes back.
class WorkingFolder {
public:
    enum class AdFolder { Present, Missing };

    explicit WorkingFolder(AdFolder ad = AdFolder::Present, const std::string& below = {})
            : m_previous(std::filesystem::current_path())
    {
        path = below.empty() ? m_temp.path : m_temp.path / PathOf(below);
        std::filesystem::create_directories(path);
        if (ad == AdFolder::Present)
            std::filesystem::create_directories(path / "Ad" / "images");
        std::filesystem::current_path(path);
    }
    ~WorkingFolder() { std::filesystem::current_path(m_previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    std::filesystem::path AdPageFile() const { return path / "Ad" / "ad.html"; }

    // Copies the advertisement pictures of the build into Ad/images, as the launcher does.
    void CopyAdPictures() const
    {
        const std::filesystem::path built = std::filesystem::path(KELPMERE_TEST_BINARY_DIR) / "bin" / "Ad" / "images";
        for (const auto& entry : std::filesystem::directory_iterator(built))
            std::filesystem::copy_file(entry.path(), path / "Ad" / "images" / entry.path().filename());
    }

    std::filesystem::path path;

private:
    std::filesystem::path m_previous;
    TempFolder m_temp;
};
