#include "samples/generator/SharedShapes.h"

#include "samples/generator/TorrentBuilder.h"

namespace {

constexpr const char* kTracker = "http://tracker.kelpmere.test:6969/announce";

TorrentDescription Shape(const char* name, int64_t pieceLength, uint64_t seed)
{
    TorrentDescription d;
    d.announce = kTracker;
    d.createdBy = "kelpmere-make-samples 1";
    d.creationDate = 1700000000;
    d.name = name;
    d.pieceLength = pieceLength;
    d.seed = seed;
    return d;
}

// Dotted release folders, a sample and subtitles in folders of their own, a README without an
// extension and an empty .nfo: the most common shape of all.
SampleTorrent SceneRelease()
{
    TorrentDescription d = Shape("Show.S01.1080p.WEB-DL.x264-KELP", 65536, 11);
    d.comment = "Kelp Release Group";
    d.files = {
        {{"Show.S01E01.1080p.WEB-DL.x264-KELP.mkv"}, 700000},
        {{"Sample", "show.s01e01.1080p.sample.mkv"}, 50000},
        {{"Subs", "Show.S01E01.English.srt"}, 30000},
        {{"Show.S01.Extras.1080p", "Show.S01.Featurette.mkv"}, 100000},
        {{"27.5G版本", "第1部", "正片.mkv"}, 60000},
        {{"README"}, 1000},
        {{"kelp.nfo"}, 0},
    };
    return {"scene-release.torrent", BuildTorrent(d)};
}

// A program's source: names without an extension, dot files, nested folders.
SampleTorrent SourceTree()
{
    TorrentDescription d = Shape("kelp-tools-1.2.0", 16384, 12);
    d.files = {
        {{"LICENSE"}, 1100},
        {{"Makefile"}, 800},
        {{".gitignore"}, 20},
        {{"bin", "kelpctl"}, 40000},
        {{"src", "main.c"}, 5000},
        {{"src", "util", "hash.c"}, 3000},
        {{"debian", "rules"}, 300},
    };
    return {"source-tree.torrent", BuildTorrent(d)};
}

// Padding after each file that doesn't end on a piece boundary, in both forms: a BitComet name
// without "attr", and ".pad/<size>" with "attr" "p".
SampleTorrent PaddingFiles()
{
    TorrentDescription d = Shape("Kelp.Album.2024.FLAC", 65536, 13);
    FileDescription attrPad({".pad", "41072"}, 41072);
    attrPad.extra["attr"] = BencodeString("p");
    d.files = {
        {{"01 - Tide.flac"}, 100000},
        {{"_____padding_file_0_如果您看到此文件，请升级到BitComet(比特彗星)0.85或以上版本____"}, 31072},
        {{"02 - Current.flac"}, 90000},
        attrPad,
        {{"Artwork", "cover.jpg"}, 20000},
    };
    return {"padding-files.torrent", BuildTorrent(d)};
}

// No tracker at all: peers come from DHT ("nodes") and magnet links. A single file whose name
// has no dot.
SampleTorrent Trackerless()
{
    TorrentDescription d = Shape("KelpForestArchive", 65536, 14);
    d.announce.reset();
    d.length = 500000;
    d.extraRoot["nodes"] = BencodeList({BencodeList({BencodeString("127.0.0.1"), BencodeInt(6881)})});
    return {"trackerless.torrent", BuildTorrent(d)};
}

// A v2 "file tree" and no "pieces": each file's node holds its length and root hash. Every file
// fits in one piece, so "piece layers" is empty.
SampleTorrent Version2Only()
{
    const auto file = [](int64_t length, uint64_t seed) {
        return BencodeDict({{"", BencodeDict({{"length", BencodeInt(length)},
                                     {"pieces root", BencodeString(DeterministicBytes(32, seed))}})}});
    };
    const std::string tree = BencodeDict({
        {"Kelp.Docs.2024", BencodeDict({{"Part.1.mkv", file(60000, 21)}, {"notes", file(500, 22)}})},
        {"README", file(100, 23)},
    });
    std::string info = BencodeDict({{"file tree", tree}, {"meta version", BencodeInt(2)},
        {"name", BencodeString("Kelp.Docs.2024")}, {"piece length", BencodeInt(65536)}});
    return {"v2-only.torrent",
        BencodeDict({{"announce", BencodeString(kTracker)}, {"creation date", BencodeInt(1700000000)},
            {"info", info}, {"piece layers", BencodeDict({})}})};
}

// Six piece hashes for 200 000 bytes in pieces of 32 KiB, which take seven: no client loads it.
SampleTorrent WrongPieceCount()
{
    TorrentDescription d = Shape("kelp.iso", 32768, 15);
    d.length = 200000;
    d.piecesSize = 6 * 20;
    return {"wrong-piece-count.torrent", BuildTorrent(d)};
}

// The descriptive texts other clients write beside the usual four: UTF-8 twins, a title, and a
// publisher inside the info dictionary.
SampleTorrent DescriptiveTexts()
{
    TorrentDescription d = Shape("Kelp.Reef.2023.mkv", 65536, 16);
    d.length = 300000;
    d.comment = "Kelp Reef, the full film";
    d.publisher = "Kelp Films";
    d.extraRoot["comment.utf-8"] = BencodeString("海藻礁 完整版");
    d.extraRoot["created by.utf-8"] = BencodeString("海藻工具 1.0");
    d.extraRoot["title"] = BencodeString("Kelp.Reef.2023.mkv");
    d.extraRoot["title.utf-8"] = BencodeString("Kelp.Reef.2023.mkv");
    d.extraInfo["publisher"] = BencodeString("Kelp Films Info");
    d.extraInfo["publisher-url"] = BencodeString("http://films.kelpmere.test/");
    return {"descriptive-texts.torrent", BuildTorrent(d)};
}

// Web seeds whose URLs spell the torrent's folder: the names they hold can't be changed without
// breaking the seeds.
SampleTorrent WebSeeds()
{
    TorrentDescription d = Shape("Kelp.Web.Seed", 65536, 17);
    d.files = {
        {{"kelp-seed.tar"}, 120000},
        {{"docs", "kelp-manual.pdf"}, 30000},
    };
    d.extraRoot["url-list"] = BencodeStringList({"http://seed.kelpmere.test/Kelp.Web.Seed/"});
    d.extraRoot["httpseeds"] = BencodeStringList({"http://seed.kelpmere.test/seed.php"});
    return {"web-seeds.torrent", BuildTorrent(d)};
}

} // namespace

std::vector<SampleTorrent> BuildSharedShapes()
{
    return {SceneRelease(), SourceTree(), PaddingFiles(), Trackerless(), Version2Only(), WrongPieceCount(),
        DescriptiveTexts(), WebSeeds()};
}
