#pragma once

#include <string>

// A file size as the file lists show it: "%.2f" followed by G, M, K or B, taking the largest
// unit of which the size is strictly more than one (1024 bytes is "1024.00B").
std::string FormatFileSize(double bytes);
