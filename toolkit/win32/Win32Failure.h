#pragma once

#include <windows.h>

#include <string>

// Reports that the Win32 call `call` failed with error (GetLastError's), in the system's words:
// "kelpmere: RegisterClassExW failed: Class already exists. (error 1410)". Returns the line
// without its "kelpmere: ", for a caller that keeps it (a failed start).
std::string ReportWin32Failure(const std::string& call, DWORD error);
