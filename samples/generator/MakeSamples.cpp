// kelpmere-make-samples OUTDIR: writes the project's sample torrents into OUTDIR.

#include "samples/generator/SampleSet.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    for (const SampleTorrent& sample : BuildSampleSet()) {
        const std::string path = std::string(argv[1]) + "/" + sample.fileName;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) {
            std::perror(path.c_str());
            return 1;
        }
        const bool written = std::fwrite(sample.bytes.data(), 1, sample.bytes.size(), file) == sample.bytes.size();
        if (std::fclose(file) != 0 || !written) {
            std::fprintf(stderr, "%s: write failed\n", path.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", path.c_str(), sample.bytes.size());
    }
    return 0;
}
