#include "cli/ShowReport.h"

#include "cli/ConsoleText.h"
#include "torrent/InfoHash.h"
#include "cli/JsonWriter.h"
#include "torrent/CTorrentParser.h"
#include "torrent/SizeText.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace {

// The torrent's name: the info "name", which a single-file torrent keeps in its only entry.
std::string TorrentName(const CTorrentParser& parser)
{
    if (parser.name.value == nullptr && parser.files.size() == 1 && parser.files[0].path.empty()) {
        return parser.files[0].name.text;
    }
    return parser.name.text;
}

// Folders and name of an entry joined with "/", in the local code page.
std::string EntryPath(const TorrentFileEntry& entry)
{
    std::string path;
    for (const TextRef& folder : entry.path) {
        path += folder.text + "/";
    }
    return path + entry.name.text;
}

// A UTF-8 text from the torrent, ready for the terminal.
std::string ForTerminal(const std::string& utf8)
{
    return PrintableText(Utf8ForConsole(utf8));
}

} // namespace

std::string ShowJsonReport(const std::string& file, const CTorrentParser& parser)
{
    // A torrent may list a million files: each entry is written as soon as it is made, rather
    // than all of them held as values until the end.
    std::string files = "[";
    for (const TorrentFileEntry& entry : parser.files) {
        if (files.size() > 1) {
            files += ',';
        }
        files += JsonText({{"path", LocalToUtf8(EntryPath(entry))}, {"length", entry.length},
            {"size", SizeText(static_cast<double>(entry.length), SizeTextEnd::Bare)}});
    }
    files += ']';
    nlohmann::ordered_json report = {{"file", LocalToUtf8(file)}, {"name", LocalToUtf8(TorrentName(parser))},
        {"nameSources", parser.nameSources.Labels()}, {"infoHash", LoadedInfoHashHex(parser)},
        {"pieceLength", parser.pieceLength}, {"pieceCount", parser.pieceCount}, {"totalSize", parser.totalLength},
        {"trackers", parser.trackers}, {"files", WrittenJson(files)}, {"comment", parser.comment},
        {"createdBy", parser.createdBy}, {"publisher", parser.publisher}, {"publisherUrl", parser.publisherUrl}};
    if (parser.paddingFiles != 0) {
        report["paddingFiles"] = parser.paddingFiles;
    }
    return JsonText(report) + "\n";
}

std::string ShowTextReport(const std::string& file, const CTorrentParser& parser)
{
    const int64_t total = parser.totalLength;
    std::string text = PrintableText(file) + "\n";
    text += "  name:          " + PrintableText(TorrentName(parser)) + "\n";
    text += "  info hash:     " + LoadedInfoHashHex(parser) + "\n";
    text += "  piece length:  " + std::to_string(parser.pieceLength) + " ("
        + SizeText(parser.pieceLength, SizeTextEnd::Bare) + ")\n";
    text += "  pieces:        " + std::to_string(parser.pieceCount) + "\n";
    text += "  total size:    " + std::to_string(total) + " (" + SizeText(static_cast<double>(total), SizeTextEnd::Bare)
        + ")\n";
    // A trackerless torrent finds its peers through DHT or the magnet links that name it.
    text += parser.trackers.empty() ? "  trackers:      none\n" : "  trackers:\n";
    for (const std::string& tracker : parser.trackers) {
        text += "    " + ForTerminal(tracker) + "\n";
    }
    text += "  files:\n";
    for (const TorrentFileEntry& entry : parser.files) {
        std::string size = SizeText(static_cast<double>(entry.length), SizeTextEnd::Bare);
        size.insert(0, size.size() < 10 ? 10 - size.size() : 0, ' ');
        text += "    " + size + "  " + PrintableText(EntryPath(entry)) + "\n";
    }
    if (parser.paddingFiles != 0) {
        text += "  padding files: " + std::to_string(parser.paddingFiles) + "\n";
    }
    text += "  comment:       " + ForTerminal(parser.comment) + "\n";
    text += "  created by:    " + ForTerminal(parser.createdBy) + "\n";
    text += "  publisher:     " + ForTerminal(parser.publisher) + "\n";
    text += "  publisher url: " + ForTerminal(parser.publisherUrl) + "\n";
    return text;
}
