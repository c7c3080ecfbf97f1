#pragma once

#include "ui/web/WebAddresses.h"

#include <string>

// The advertisement page: 22 pieces of HTML joined by seven tab characters each, without a line
// break. A 780 x 410 white page without scroll bars: a 795 x 100 banner, below it a 300 x 300
// picture and the two local pictures images/400x300.jpg and images/100x300.jpg, each a link that
// opens in a new window. The addresses go in exactly as given (no escaping), so the text is
// always the 22 pieces.
std::string AdPageText(const AdAddresses& addresses);

// Writes the page with the configured addresses (ConfiguredAdAddresses) to path, creating or
// emptying the file first; the folder is not created. False when the file can't be opened or
// not all of the page could be written and closed.
bool WriteAdPage(const char* path);
