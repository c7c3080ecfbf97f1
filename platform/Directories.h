#pragma once

#include <string>

// The process's working directory, or an empty text when it can't be read.
std::string CurrentWorkingDirectory();

// The folder that holds the running executable, with a trailing separator (a backslash on Windows);
// empty when it can't be found.
std::string ExecutableDirectory();
