#include "ExportWriters.h"

#include "ExportFormats.h"
#include "ExportText.h"

#include <algorithm>

namespace exporter {

const char* DirectionWord(bool sent) {
    return sent ? "sent" : "received";
}

void AppendFriendLabel(std::string& out, const ExportFriend& log) {
    AppendPlainText(out, log.name);
    out.push_back('(');
    AppendPlainText(out, log.key);
    out.push_back(')');
}

std::string MakeFriendFileName(std::string_view stem, const char* extension,
                               std::vector<std::string>& taken) {
    std::string base;
    for (char c : stem) {
        bool keep = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                    c == '_' || c == '-';
        base.push_back(keep ? c : '_');
    }
    if (base.empty())
        base = "log";
    auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    // "index" is the index's own name.
    if (lower(base) == "index")
        base += "_";
    std::string dotted = *extension ? std::string(".") + extension : std::string();
    std::string name = base + dotted;
    for (int n = 2; std::find(taken.begin(), taken.end(), lower(name)) != taken.end(); ++n)
        name = base + "-" + std::to_string(n) + dotted;
    taken.push_back(lower(name));
    return name;
}

} // namespace exporter
