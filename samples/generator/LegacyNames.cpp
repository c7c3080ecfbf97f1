#include "samples/generator/LegacyNames.h"

LegacyNames GbkNames()
{
    const std::string season = "\xB5\xDA\xD2\xBB\xBC\xBE"; // 第一季
    const std::string subtitles = "\xD7\xD6\xC4\xBB";      // 字幕
    return LegacyNames{"\xBA\xA3\xB5\xD7\xC9\xAD\xC1\xD6\xBC\xCD\xC2\xBC\xC6\xAC", "海底森林纪录片",
        {{season, "\xB5\xDA\x30\x31\xBC\xAF.mkv"}, {season, "\xB5\xDA\x30\x32\xBC\xAF.mkv"},
            {subtitles, "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4.srt"}},
        {{"第一季", "第01集.mkv"}, {"第一季", "第02集.mkv"}, {"字幕", "简体中文.srt"}}};
}

LegacyNames Big5Names()
{
    return LegacyNames{"\xAE\xFC\xA9\xB3\xB4\xCB\xAA\x4C\xAC\xF6\xBF\xFD\xA4\xF9", "海底森林紀錄片",
        {{"\xB2\xC4\xA4\x40\xA9\x75", "\xB2\xC4\x30\x31\xB6\xB0.mkv"},
            {"\xA6\x72\xB9\xF5", "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5.srt"}},
        {{"第一季", "第01集.mkv"}, {"字幕", "繁體中文.srt"}}};
}

LegacyNames ShiftJisNames()
{
    return LegacyNames{"\x8A\x43\x82\xCC\x90\x58", "海の森",
        {{"\x91\xE6\x88\xEA\x98\x62", "\x91\xE6\x30\x31\x98\x62.mkv"},
            {"\x8E\x9A\x96\x8B", "\x93\xFA\x96\x7B\x8C\xEA.srt"}},
        {{"第一話", "第01話.mkv"}, {"字幕", "日本語.srt"}}};
}

TorrentDescription LegacyTorrent(const LegacyNames& names, const std::optional<std::string>& declared, bool withTwins)
{
    TorrentDescription torrent;
    torrent.announce = "http://tracker.example/announce";
    torrent.name = names.name;
    if (withTwins)
        torrent.nameUtf8 = names.nameUtf8;
    if (declared)
        torrent.extraRoot["encoding"] = BencodeString(*declared);
    for (std::size_t i = 0; i < names.paths.size(); ++i) {
        torrent.files.emplace_back(names.paths[i], static_cast<int64_t>(100000 * (i + 1)),
            withTwins ? names.pathsUtf8[i] : std::vector<std::string>{});
    }
    return torrent;
}
