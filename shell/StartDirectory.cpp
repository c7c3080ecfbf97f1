#include "shell/StartDirectory.h"

#include "platform/Directories.h"

#include <cstring>
#include <string>

char startDirectory[kStartDirectorySize] = {};

bool RecordStartDirectory()
{
    const std::string folder = CurrentWorkingDirectory();
    if (folder.empty() || folder.size() >= kStartDirectorySize) {
        startDirectory[0] = '\0';
        return false;
    }
    std::memcpy(startDirectory, folder.c_str(), folder.size() + 1);
    return true;
}
