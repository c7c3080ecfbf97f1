#include "bencode/CBEncodeDict.h"
#include "platform/AnsiCodePage.h"
#include "platform/LegacyCodePage.h"
#include "platform/LocalText.h"
#include "platform/TextEncoding.h"
#include "samples/generator/LegacyNames.h"
#include "support/TestTorrents.h"
#include "torrent/CSha1Digest.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

class AnalysisTest : public ::testing::Test {
protected:
    void TearDown() override { SetAnsiCodePage("UTF-8"); }

    // `torrent` with `rootTail`, raw pairs, added at the end of its root dictionary.
    bool LoadAndAnalyze(const TorrentDescription& torrent, const std::string& rootTail = {})
    {
        m_bytes = BuildTorrent(torrent);
        m_bytes.insert(m_bytes.size() - 1, rootTail);
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

    // The torrent's name, then every entry as "folders/name|UTF-8 folders/UTF-8 name|length";
    // "-" stands for a name without a value.
    Texts Described() const
    {
        const auto text = [](const TextRef& ref) { return ref.value != nullptr ? ref.text : "-"; };
        Texts described{text(m_parser.name) + "|" + text(m_parser.nameUtf8)};
        for (const TorrentFileEntry& entry : m_parser.files) {
            std::string line;
            for (const std::string& folder : TextsOf(entry.path))
                line += folder + "/";
            line += entry.name.text + "|";
            for (const std::string& folder : TextsOf(entry.pathUtf8))
                line += folder + "/";
            described.push_back(line + text(entry.nameUtf8) + "|" + std::to_string(static_cast<int64_t>(entry.length)));
        }
        return described;
    }

    std::string m_bytes;
    CTorrentParser m_parser;
};

// Every path component is classified on its own by the dot test; a single-file torrent moves
// both spellings of its name into its only entry; "path.utf-8" may be longer or shorter than
// "path"; a files list keeps its usable dictionaries.
TEST_F(AnalysisTest, FileEntriesTakeTheirNamesAndFoldersFromEitherSpelling)
{
    TorrentDescription single = SingleFile("movie.mkv", 700);
    single.nameUtf8 = "电影.mkv";
    TorrentDescription mixed = MultiFile({});
    mixed.extraInfo["files"] = "l" + BencodeInt(7) + BencodeDict({{"length", "i5e"}, {"path", "l5:a.avie"}})
        + BencodeDict({{"length", "i6e"}, {"path", "l1:Ai3e5:b.avie"}}) // an integer in a path: no name
        + "d6:lengthi8e4:pathl5:c.avie10:path.utf-8l5:C.avie"           // repeated keys: the first of each counts
          "6:lengthi9e4:pathl5:d.avie10:path.utf-8l5:D.avie6:lengthi0ee"
          "e";
    const std::pair<TorrentDescription, Texts> cases[] = {
        {single, {"-|-", "movie.mkv|电影.mkv|700"}},
        {SingleFile("README", 10), {"-|-", "README|-|10"}}, // no dot: still listed
        {MultiFile({{{"Season 1", "ep01.avi"}, 100}, {{"Vol.1", "readme"}, 200}, {{"a.b", "c", "d.txt"}, 300},
             {{"LICENSE"}, 400}, {{"empty.nfo"}, 0}}),
            {"Show|-", "Season 1/ep01.avi|-|100", "readme/Vol.1|-|200", "c/d.txt|-|300"}},
        {MultiFile({{{"A", "x.avi"}, 1, {"甲", "乙", "丙", "x.avi"}}, {{"A", "B", "C", "y.avi"}, 1, {"甲", "y.avi"}},
             {{"z.avi"}, 1}}),
            {"Show|-", "A/x.avi|甲/乙/丙/x.avi|1", "A/B/C/y.avi|甲/y.avi|1", "z.avi|-|1"}},
        {mixed, {"Show|-", "a.avi|-|5", "c.avi|C.avi|8"}},
        // A NUL byte is part of a name like any other: a dot after it still makes the file name.
        {MultiFile({{{std::string("d\0ir", 4), std::string("x\0.txt", 6)}, 3, {std::string("y\0.srt", 6)}}}),
            {"Show|-", std::string("d\0ir/x\0.txt|y\0.srt|3", 20)}},
    };
    for (const auto& [torrent, expected] : cases) {
        ASSERT_TRUE(LoadAndAnalyze(torrent));
        EXPECT_EQ(Described(), expected);
    }
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
}

TEST_F(AnalysisTest, TheRootStringsAreReadThenEmptied)
{
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.comment = "my comment";
    torrent.createdBy = "maker 1.0";
    torrent.publisher = "root pub";
    torrent.publisherUrl = "http://pub.example";
    torrent.extraInfo["publisher"] = BencodeString("info pub");
    // Repeats, which readers pass over, go rather than keep their texts.
    ASSERT_TRUE(
        LoadAndAnalyze(torrent, "7:comment6:hidden10:created by6:hidden9:publisher6:hidden13:publisher-url6:hidden"));
    EXPECT_EQ((Texts{m_parser.comment, m_parser.createdBy, m_parser.publisher, m_parser.publisherUrl}),
        (Texts{"my comment", "maker 1.0", "root pub", "http://pub.example"}));
    std::string saved;
    m_parser.root->Encode(saved);
    for (const char* emptied :
        {"7:comment0:", "10:created by0:", "9:publisher0:", "13:publisher-url0:", "9:publisher8:info pub"}) {
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

TEST_F(AnalysisTest, TheCreationDateKeepsItsLow32Bits)
{
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.creationDate = (int64_t{1} << 32) + 1234;
    ASSERT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_EQ(m_parser.creationDate, 1234);
}

TEST_F(AnalysisTest, PiecesCountWholeHashes)
{
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.pieces = std::string(45, 'p');
    ASSERT_TRUE(LoadAndAnalyze(torrent));
    EXPECT_EQ(m_parser.pieceCount, 2);
    ASSERT_NE(m_parser.pieces, nullptr);
    EXPECT_EQ(std::string(m_parser.pieces, 45), torrent.pieces);
}

TEST_F(AnalysisTest, TheTotalLengthCountsEveryFileUpToTheLargestNumber)
{
    ASSERT_TRUE(
        LoadAndAnalyze(MultiFile({{{"a.bin"}, 1000}, {{"LICENSE"}, 24}, {{"empty.txt"}, 0}, {{"neg.bin"}, -50}})));
    EXPECT_EQ(m_parser.files.size(), 1u);
    EXPECT_EQ(m_parser.totalLength, 1024);
    ASSERT_TRUE(LoadAndAnalyze(SingleFile("README", 77)));
    EXPECT_EQ(m_parser.totalLength, 77);

    TorrentDescription huge = MultiFile({{{"a.bin"}, INT64_MAX}, {{"b.bin"}, 5}, {{"c.bin"}, INT64_MAX}});
    huge.pieces = std::string(20, 'p');
    ASSERT_TRUE(LoadAndAnalyze(huge));
    EXPECT_EQ(m_parser.totalLength, INT64_MAX);
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        m_parser.languageCodePage = LegacyCodePageOfLanguage(c.language);
        m_parser.chosenCodePage = c.chosen != nullptr ? LegacyCodePageNamed(c.chosen) : nullptr;
        ASSERT_TRUE(LoadAndAnalyze(c.torrent));
        Texts shown{m_parser.name.text};
        for (const TorrentFileEntry& entry : m_parser.files) {
            std::string path;
            for (const std::string& folder : TextsOf(entry.path))
                path += folder + "/";
            shown.push_back(path + entry.name.text);
        }
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

TEST_F(AnalysisTest, TorrentsWithoutUsableTrackersFilesOrPiecesAreRefused)
{
    EXPECT_FALSE(LoadAndAnalyze(SingleFile("empty.txt", 0)));
    EXPECT_TRUE(m_parser.files.empty());
    EXPECT_FALSE(LoadAndAnalyze(MultiFile({{{"LICENSE"}, 4}, {{"x.avi"}, 0}})));

    const std::string tree = BencodeDict({{"a.bin",
        BencodeDict({{"", BencodeDict({{"length", "i5e"}, {"pieces root", BencodeString(std::string(32, 'r'))}})}})}});
    for (const auto& [key, root, value] :
        std::vector<std::tuple<std::string, bool, std::string>>{{"pieces", false, BencodeString(std::string(19, 'p'))},
            {"piece length", false, "i0e"}, {"announce", true, "i1e"}, {"info", true, "le"},
            {"file tree", false, tree}}) { // the last is version 2 only
        TorrentDescription broken = SingleFile("a.bin", 1);
        (root ? broken.extraRoot : broken.extraInfo)[key] = value;
        if (key == "file tree") {
            broken.length.reset();
            broken.extraInfo["meta version"] = "i2e";
        }
        EXPECT_FALSE(LoadAndAnalyze(broken)) << key;
        EXPECT_TRUE(key != "file tree" || m_parser.files.empty());
        EXPECT_TRUE(key != "info" || m_parser.trackers.empty());
    }
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
