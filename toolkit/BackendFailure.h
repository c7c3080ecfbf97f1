#pragma once

#include <string>

// Says on standard error that something the window system was asked for failed, as
// "kelpmere: <what>": a backend that loses a timer, a paint or a picture says so instead of
// going on without a word.
void ReportBackendFailure(const std::string& what);
