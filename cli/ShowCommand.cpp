#include "cli/ShowCommand.h"

#include "bencode/CBEncodeDict.h"
#include "bencode/CBEncodeInt.h"
#include "bencode/CBEncodeList.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "cli/InfoHash.h"
#include "cli/JsonWriter.h"
#include "cli/SizeText.h"
#include "torrent/BatchConversion.h"
#include "torrent/CTorrentParser.h"

#include <cstdio>
#include <string>

namespace {

// The content size: "length" of a single-file torrent, or the sum of every file's "length"
// (also of files the document doesn't list).
int64_t TotalSize(const CTorrentParser& parser) {
    const CBEncodeObjectBase* info = parser.root->Find("info");
    const auto* dict = static_cast<const CBEncodeDict*>(info);
    if (const CBEncodeObjectBase* length = dict->Find("length"); length != nullptr && length->type == kBEncodeInt) {
        return static_cast<const CBEncodeInt*>(length)->number;
    }
    int64_t total = 0;
    if (const CBEncodeObjectBase* files = dict->Find("files"); files != nullptr && files->type == kBEncodeList) {
        for (const CBEncodeObjectBase* file : static_cast<const CBEncodeList*>(files)->items) {
            if (file->type != kBEncodeDict) {
                continue;
            }
            const CBEncodeObjectBase* length = static_cast<const CBEncodeDict*>(file)->Find("length");
            if (length != nullptr && length->type == kBEncodeInt) {
                total += static_cast<const CBEncodeInt*>(length)->number;
            }
        }
    }
    return total;
}

// The torrent's name: the info "name", which a single-file torrent keeps in its only entry.
std::string TorrentName(const CTorrentParser& parser) {
    if (parser.name.value == nullptr && parser.files.size() == 1 && parser.files[0].path.empty()) {
        return parser.files[0].name.text;
    }
    return parser.name.text;
}

// Folders and name of an entry joined with "/", in the local code page.
std::string EntryPath(const TorrentFileEntry& entry) {
    std::string path;
    for (const TextRef& folder : entry.path) {
        path += folder.text + "/";
    }
    return path + entry.name.text;
}

std::string JsonReport(const std::string& file, CTorrentParser& parser) {
    JsonWriter json;
    json.BeginObject();
    json.Key("file").String(LocalToUtf8(file));
    json.Key("name").String(LocalToUtf8(TorrentName(parser)));
    json.Key("infoHash").String(LoadedInfoHashHex(parser));
    json.Key("pieceLength").Number(parser.pieceLength);
    json.Key("pieceCount").Number(parser.pieceCount);
    json.Key("totalSize").Number(TotalSize(parser));
    json.Key("trackers").BeginArray();
    for (const std::string& tracker : parser.trackers) {
        json.String(tracker);
    }
    json.EndArray();
    json.Key("files").BeginArray();
    for (const TorrentFileEntry& entry : parser.files) {
        json.BeginObject();
        json.Key("path").String(LocalToUtf8(EntryPath(entry)));
        json.Key("length").Number(static_cast<int64_t>(entry.length));
        json.Key("size").String(FormatFileSize(entry.length));
        json.EndObject();
    }
    json.EndArray();
    json.Key("comment").String(parser.comment);
    json.Key("createdBy").String(parser.createdBy);
    json.Key("publisher").String(parser.publisher);
    json.Key("publisherUrl").String(parser.publisherUrl);
    json.EndObject();
    return json.Text() + "\n";
}

std::string JsonFailure(const std::string& file, ConversionOutcome outcome) {
    JsonWriter json;
    json.BeginObject();
    json.Key("file").String(LocalToUtf8(file));
    json.Key("error").String(ConversionStateText(outcome));
    json.EndObject();
    return json.Text() + "\n";
}

std::string TextReport(const std::string& file, CTorrentParser& parser) {
    const int64_t total = TotalSize(parser);
    std::string text = file + "\n";
    text += "  name:          " + TorrentName(parser) + "\n";
    text += "  info hash:     " + LoadedInfoHashHex(parser) + "\n";
    text += "  piece length:  " + std::to_string(parser.pieceLength) + " (" + FormatFileSize(parser.pieceLength) + ")\n";
    text += "  pieces:        " + std::to_string(parser.pieceCount) + "\n";
    text += "  total size:    " + std::to_string(total) + " (" + FormatFileSize(static_cast<double>(total)) + ")\n";
    text += "  trackers:\n";
    for (const std::string& tracker : parser.trackers) {
        text += "    " + Utf8ForConsole(tracker) + "\n";
    }
    text += "  files:\n";
    for (const TorrentFileEntry& entry : parser.files) {
        std::string size = FormatFileSize(entry.length);
        size.insert(0, size.size() < 10 ? 10 - size.size() : 0, ' ');
        text += "    " + size + "  " + EntryPath(entry) + "\n";
    }
    text += "  comment:       " + Utf8ForConsole(parser.comment) + "\n";
    text += "  created by:    " + Utf8ForConsole(parser.createdBy) + "\n";
    text += "  publisher:     " + Utf8ForConsole(parser.publisher) + "\n";
    text += "  publisher url: " + Utf8ForConsole(parser.publisherUrl) + "\n";
    return text;
}

}  // namespace

int RunShow(const CommandLine& line) {
    int status = 0;
    CTorrentParser parser;
    bool first = true;
    for (const std::string& file : line.operands) {
        ConversionOutcome failure = ConversionOutcome::Converted;
        if (!parser.LoadFromFile(file.c_str())) {
            failure = ConversionOutcome::LoadFailed;
        } else if (!parser.Analyze()) {
            failure = ConversionOutcome::AnalyzeFailed;
        }
        std::string text;
        if (failure != ConversionOutcome::Converted) {
            status = 1;
            if (line.json) {
                text = JsonFailure(file, failure);
            } else {
                std::fprintf(stderr, "%s: %s\n", file.c_str(), Utf8ForConsole(ConversionStateText(failure)).c_str());
                continue;
            }
        } else {
            text = line.json ? JsonReport(file, parser) : TextReport(file, parser);
        }
        if (!line.json && !first) {
            text.insert(0, "\n");
        }
        first = false;
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return status;
}
