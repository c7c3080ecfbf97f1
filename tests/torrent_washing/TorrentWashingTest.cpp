#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "platform/AnsiCodePage.h"
#include "platform/ProcessRandom.h"
#include "support/TestTorrents.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kStem = "1400000000-517-0";
const std::string kDigest = "e7450abdcb98ef33ea7b8730a15ee3dd"; // MD5 of kStem

using Texts = std::vector<std::string>;

CBEncodeObjectBase* At(const CBEncodeObjectBase* dict, const char* key)
{
    return dict != nullptr && dict->type == kBEncodeDict ? static_cast<const CBEncodeDict*>(dict)->Find(key) : nullptr;
}

std::string Text(const CBEncodeObjectBase* value)
{
    std::string bytes;
    if (value != nullptr && value->type == kBEncodeString)
        static_cast<const CBEncodeString*>(value)->GetString(bytes);
    return bytes;
}

std::string Raw(const CBEncodeObjectBase* value)
{
    return value != nullptr ? std::string(value->rawStart, static_cast<std::size_t>(value->rawLength)) : "<none>";
}

std::vector<CBEncodeObjectBase*> Items(const CBEncodeObjectBase* list)
{
    if (list == nullptr || list->type != kBEncodeList) {
        return {};
    }
    const auto& items = static_cast<const CBEncodeList*>(list)->items;
    return {items.begin(), items.end()};
}

Texts TextList(const CBEncodeObjectBase* list)
{
    Texts texts;
    for (const CBEncodeObjectBase* item : Items(list))
        texts.push_back(Text(item));
    return texts;
}

class WashTest : public ::testing::Test {
protected:
    void SetUp() override { SeedProcessRandom(1); }
    void TearDown() override { SetAnsiCodePage("UTF-8"); }

    // Loads, analyses and washes `torrent` in `m_parser`; the washed encoding is loaded into `m_washed`.
    bool Wash(const TorrentDescription& torrent, const char* stem = kStem) { return Wash(BuildTorrent(torrent), stem); }
    bool Wash(const std::string& torrent, const char* stem = kStem)
    {
        m_original = torrent;
        EXPECT_TRUE(m_parser.LoadFromMemory(m_original.data(), m_original.size()));
        EXPECT_TRUE(m_parser.Analyze());
        const bool washed = m_parser.Wash(stem);
        m_encoded.clear();
        m_parser.root->Encode(m_encoded);
        EXPECT_TRUE(m_washed.LoadFromMemory(m_encoded.data(), m_encoded.size()));
        return washed;
    }

    const CBEncodeObjectBase* Info() const { return At(m_washed.root, "info"); }
    const CBEncodeObjectBase* File(std::size_t i) const { return Items(At(Info(), "files")).at(i); }
    Texts Path(std::size_t i, const char* key = "path") const { return TextList(At(File(i), key)); }

    std::string m_original;
    std::string m_encoded;
    CTorrentParser m_parser;
    CTorrentParser m_washed;
};

TEST_F(WashTest, AWashChangesOnlyTheNames)
{
    TorrentDescription torrent
        = MultiFile({{{"Show", "Extras", "clip.mp4"}, 20000}, {{"A", "x.avi"}, 300}, {{"y.srt"}, 12000}});
    torrent.nameUtf8 = "节目";
    torrent.pieceLength = 16384;
    torrent.seed = 77;
    ASSERT_TRUE(Wash(torrent));
    EXPECT_EQ(Text(At(Info(), "name")), kStem);
    EXPECT_EQ(Text(At(Info(), "name.utf-8")), kStem);
    // The run-time library's sequence after srand(1): 41, 18467, 6334, 26500.
    EXPECT_EQ(Path(0), (Texts{"41_10", "41_11", kDigest + "_1.mp4"}));
    EXPECT_EQ(Path(1), (Texts{"18467_20", kDigest + "_2.avi"}));
    EXPECT_EQ(Path(2), (Texts{kDigest + "_3.srt"}));
    EXPECT_EQ(ProcessRandom(), 26500); // one draw per file, also for the file without folders

    CTorrentParser loaded;
    ASSERT_TRUE(loaded.LoadFromMemory(m_original.data(), m_original.size()));
    for (const char* key : {"pieces", "piece length"})
        EXPECT_EQ(Raw(At(Info(), key)), Raw(At(At(loaded.root, "info"), key))) << key;
    EXPECT_EQ(Raw(At(m_washed.root, "announce")), Raw(At(loaded.root, "announce")));
    EXPECT_EQ((Texts{Raw(At(File(0), "length")), Raw(At(File(1), "length")), Raw(At(File(2), "length"))}),
        (Texts{"i20000e", "i300e", "i12000e"}));
    const auto oldHash = m_parser.infoHashPrefix;
    ASSERT_TRUE(m_washed.Analyze());
    EXPECT_NE(m_washed.infoHashPrefix, oldHash);
}

TEST_F(WashTest, ASingleFileTorrentKeepsItsExtensionInBothSpellingsOfItsName)
{
    TorrentDescription torrent = SingleFile("movie.mkv", 700);
    torrent.nameUtf8 = "电影.mkv";
    ASSERT_TRUE(Wash(torrent));
    EXPECT_EQ(Text(At(Info(), "name")), kDigest + "_1.mkv");
    EXPECT_EQ(Text(At(Info(), "name.utf-8")), kDigest + "_1.mkv");

    ASSERT_TRUE(Wash(SingleFile("movie.mkv", 700)));
    EXPECT_EQ(Text(At(Info(), "name")), kDigest + "_1.mkv");
    EXPECT_EQ(At(Info(), "name.utf-8"), nullptr);

    ASSERT_TRUE(Wash(SingleFile("README", 10))); // no dot, no extension
    EXPECT_EQ(Text(At(Info(), "name")), kDigest + "_1");
}

// Every file's path is renamed whole, dotted folders and names without an extension included;
// padding files of both kinds keep theirs, and don't count. "path.utf-8" gets the names of "path"
// place by place; with another number of components its last one still gets the file's name and
// each earlier one the folder name of its place.
TEST_F(WashTest, EveryListedFileAndFolderIsRenamedButPaddingFiles)
{
    // A NUL byte is part of a name: the dot after it makes the extension.
    const std::string folder("Se\0cret", 7);
    const std::string name("x\0.txt", 6);
    FileDescription attrPad({".pad", "7"}, 7);
    attrPad.extra["attr"] = BencodeString("p");
    const std::string bitCometPad = "_____padding_file_0_如果您看到此文件____";
    ASSERT_TRUE(Wash(MultiFile({{{"a.tar.gz"}, 1}, {{"Show.S01.1080p", "README"}, 1}, {{bitCometPad}, 3},
        {{".hidden"}, 1}, attrPad, {{"Keep", "empty.txt"}, 0}, {{folder, name}, 1, {folder, name}},
        {{"A", "x.avi"}, 1, {"甲", "乙", "丙", "x.avi"}}, {{"A", "B", "C", "y.avi"}, 1, {"甲", "y.avi"}}})));
    const std::vector<Texts> expected = {{kDigest + "_1.gz"}, {"18467_20", kDigest + "_2"}, {bitCometPad},
        {kDigest + "_3.hidden"}, {".pad", "7"}, {"26500_40", kDigest + "_4.txt"}, {"19169_50", kDigest + "_5.txt"},
        {"15724_60", kDigest + "_6.avi"}, {"11478_70", "11478_71", "11478_72", kDigest + "_7.avi"}};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Path(i), expected[i]) << i;
    EXPECT_EQ(Path(6, "path.utf-8"), Path(6));
    EXPECT_EQ(Path(7, "path.utf-8"), (Texts{"15724_60", "15724_61", "15724_62", kDigest + "_6.avi"}));
    EXPECT_EQ(Path(8, "path.utf-8"), (Texts{"11478_70", kDigest + "_7.avi"}));
    EXPECT_EQ(Text(At(File(4), "attr")), "p");
    for (const std::string& loaded : {folder, name, std::string("Show.S01"), std::string("README")})
        EXPECT_EQ(m_encoded.find(loaded), std::string::npos) << loaded;
}

// A v2-only torrent gets a new "file tree": each file under its own new folders, in the byte
// order of the new keys, with the node (length and root hash) it had; "piece layers" stays.
TEST_F(WashTest, AVersion2OnlyTorrentGetsANewFileTreeWithTheSameFileNodes)
{
    const auto node = [](int64_t length, char root) {
        return BencodeDict({{"",
            BencodeDict({{"length", BencodeInt(length)}, {"pieces root", BencodeString(std::string(32, root))}})}});
    };
    const std::string tree
        = BencodeDict({{"Kelp.Docs", BencodeDict({{"Part.1.mkv", node(60000, 'a')}, {"notes", node(5, 'b')}})},
            {"README", node(1, 'c')}});
    const std::string layers = BencodeDict({{std::string(32, 'a'), BencodeString(std::string(64, 'h'))}});
    const std::string torrent = "d4:infod9:file tree" + tree + "12:meta versioni2e4:name9:Kelp.Docs"
        + "12:piece lengthi16384ee12:piece layers" + layers + "e";
    ASSERT_TRUE(Wash(torrent));
    const std::string washedTree = BencodeDict({{"18467_20", BencodeDict({{kDigest + "_2", node(5, 'b')}})},
        {"41_10", BencodeDict({{kDigest + "_1.mkv", node(60000, 'a')}})}, {kDigest + "_3", node(1, 'c')}});
    EXPECT_EQ(Raw(At(Info(), "file tree")), washedTree);
    EXPECT_EQ(Raw(At(m_washed.root, "piece layers")), layers);
    EXPECT_EQ(Text(At(Info(), "name")), kStem);
    for (const char* loaded : {"Kelp", "Part", "notes", "README"})
        EXPECT_EQ(m_encoded.find(loaded), std::string::npos) << loaded;
    ASSERT_TRUE(m_washed.Analyze());
    EXPECT_EQ(m_washed.files.size(), 3u);
    EXPECT_EQ(m_washed.files[1].path.front().text, "41_10");
}

// Readers take the first of a repeated key, which is what gets renamed; the repeats go, so that
// no loaded name stays behind them.
TEST_F(WashTest, RepeatedKeysGoAndLeaveNoLoadedNameInTheWashedTorrent)
{
    const std::string pieces = BencodeString(std::string(20, 'p'));
    const std::string file = "d6:lengthi5e4:pathl7:SecretA9:SecretB.ae10:path.utf-8l7:SecretC9:SecretD.ae"
                             "4:pathl7:SecretE9:SecretF.ae10:path.utf-8l9:SecretG.ae6:lengthi9ee";
    const std::string info = "d5:filesl" + file + "d6:lengthi3e4:pathl9:SecretH.beee4:name7:SecretI"
        + "10:name.utf-87:SecretJ4:name7:SecretK10:name.utf-87:SecretL5:filesld6:lengthi1e4:pathl9:SecretM.ceee"
        + "12:piece lengthi16384e6:pieces" + pieces + "e";
    const std::string other = "d6:lengthi1e4:name9:SecretN.d12:piece lengthi16384e6:pieces" + pieces + "e";
    const std::string torrent = "d8:announce3:url7:comment7:SecretO4:info" + info + "7:comment7:SecretP4:info" + other
        + "10:created by7:SecretQ10:created by7:SecretR9:publisher7:SecretS13:publisher-url7:SecretT"
        + "9:publisher7:SecretU13:publisher-url7:SecretVe";
    ASSERT_TRUE(Wash(torrent));
    SeedProcessRandom(1);
    ASSERT_TRUE(Wash(torrent)); // the document reused: nothing noted in the first load stays
    EXPECT_EQ(m_encoded.find("Secret"), std::string::npos) << m_encoded;

    // What readers take is what was washed; the content stays as loaded.
    EXPECT_EQ(Text(At(Info(), "name")), kStem);
    EXPECT_EQ(Text(At(Info(), "name.utf-8")), kStem);
    EXPECT_EQ(Path(0), (Texts{"41_10", kDigest + "_1.a"}));
    EXPECT_EQ(Path(0, "path.utf-8"), (Texts{"41_10", kDigest + "_1.a"}));
    EXPECT_EQ(Raw(At(File(0), "length")), "i5e");
    EXPECT_EQ(Path(1), (Texts{kDigest + "_2.b"}));
    EXPECT_EQ(Raw(At(Info(), "pieces")), pieces);
    EXPECT_EQ(Raw(At(Info(), "piece length")), "i16384e");
    ASSERT_TRUE(m_washed.Analyze());
    EXPECT_EQ(m_washed.files.size(), 2u);
}

TEST_F(WashTest, AFileNameThatCannotBeGeneratedRefusesTheWash)
{
    // 32 digest digits and "_1" leave 989 bytes for the name's dot and extension.
    const std::string tooLong = "a." + std::string(989, 'e');
    EXPECT_FALSE(Wash(SingleFile(tooLong, 1)));
    EXPECT_EQ(Text(At(Info(), "name")), tooLong);

    // Files before the refusing one are renamed and draw, the rest keep their names.
    SeedProcessRandom(1);
    EXPECT_FALSE(Wash(MultiFile({{{"A", "x.avi"}, 1}, {{"B", tooLong}, 1}, {{"C", "z.avi"}, 1}})));
    EXPECT_EQ(Path(0), (Texts{"41_10", kDigest + "_1.avi"}));
    EXPECT_EQ(Path(1), (Texts{"B", tooLong}));
    EXPECT_EQ(ProcessRandom(), 18467);
}

TEST_F(WashTest, GeneratedNamesAreStoredAsUtf8WhateverTheLocalCodePage)
{
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    ASSERT_TRUE(
        Wash(MultiFile({{{"目录", "文件.字幕"}, 1, {"目录", "文件.字幕"}}}), "\xD6\xD6\xD7\xD3")); // 种子 in GBK
    EXPECT_EQ(Text(At(Info(), "name")), "种子");
    EXPECT_EQ(Path(0).front(), "41_10");
    EXPECT_EQ(Path(0).back().substr(32), "_1.字幕");
    EXPECT_EQ(Path(0, "path.utf-8"), Path(0));
}

TEST_F(WashTest, AHybridTorrentBecomesAVersion1TorrentWithItsPadFiles)
{
    TorrentDescription torrent = MultiFile({{{"A", "x.avi"}, 10000}, {{".pad", "6384"}, 6384}, {{"B", "y.srt"}, 500}});
    torrent.pieceLength = 16384;
    torrent.files[1].extra["attr"] = BencodeString("p");
    const std::string root = BencodeString(std::string(32, 'r'));
    const auto leaf = [&](const char* length) {
        return BencodeDict({{"", BencodeDict({{"length", length}, {"pieces root", root}})}});
    };
    torrent.extraInfo["meta version"] = "i2e";
    torrent.extraInfo["file tree"] = BencodeDict(
        {{"A", BencodeDict({{"x.avi", leaf("i10000e")}})}, {"B", BencodeDict({{"y.srt", leaf("i500e")}})}});
    torrent.extraRoot["piece layers"] = BencodeDict({{std::string(32, 'r'), BencodeString(std::string(32, 'h'))}});
    ASSERT_TRUE(Wash(torrent));

    EXPECT_EQ(At(Info(), "meta version"), nullptr);
    EXPECT_EQ(At(m_washed.root, "piece layers"), nullptr);
    EXPECT_EQ(m_encoded.find("file tree"), std::string::npos);
    EXPECT_EQ(Text(At(File(1), "attr")), "p");
    EXPECT_EQ(Raw(At(File(1), "length")), "i6384e");
    EXPECT_TRUE(m_washed.Analyze());
    EXPECT_EQ(m_washed.files.size(), 2u);
    EXPECT_EQ(m_washed.paddingFiles, 1u);

    TorrentDescription version1 = SingleFile("a.bin", 1); // only version 2 loses the key
    version1.extraInfo["meta version"] = "i1e";
    ASSERT_TRUE(Wash(version1));
    EXPECT_EQ(Raw(At(Info(), "meta version")), "i1e");
}

} // namespace
