#include "bencode/CBEncodeDict.h"
#include "digest/CSha1Digest.h"
#include "platform/AnsiCodePage.h"
#include "platform/LegacyCodePage.h"
#include "platform/LocalText.h"
#include "platform/TextEncoding.h"
#include "samples/generator/LegacyNames.h"
#include "support/TempFolder.h"
#include "support/TestTorrents.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// `torrent` encoded, with `rootTail`, raw pairs, added at the end of its root dictionary.
std::string Built(const TorrentDescription& torrent, const std::string& rootTail = {})
{
    std::string bytes = BuildTorrent(torrent);
    return bytes.insert(bytes.size() - 1, rootTail);
}

class AnalysisTest : public ::testing::Test {
protected:
    void TearDown() override { SetAnsiCodePage("UTF-8"); }

    bool LoadAndAnalyze(const TorrentDescription& torrent, const std::string& rootTail = {})
    {
        m_bytes = Built(torrent, rootTail);
        EXPECT_TRUE(m_parser.LoadFromMemory(m_bytes.data(), m_bytes.size()));
        return m_parser.Analyze();
    }

    static Texts TextsOf(const std::vector<TextRef>& refs)
    {
        Texts texts;
        for (const TextRef& ref : refs) {
            EXPECT_NE(ref.value, nullptr);
            texts.push_back(ref.text);
        }
        return texts;
    }

    // The torrent's name and its number of padding files, then every entry as
    // "folders/name|UTF-8 folders/UTF-8 name|length"; "-" stands for a name without a value.
    Texts Described() const
    {
        const auto text = [](const TextRef& ref) { return ref.value != nullptr ? ref.text : "-"; };
        Texts described{
            text(m_parser.name) + "|" + text(m_parser.nameUtf8) + "|" + std::to_string(m_parser.paddingFiles)};
        for (const TorrentFileEntry& entry : m_parser.files)
            described.push_back(Joined(entry.path, entry.name.text) + "|" + Joined(entry.pathUtf8, text(entry.nameUtf8))
                + "|" + std::to_string(entry.length));
        return described;
    }
    // "folder/.../name".
    static std::string Joined(const std::vector<TextRef>& folders, const std::string& name)
    {
        std::string path;
        for (const std::string& folder : TextsOf(folders))
            path += folder + "/";
        return path + name;
    }

    std::string m_bytes;
    CTorrentParser m_parser;
};

// A path's last component is the file's name and every earlier one a folder, dots or not; every
// file is listed, of any length and with or without an extension, but padding files; a
// single-file torrent moves both spellings of its name into its only entry; "path.utf-8" may be
// longer or shorter than "path"; a v2-only torrent lists the files of its "file tree".
TEST_F(AnalysisTest, FileEntriesTakeTheirNamesAndFoldersFromEitherSpelling)
{
    TorrentDescription single = SingleFile("movie.mkv", 700);
    single.nameUtf8 = "电影.mkv";
    TorrentDescription repeats = MultiFile({});
    repeats.extraInfo["files"] = "ld6:lengthi8e4:pathl5:c.avie10:path.utf-8l5:C.avie" // the first of each key counts
                                 "6:lengthi9e4:pathl5:d.avie10:path.utf-8l5:D.avie6:lengthi0eee";
    FileDescription attrPad({".pad", "2552645"}, 2552645);
    attrPad.extra["attr"] = BencodeString("p");
    const std::pair<TorrentDescription, Texts> cases[] = {
        {single, {"-|-|0", "movie.mkv|电影.mkv|700"}},
        {SingleFile("README", 10), {"-|-|0", "README|-|10"}},
        {MultiFile({{{"Show.S01.1080p", "Show.S01E01.mkv"}, 100}, {{"Show.S01.1080p", "README"}, 200},
             {{"a.b", "c", "d.txt"}, 300}, {{"LICENSE"}, 400}, {{"cmt.nfo"}, 0}}),
            {"Show|-|0", "Show.S01.1080p/Show.S01E01.mkv|-|100", "Show.S01.1080p/README|-|200", "a.b/c/d.txt|-|300",
                "LICENSE|-|400", "cmt.nfo|-|0"}},
        {MultiFile({{{"A", "x.avi"}, 1, {"甲", "乙", "丙", "x.avi"}}, {{"A", "B", "C", "y.avi"}, 1, {"甲", "y.avi"}},
             {{"z.avi"}, 1}}),
            {"Show|-|0", "A/x.avi|甲/乙/丙/x.avi|1", "A/B/C/y.avi|甲/y.avi|1", "z.avi|-|1"}},
        {repeats, {"Show|-|0", "c.avi|C.avi|8"}},
        {MultiFile({{{"a.avi"}, 5}, {{"_____padding_file_0_如果您看到此文件____"}, 7}, attrPad, {{"b"}, 1}}),
            {"Show|-|2", "a.avi|-|5", "b|-|1"}},
        // A NUL byte is part of a name like any other.
        {MultiFile({{{std::string("d\0ir", 4), std::string("x\0.txt", 6)}, 3, {std::string("y\0.srt", 6)}}}),
            {"Show|-|0", std::string("d\0ir/x\0.txt|y\0.srt|3", 20)}},
    };
    for (const auto& [torrent, expected] : cases) {
        SCOPED_TRACE(expected.back());
        ASSERT_TRUE(LoadAndAnalyze(torrent));
        EXPECT_EQ(Described(), expected);
    }

    // The files of a v2 "file tree" in its order, each under the keys above it (the sample).
    const std::string v2 = ReadFile(std::filesystem::path(KELPMERE_TEST_SOURCE_DIR) / "samples" / "v2-only.torrent");
    ASSERT_TRUE(m_parser.LoadFromMemory(v2.data(), v2.size()));
    ASSERT_TRUE(m_parser.Analyze());
    EXPECT_TRUE(m_parser.version2Only);
    EXPECT_EQ(Described(),
        (Texts{
            "Kelp.Docs.2024|-|0", "Kelp.Docs.2024/Part.1.mkv|-|60000", "Kelp.Docs.2024/notes|-|500", "README|-|100"}));
    EXPECT_EQ(m_parser.totalLength, 60600);
}

TEST_F(AnalysisTest, TrackersAreAnnounceThenTheFirstUrlOfEveryNonEmptyTier)
{
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.announce = "u1";
    torrent.announceList = {{"u1", "u2"}, {}, {"u3"}};
    ASSERT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_EQ(m_parser.trackers, (Texts{"u1", "u1", "u3"}));

    torrent.announce = "";
    torrent.announceList.clear();
    EXPECT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_EQ(m_parser.trackers, (Texts{""}));

    // Trackerless torrents (DHT, magnet links) are taken, as is one whose "announce" is no text.
    torrent.announce.reset();
    EXPECT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_TRUE(m_parser.trackers.empty());
    EXPECT_TRUE(LoadAndAnalyze(torrent, "8:announcei1e"));
    EXPECT_TRUE(m_parser.trackers.empty());
}

TEST_F(AnalysisTest, TheRootStringsAreReadThenEmptied)
{
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.comment = "my comment";
    torrent.createdBy = "maker 1.0";
    torrent.publisher = "root pub";
    torrent.publisherUrl = "http://pub.example";
    torrent.creationDate = (int64_t{1} << 32) + 1234; // only its low 32 bits are kept
    torrent.extraInfo["publisher"] = BencodeString("info pub");
    // Repeats, which readers pass over, go rather than keep their texts.
    torrent.extraRoot["comment.utf-8"] = BencodeString("twin comment");
    torrent.extraRoot["title"] = BencodeString("the title");
    torrent.extraRoot["title.utf-8"] = BencodeString("twin title");
    ASSERT_TRUE(
        LoadAndAnalyze(torrent, "7:comment6:hidden10:created by6:hidden9:publisher6:hidden13:publisher-url6:hidden"));
    EXPECT_EQ((Texts{m_parser.comment, m_parser.createdBy, m_parser.publisher, m_parser.publisherUrl}),
        (Texts{"my comment", "maker 1.0", "root pub", "http://pub.example"}));
    EXPECT_EQ(m_parser.creationDate, 1234);
    std::string saved;
    m_parser.root->Encode(saved);
    for (const char* emptied : {"7:comment0:", "10:created by0:", "9:publisher0:", "13:publisher-url0:",
             "13:comment.utf-80:", "5:title0:", "11:title.utf-80:", "9:publisher8:info pub"}) {
        EXPECT_NE(saved.find(emptied), std::string::npos) << emptied;
    }
    EXPECT_EQ(saved.find("hidden"), std::string::npos);

    torrent.publisher.reset();
    torrent.publisherUrl.reset();
    torrent.comment.reset();
    torrent.extraRoot["comment"] = "i5e"; // not a string: nothing to read, and its repeat goes all the same
    torrent.extraInfo["publisher-url"] = BencodeString("http://info.example");
    ASSERT_TRUE(LoadAndAnalyze(torrent, "7:comment6:hidden"));
    EXPECT_EQ((Texts{m_parser.comment, m_parser.publisher, m_parser.publisherUrl}),
        (Texts{"", "info pub", "http://info.example"}));
    saved.clear();
    m_parser.root->Encode(saved);
    EXPECT_EQ(saved.find("hidden"), std::string::npos);
}

TEST_F(AnalysisTest, TheTotalLengthCountsEveryFilePaddingIncludedAndThePiecesOneHashEach)
{
    FileDescription pad({".pad", "100"}, 100);
    pad.extra["attr"] = BencodeString("p");
    ASSERT_TRUE(LoadAndAnalyze(MultiFile({{{"a.bin"}, 1000}, pad, {{"LICENSE"}, 24}, {{"empty.txt"}, 0}})));
    EXPECT_EQ(m_parser.files.size(), 3u);
    EXPECT_EQ(m_parser.totalLength, 1124);

    TorrentDescription torrent = SingleFile("a.bin", 300000);
    torrent.pieceLength = 262144;
    ASSERT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_EQ(m_parser.totalLength, 300000);
    EXPECT_EQ(m_parser.pieceCount, 2);
    ASSERT_NE(m_parser.pieces, nullptr);
    EXPECT_EQ(std::string(m_parser.pieces, 40), DeterministicBytes(40, torrent.seed));
}

TEST_F(AnalysisTest, TheInfoHashCoversTheInfoBytesExactlyAsLoaded)
{
    // "i007e" is spelled "i7e" by the encoder: only a hash over the loaded bytes matches.
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.extraInfo["x-padding"] = "i007e";
    const std::string info = BuildInfoDict(torrent);
    ASSERT_TRUE(LoadAndAnalyze(torrent));
    CSha1Digest sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(info.data()), static_cast<unsigned int>(info.size()));
    sha1.Final();
    char escaped[64] = {};
    EscapeDigest(escaped, sha1);
    EXPECT_EQ(std::string(m_parser.infoHashPrefix.data(), 20), std::string(escaped, 20));

    // Without the hash everything else comes out the same.
    CTorrentParser unhashed;
    ASSERT_TRUE(unhashed.LoadFromMemory(m_bytes.data(), m_bytes.size()));
    ASSERT_TRUE(unhashed.Analyze(false));
    EXPECT_EQ(std::string(unhashed.infoHashPrefix.data(), 20), std::string(20, '\0'));
    EXPECT_EQ(unhashed.files.size(), m_parser.files.size());
    EXPECT_EQ(unhashed.pieceCount, m_parser.pieceCount);
    EXPECT_EQ(unhashed.trackers, m_parser.trackers);
    EXPECT_FALSE(unhashed.LoadFromMemory(m_bytes.data(), m_bytes.size() - 1) && unhashed.Analyze(false));
}

TEST_F(AnalysisTest, NamesAreConvertedToTheLocalCodePage)
{
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    ASSERT_TRUE(LoadAndAnalyze(MultiFile({{{"目录", "文件.txt"}, 9}, {{std::string("文\0件.txt", 11)}, 9}})));
    ASSERT_EQ(m_parser.files.size(), 2u);
    EXPECT_EQ(m_parser.files[0].name.text, "\xCE\xC4\xBC\xFE.txt");
    EXPECT_EQ(TextsOf(m_parser.files[0].path), (Texts{"\xC4\xBF\xC2\xBC"}));
    EXPECT_EQ(m_parser.files[1].name.text, std::string("\xCE\xC4\0\xBC\xFE.txt", 9)); // converted around the NUL
}

// The shapes older clients left: each name is shown from its own UTF-8 bytes, its UTF-8 twin,
// the declared code page (or the one the user chose), the code page of the user's language, or
// else with replacement characters; and a save without edits gives back every byte.
TEST_F(AnalysisTest, LegacyNamesAreShownThroughTwinsTheDeclarationOrTheLanguage)
{
    const std::string replaced = "\xEF\xBF\xBD";
    TorrentDescription mismatched = LegacyTorrent(GbkNames(), "GBK", true);
    mismatched.files[0].pathUtf8 = {"第01集.mkv"};                 // one folder fewer
    mismatched.files[1].pathUtf8 = {"季", "第一季", "第02集.mkv"}; // one more
    TorrentDescription emptyTwin = LegacyTorrent(GbkNames(), "GBK", false);
    emptyTwin.nameUtf8 = ""; // names nothing: the declared code page reads the name
    TorrentDescription mixed = LegacyTorrent(GbkNames(), "gb2312", false);
    mixed.files[0].path[0] = "第一季";
    mixed.name = "海底森林纪录片";
    const Texts gbkShown = {"海底森林纪录片", "第一季/第01集.mkv", "第一季/第02集.mkv", "字幕/简体中文.srt"};
    struct Case {
        const char* shape;
        TorrentDescription torrent;
        const char* language; // the user's locale
        const char* chosen;   // the code page the user names instead
        Texts shown;
        Texts sources;
    };
    const Case cases[] = {
        {"GBK declared, with twins", LegacyTorrent(GbkNames(), "GBK", true), "C", nullptr, gbkShown, {"utf-8 twin"}},
        {"GBK declared as CP936", LegacyTorrent(GbkNames(), "CP936", false), "C", nullptr, gbkShown, {"declared GBK"}},
        {"GBK undeclared, Chinese user", LegacyTorrent(GbkNames(), std::nullopt, false), "zh_CN.UTF-8", nullptr,
            gbkShown, {"language GB18030"}},
        {"GBK undeclared, C locale", LegacyTorrent(GbkNames(), std::nullopt, false), "C", nullptr, {}, {"undecodable"}},
        {"BIG5 declared", LegacyTorrent(Big5Names(), "big5", false), "ja_JP", nullptr,
            {"海底森林紀錄片", "第一季/第01集.mkv", "字幕/繁體中文.srt"}, {"declared BIG5"}},
        {"Shift_JIS declared", LegacyTorrent(ShiftJisNames(), "Shift_JIS", false), "C", nullptr,
            {"海の森", "第一話/第01話.mkv", "字幕/日本語.srt"}, {"declared Shift_JIS"}},
        {"Shift_JIS declared, GBK stored, GBK chosen", LegacyTorrent(GbkNames(), "Shift_JIS", false), "zh_TW", "GBK",
            gbkShown, {"declared GBK"}},
        {"twins one folder short or over", mismatched, "C", nullptr, gbkShown, {"utf-8 twin", "declared GBK"}},
        {"UTF-8 and GBK side by side", mixed, "C", nullptr, gbkShown, {"utf-8", "declared GBK"}},
        {"an empty UTF-8 twin", emptyTwin, "C", nullptr, gbkShown, {"declared GBK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        m_parser.languageCodePage = LegacyCodePageOfLanguage(c.language);
        m_parser.chosenCodePage = c.chosen != nullptr ? LegacyCodePageNamed(c.chosen) : nullptr;
        ASSERT_TRUE(LoadAndAnalyze(c.torrent));
        Texts shown{m_parser.name.text};
        for (const TorrentFileEntry& entry : m_parser.files)
            shown.push_back(Joined(entry.path, entry.name.text));
        if (c.shown.empty()) { // nothing reads the bytes: replacement characters, as ever
            ASSERT_EQ(shown.size(), 4u);
            for (const std::string& text : shown)
                EXPECT_NE(text.find(replaced), std::string::npos) << text;
        } else {
            EXPECT_EQ(shown, c.shown);
        }
        EXPECT_EQ(m_parser.nameSources.Labels(), c.sources);
        std::string saved;
        ASSERT_TRUE(m_parser.SaveToFile(saved, (::testing::TempDir() + "legacy.torrent").c_str()));
        EXPECT_EQ(saved, m_bytes);
    }
}

// What no client loads is refused when it is loaded, with the reason.
TEST_F(AnalysisTest, TorrentsNoClientLoadsAreRefusedSayingWhy)
{
    const auto withInfo = [](const char* key, std::string raw) {
        TorrentDescription torrent = SingleFile("a.bin", 1);
        torrent.extraInfo[key] = std::move(raw);
        return torrent;
    };
    TorrentDescription tooFewHashes = SingleFile("kelp.iso", 200000);
    tooFewHashes.pieceLength = 32768;
    tooFewHashes.piecesSize = 6 * 20;
    TorrentDescription noFiles = MultiFile({});
    TorrentDescription noInfo = SingleFile("a.bin", 1);
    noInfo.extraRoot["info"] = "le";
    TorrentDescription huge = MultiFile({{{"a.bin"}, INT64_MAX}, {{"b.bin"}, 5}});
    huge.piecesSize = 20;
    const std::string negativeInTree = "d4:infod9:file treed5:a.bind0:d6:lengthi-1eeee12:piece lengthi16384eee";
    const std::tuple<std::string, const char*, const char*> cases[] = {
        // bytes, code, reason
        {Built(noInfo), "no-info", "no \"info\" dictionary"},
        {Built(withInfo("piece length", "i0e")), "piece-length", "\"piece length\" is not a positive integer"},
        {Built(withInfo("piece length", "i-16384e")), "piece-length", "\"piece length\" is not a positive integer"},
        {Built(withInfo("pieces", BencodeString(std::string(45, 'p')))), "pieces",
            "\"pieces\" is not a multiple of 20 bytes"},
        {Built(tooFewHashes), "piece-count", "6 piece hashes for 7 pieces"},
        {Built(huge), "piece-count", "1 piece hashes for 35184372088832 pieces"},
        {Built(withInfo("length", BencodeString("5"))), "file-length", "\"length\" is negative or not an integer"},
        {Built(MultiFile({{{"a.bin"}, 5}, {{"b.bin"}, -5}})), "file-length",
            "file 2 has a negative or non-integer \"length\""},
        {Built(noFiles), "no-files", "no file"},
        {Built(SingleFile("empty.txt", 0)), "no-data", "the files hold no data"},
        {negativeInTree, "file-length", "file 1 has a negative or non-integer \"length\""},
    };
    for (const auto& [bytes, code, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_FALSE(m_parser.LoadFromMemory(bytes.data(), bytes.size()));
        EXPECT_EQ(m_parser.refusal.code, code);
        EXPECT_EQ(m_parser.refusal.reason, reason);
    }
    // Files whose path is empty or holds something other than text.
    for (const char* path : {"le", "l1:ai3ee"}) {
        SCOPED_TRACE(path);
        TorrentDescription torrent = MultiFile({});
        torrent.extraInfo["files"] = std::string("ld6:lengthi5e4:path") + path + "ee";
        m_bytes = BuildTorrent(torrent);
        EXPECT_FALSE(m_parser.LoadFromMemory(m_bytes.data(), m_bytes.size()));
        EXPECT_EQ(m_parser.refusal.reason, "file 1 has no path");
    }
    EXPECT_FALSE(m_parser.LoadFromMemory("i5e", 3));
    EXPECT_EQ(m_parser.refusal.code, "not-bencode");
    EXPECT_TRUE(LoadAndAnalyze(SingleFile("a.bin", 1)));
    EXPECT_FALSE(m_parser.refusal);
}

// What a converter of NUL-terminated text gives for each piece of `text` between its NUL bytes,
// which stay.
template <class Convert>
std::string PieceByPiece(const std::string& text, Convert convert)
{
    std::string converted;
    std::size_t start = 0;
    for (std::size_t nul = 0; (nul = text.find('\0', start)) != std::string::npos; start = nul + 1)
        converted += convert(text.substr(start, nul - start)) + '\0';
    return converted + convert(text.substr(start));
}

TEST(NameConversionTest, TheUtf8ShortcutAgreesWithTheConvertersOnAnyBytes)
{
    const auto toLocal = [](const std::string& utf8) { return WideToAnsi(Utf8ToWide(utf8.c_str()).c_str()); };
    const auto toUtf8 = [](const std::string& local) { return AnsiToUtf8(local.c_str()); };
    const std::vector<std::string> pieces
        = {"a", ".", "种", "\xF0\x9F\x8E\xAC", "\xEF\xBF\xBE", "\xEF\xBF\xBF", "\xC0\xAE", "\xE0\x80\xAE",
            "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80", "\xFF", "\x80", "\xE4\xB8", std::string(1, '\0'), "\x7F",
            "\xC3\xA9", "\xC3", "episode.mkv"}; // the last long enough for the shortcut's eight-byte steps
    std::mt19937 random(7);
    ASSERT_TRUE(SetAnsiCodePage("UTF-8"));
    for (int round = 0; round < 4000; ++round) {
        std::string text;
        for (int i = static_cast<int>(random() % 6); i > 0; --i)
            text += pieces[random() % pieces.size()];
        const std::string local = PieceByPiece(text, toLocal);
        const std::string utf8 = PieceByPiece(text, toUtf8);
        EXPECT_EQ(Utf8ToLocalText(text), local) << ::testing::PrintToString(text);
        EXPECT_EQ(LocalTextToUtf8(text), utf8) << ::testing::PrintToString(text);
        EXPECT_EQ(LocalTextToUtf8(std::string(text)), utf8) << ::testing::PrintToString(text);
        // Taken as it is only where both converters return it whole.
        EXPECT_EQ(LocalTextIsUtf8(text), local == text && utf8 == text) << ::testing::PrintToString(text);
    }
}

} // namespace
