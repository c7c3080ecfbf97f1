#include "samples/generator/SampleSet.h"

#include "samples/generator/SharedShapes.h"
#include "samples/generator/TorrentBuilder.h"

#include <utility>

namespace {

constexpr const char* kTracker = "http://tracker.kelpmere.test:6969/announce";
constexpr const char* kBackupTracker = "udp://backup.kelpmere.test:1337/announce";
constexpr const char* kCreator = "kelpmere-make-samples 1";
constexpr int64_t kCreationDate = 1700000000;

TorrentDescription Common(const char* comment, uint64_t seed)
{
    TorrentDescription d;
    d.announce = kTracker;
    d.comment = comment;
    d.createdBy = kCreator;
    d.creationDate = kCreationDate;
    d.seed = seed;
    return d;
}

SampleTorrent SingleFile()
{
    TorrentDescription d = Common("Sample: one file", 1);
    d.name = "kelp-forest.mkv";
    d.length = 3000000;
    d.pieceLength = 262144;
    return {"single-file.torrent", BuildTorrent(d)};
}

SampleTorrent MultiFile()
{
    TorrentDescription d = Common("Sample: files in folders", 2);
    d.announceList = {{kTracker, kBackupTracker}, {kBackupTracker}};
    d.publisher = "Kelpmere Samples";
    d.publisherUrl = "http://kelpmere.test/";
    d.name = "Kelp Documentary";
    d.pieceLength = 524288;
    d.files = {
        {{"Season 1", "ep01.avi"}, 1500000},
        {{"Season 1", "ep02.avi"}, 1400000},
        {{"Extras", "Behind the scenes", "clip.mp4"}, 300000},
        {{"readme.txt"}, 1024},
        {{"LICENSE"}, 512},
        {{"Extras", "empty.nfo"}, 0},
    };
    return {"multi-file.torrent", BuildTorrent(d)};
}

// Chinese names in UTF-8; `withUtf8Keys` adds "name.utf-8" and "path.utf-8" beside them.
TorrentDescription ChineseFolders(bool withUtf8Keys, uint64_t seed)
{
    TorrentDescription d = Common("样本：中文名称", seed);
    d.name = "海底森林纪录片";
    d.pieceLength = 262144;
    d.extraRoot["encoding"] = BencodeString("UTF-8");
    const std::vector<std::vector<std::string>> paths = {
        {"第一季", "第01集.mkv"},
        {"第一季", "第02集.mkv"},
        {"字幕", "简体中文.srt"},
    };
    const int64_t lengths[] = {2000000, 2100000, 40000};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        d.files.emplace_back(paths[i], lengths[i], withUtf8Keys ? paths[i] : std::vector<std::string>{});
    }
    if (withUtf8Keys)
        d.nameUtf8 = d.name;
    return d;
}

SampleTorrent ChineseSingleFile()
{
    TorrentDescription d = Common("样本：单个文件", 5);
    d.name = "海藻.mp4";
    d.nameUtf8 = "海藻.mp4";
    d.length = 777777;
    d.pieceLength = 65536;
    return {"chinese-single-file.torrent", BuildTorrent(d)};
}

} // namespace

std::vector<SampleTorrent> BuildSampleSet()
{
    std::vector<SampleTorrent> samples = {
        SingleFile(),
        MultiFile(),
        {"chinese-utf8-keys.torrent", BuildTorrent(ChineseFolders(true, 3))},
        {"chinese-plain-keys.torrent", BuildTorrent(ChineseFolders(false, 4))},
        ChineseSingleFile(),
    };
    for (SampleTorrent& shape : BuildSharedShapes())
        samples.push_back(std::move(shape));
    return samples;
}
