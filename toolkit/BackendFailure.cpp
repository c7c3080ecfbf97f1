#include "toolkit/BackendFailure.h"

#include <cstdio>

void ReportBackendFailure(const std::string& what)
{
    std::fprintf(stderr, "kelpmere: %s\n", what.c_str());
    std::fflush(stderr);
}
