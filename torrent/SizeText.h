#pragma once

#include <string>

// What follows a size text: the single list's rows end it with a line feed, the command line's
// lines and records take it bare.
enum class SizeTextEnd { Bare, LineFeed };

// A file size as the file lists show it: "%.2f" followed by G, M, K or B, taking the largest
// unit of which the size is strictly more than one (1024 bytes is "1024.00B"), then `end`.
std::string SizeText(double bytes, SizeTextEnd end);
