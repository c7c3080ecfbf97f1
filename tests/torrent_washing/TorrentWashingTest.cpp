#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "bencode/CBEncodeString.h"
#include "platform/AnsiCodePage.h"
#include "platform/ProcessRandom.h"
#include "samples/generator/TorrentBuilder.h"
#include "torrent/CSha1Digest.h"
#include "torrent/CTorrentParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kStem = "1400000000-517-0";
// MD5 of kStem, as 32 lower-case hexadecimal digits.
const std::string kDigest = "e7450abdcb98ef33ea7b8730a15ee3dd";

using Texts = std::vector<std::string>;

CBEncodeObjectBase* At(const CBEncodeObjectBase* dict, const char* key) {
    return dict != nullptr && dict->type == kBEncodeDict ? static_cast<const CBEncodeDict*>(dict)->Find(key) : nullptr;
}

std::string Text(const CBEncodeObjectBase* value) {
    std::string bytes;
    if (value != nullptr && value->type == kBEncodeString) {
        static_cast<const CBEncodeString*>(value)->GetString(bytes);
    }
    return bytes;
}

std::string Raw(const CBEncodeObjectBase* value) {
    return value != nullptr ? std::string(value->rawStart, static_cast<std::size_t>(value->rawLength)) : "<none>";
}

Texts TextList(const CBEncodeObjectBase* list) {
    Texts texts;
    if (list != nullptr && list->type == kBEncodeList) {
        for (const CBEncodeObjectBase* item : static_cast<const CBEncodeList*>(list)->items) {
            texts.push_back(Text(item));
        }
    }
    return texts;
}

std::vector<const CBEncodeObjectBase*> Files(const CBEncodeObjectBase* info) {
    std::vector<const CBEncodeObjectBase*> files;
    if (const CBEncodeObjectBase* list = At(info, "files"); list != nullptr && list->type == kBEncodeList) {
        files.assign(static_cast<const CBEncodeList*>(list)->items.begin(),
                     static_cast<const CBEncodeList*>(list)->items.end());
    }
    return files;
}

std::string Sha1Hex(const std::string& bytes) {
    CSha1Digest sha1;
    sha1.Update(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned int>(bytes.size()));
    sha1.Final();
    std::string hex;
    for (unsigned char byte : sha1.digest) {
        hex += "0123456789abcdef"[byte >> 4];
        hex += "0123456789abcdef"[byte & 15];
    }
    return hex;
}

TorrentDescription MultiFile(std::vector<FileDescription> files) {
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = "Show";
    torrent.files = std::move(files);
    return torrent;
}

TorrentDescription SingleFile(const std::string& name, int64_t length) {
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = name;
    torrent.length = length;
    return torrent;
}

class WashTest : public ::testing::Test {
protected:
    void SetUp() override { SeedProcessRandom(1); }
    void TearDown() override { SetAnsiCodePage("UTF-8"); }

    // Loads, analyses and washes `torrent`; the washed encoding is then decoded into `washed_`.
    bool Wash(const TorrentDescription& torrent, const char* stem = kStem) {
        original_ = BuildTorrent(torrent);
        EXPECT_TRUE(parser_.LoadFromMemory(original_.data(), original_.size()));
        EXPECT_TRUE(parser_.Analyze());
        const bool washed = parser_.Wash(stem);
        encoded_.clear();
        parser_.root->Encode(encoded_);
        EXPECT_TRUE(washed_.LoadFromMemory(encoded_.data(), encoded_.size()));
        return washed;
    }

    const CBEncodeObjectBase* WashedInfo() const { return At(washed_.root, "info"); }
    Texts WashedPath(std::size_t file, const char* key = "path") const { return TextList(At(Files(WashedInfo()).at(file), key)); }

    std::string original_;
    std::string encoded_;
    CTorrentParser parser_;
    CTorrentParser washed_;
};

TEST_F(WashTest, AWashedMultiFileTorrentKeepsPiecesLengthsAndOrderButGetsANewInfoHash) {
    TorrentDescription torrent = MultiFile({{{"A", "x.avi"}, 20000}, {{"A", "y.srt"}, 300}, {{"B", "C", "z.nfo"}, 12000}});
    torrent.pieceLength = 16384;
    torrent.seed = 77;
    ASSERT_TRUE(Wash(torrent));

    CTorrentParser loaded;
    ASSERT_TRUE(loaded.LoadFromMemory(original_.data(), original_.size()));
    const CBEncodeObjectBase* before = At(loaded.root, "info");
    const CBEncodeObjectBase* after = WashedInfo();
    EXPECT_EQ(Raw(At(after, "pieces")), Raw(At(before, "pieces")));
    EXPECT_EQ(Raw(At(after, "piece length")), Raw(At(before, "piece length")));
    const auto beforeFiles = Files(before);
    const auto afterFiles = Files(after);
    ASSERT_EQ(afterFiles.size(), 3u);
    for (std::size_t i = 0; i < afterFiles.size(); ++i) {
        EXPECT_EQ(Raw(At(afterFiles[i], "length")), Raw(At(beforeFiles[i], "length")));
        EXPECT_EQ(TextList(At(afterFiles[i], "path")).back(), kDigest + "_" + std::to_string(i + 1) +
                                                                  TextList(At(beforeFiles[i], "path")).back().substr(1));
    }
    EXPECT_EQ(Raw(At(washed_.root, "announce")), Raw(At(loaded.root, "announce")));
    EXPECT_NE(Sha1Hex(Raw(after)), Sha1Hex(Raw(before)));
}

TEST_F(WashTest, ASeededGeneratorGivesExactlyTheseNames) {
    ASSERT_TRUE(Wash(MultiFile({{{"Show", "Extras", "clip.mp4"}, 1}, {{"A", "x.avi"}, 1}, {{"y.srt"}, 1}})));
    EXPECT_EQ(Text(At(WashedInfo(), "name")), kStem);
    // The run-time library's sequence after srand(1): 41, 18467, 6334, 26500.
    EXPECT_EQ(WashedPath(0), (Texts{"41_10", "41_11", kDigest + "_1.mp4"}));
    EXPECT_EQ(WashedPath(1), (Texts{"18467_20", kDigest + "_2.avi"}));
    EXPECT_EQ(WashedPath(2), (Texts{kDigest + "_3.srt"}));
    EXPECT_EQ(ProcessRandom(), 26500);  // one draw per file, also for the file without folders
}

TEST_F(WashTest, ASingleFileTorrentKeepsItsExtensionInBothSpellingsOfItsName) {
    TorrentDescription torrent = SingleFile("movie.mkv", 700);
    torrent.nameUtf8 = "电影.mkv";
    ASSERT_TRUE(Wash(torrent));
    EXPECT_EQ(Text(At(WashedInfo(), "name")), kDigest + "_1.mkv");
    EXPECT_EQ(Text(At(WashedInfo(), "name.utf-8")), kDigest + "_1.mkv");

    ASSERT_TRUE(Wash(SingleFile("movie.mkv", 700)));
    EXPECT_EQ(Text(At(WashedInfo(), "name")), kDigest + "_1.mkv");
    EXPECT_EQ(At(WashedInfo(), "name.utf-8"), nullptr);
}

TEST_F(WashTest, ASingleFileNameWithoutADotRefusesTheWash) {
    EXPECT_FALSE(Wash(SingleFile("README", 10)));
}

TEST_F(WashTest, OnlyTheLastDotStartsTheExtension) {
    ASSERT_TRUE(Wash(MultiFile({{{"a.tar.gz"}, 1}, {{"Vol.1", "readme"}, 1}, {{".hidden"}, 1}})));
    EXPECT_EQ(WashedPath(0), (Texts{kDigest + "_1.gz"}));
    EXPECT_EQ(WashedPath(1), (Texts{kDigest + "_2.1", "18467_20"}));
    EXPECT_EQ(WashedPath(2), (Texts{kDigest + "_3.hidden"}));
}

TEST_F(WashTest, PathUtf8ComponentsBeyondTheFoldersOfPathKeepTheirText) {
    ASSERT_TRUE(Wash(MultiFile({
        {{"A", "x.avi"}, 1, {"甲", "乙", "丙", "x.avi"}},
        {{"A", "B", "C", "y.avi"}, 1, {"甲", "y.avi"}},
    })));
    EXPECT_EQ(WashedPath(0, "path.utf-8"), (Texts{"41_10", "乙", "丙", kDigest + "_1.avi"}));
    EXPECT_EQ(WashedPath(1), (Texts{"18467_20", "18467_21", "18467_22", kDigest + "_2.avi"}));
    EXPECT_EQ(WashedPath(1, "path.utf-8"), (Texts{"18467_20", kDigest + "_2.avi"}));
}

TEST_F(WashTest, FilesThatAnalysisDidNotListKeepTheirPaths) {
    ASSERT_TRUE(Wash(MultiFile({{{"Keep", "empty.txt"}, 0}, {{"Docs", "LICENSE"}, 5}, {{"A", "x.avi"}, 1}})));
    EXPECT_EQ(WashedPath(0), (Texts{"Keep", "empty.txt"}));
    EXPECT_EQ(WashedPath(1), (Texts{"Docs", "LICENSE"}));
    EXPECT_EQ(WashedPath(2), (Texts{"41_10", kDigest + "_1.avi"}));
}

TEST_F(WashTest, AGeneratedNameLongerThan1023BytesRefusesTheWashInsteadOfBeingCut) {
    // 32 digest digits and "_1" leave 989 bytes for the extension.
    const std::string fits = "." + std::string(988, 'e');
    ASSERT_TRUE(Wash(SingleFile("a" + fits, 1)));
    EXPECT_EQ(Text(At(WashedInfo(), "name")).size(), 1023u);

    const std::string tooLong = "." + std::string(989, 'e');
    EXPECT_FALSE(Wash(SingleFile("a" + tooLong, 1)));
    EXPECT_EQ(Text(At(WashedInfo(), "name")), "a" + tooLong);
}

TEST_F(WashTest, GeneratedNamesAreStoredAsUtf8WhateverTheLocalCodePage) {
    ASSERT_TRUE(SetAnsiCodePage("GBK"));
    const std::string gbkStem = "\xD6\xD6\xD7\xD3";  // 种子 in GBK
    ASSERT_TRUE(Wash(MultiFile({{{"目录", "文件.字幕"}, 1}}), gbkStem.c_str()));
    EXPECT_EQ(Text(At(WashedInfo(), "name")), "种子");
    EXPECT_EQ(WashedPath(0).back().substr(32), "_1.字幕");
}

TEST_F(WashTest, AHybridTorrentBecomesAVersion1TorrentWithItsPadFiles) {
    TorrentDescription torrent = MultiFile({{{"A", "x.avi"}, 10000}, {{".pad", "6384"}, 6384}, {{"B", "y.srt"}, 500}});
    torrent.pieceLength = 16384;
    torrent.files[1].extra["attr"] = BencodeString("p");
    const std::string root = BencodeString(std::string(32, 'r'));
    torrent.extraInfo["meta version"] = "i2e";
    torrent.extraInfo["file tree"] = BencodeDict(
        {{"A", BencodeDict({{"x.avi", BencodeDict({{"", BencodeDict({{"length", "i10000e"}, {"pieces root", root}})}})}})},
         {"B", BencodeDict({{"y.srt", BencodeDict({{"", BencodeDict({{"length", "i500e"}, {"pieces root", root}})}})}})}});
    torrent.extraRoot["piece layers"] = BencodeDict({{std::string(32, 'r'), BencodeString(std::string(32, 'h'))}});
    ASSERT_TRUE(Wash(torrent));

    EXPECT_EQ(At(WashedInfo(), "file tree"), nullptr);
    EXPECT_EQ(At(WashedInfo(), "meta version"), nullptr);
    EXPECT_EQ(At(washed_.root, "piece layers"), nullptr);
    EXPECT_EQ(encoded_.find("file tree"), std::string::npos);
    ASSERT_EQ(Files(WashedInfo()).size(), 3u);
    EXPECT_EQ(Text(At(Files(WashedInfo())[1], "attr")), "p");
    EXPECT_EQ(Raw(At(Files(WashedInfo())[1], "length")), "i6384e");
    EXPECT_TRUE(washed_.Analyze());
    EXPECT_EQ(washed_.files.size(), 3u);
}

TEST_F(WashTest, AVersion1TorrentWithAMetaVersionKeyKeepsIt) {
    TorrentDescription torrent = SingleFile("a.bin", 1);
    torrent.extraInfo["meta version"] = "i1e";
    ASSERT_TRUE(Wash(torrent));
    EXPECT_EQ(Raw(At(WashedInfo(), "meta version")), "i1e");
}

}  // namespace
