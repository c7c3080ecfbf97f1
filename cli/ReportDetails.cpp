#include "cli/ReportDetails.h"

#include "cli/ConsoleText.h"

std::string RefusalSuffix(const TorrentRefusal& refusal)
{
    return refusal ? " (" + refusal.reason + ")" : std::string();
}

void AddRefusal(nlohmann::ordered_json& record, const TorrentRefusal& refusal)
{
    if (refusal) {
        record["reason"] = refusal.code;
        record["detail"] = refusal.reason;
    }
}

std::string NamesLeftText(const std::vector<NameLeft>& names)
{
    std::string text;
    for (const NameLeft& left : names) {
        text += (text.empty() ? "" : ", ") + left.key + " \"" + PrintableText(Utf8ForConsole(left.name)) + "\"";
    }
    return text;
}

void AddNamesLeft(nlohmann::ordered_json& record, const std::vector<NameLeft>& names)
{
    if (names.empty())
        return;
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const NameLeft& left : names)
        list.push_back({{"key", left.key}, {"name", left.name}});
    record["namesLeft"] = std::move(list);
}
