#include "cli/ShowCommand.h"

#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "cli/JsonWriter.h"
#include "cli/ReportDetails.h"
#include "cli/ShowReport.h"
#include "platform/LegacyCodePage.h"
#include "torrent/BatchConversion.h"
#include "torrent/CTorrentParser.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>

namespace {

std::string JsonFailure(const std::string& file, ConversionOutcome outcome, const TorrentRefusal& refusal)
{
    nlohmann::ordered_json record = {{"file", LocalToUtf8(file)}, {"error", ConversionStateText(outcome)}};
    AddRefusal(record, refusal);
    return JsonText(record) + "\n";
}

} // namespace

int RunShow(const CommandLine& line)
{
    int status = 0;
    CTorrentParser parser;
    if (!line.encoding.empty())
        parser.chosenCodePage = LegacyCodePageNamed(line.encoding);
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
                text = JsonFailure(file, failure, parser.refusal);
            } else {
                std::fprintf(stderr, "%s: %s%s\n", PrintableText(file).c_str(),
                    Utf8ForConsole(ConversionStateText(failure)).c_str(), RefusalSuffix(parser.refusal).c_str());
                continue;
            }
        } else {
            text = line.json ? ShowJsonReport(file, parser) : ShowTextReport(file, parser);
        }
        if (!line.json && !first) {
            std::fputc('\n', stdout); // a blank line between two reports
        }
        first = false;
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return status;
}
