#include "cli/Help.h"

#include <algorithm>

#include "app/Product.h"
#include "cli/Commands.h"
#include "scan/CategoryTable.h"

namespace keltora {

namespace {

constexpr std::size_t kIndent = 2;
constexpr std::size_t kColumn = 30;

// A text padded to its column; one too long for it ends its line, and what follows starts on
// the next line at the column (indent: where the text itself started).
std::string padded(std::string_view text, std::size_t width, std::size_t indent) {
    if (text.size() < width) return std::string(text) + std::string(width - text.size(), ' ');
    return std::string(text) + "\n" + std::string(indent + width, ' ');
}

// "  left   what it does", the description's own line breaks kept in its column.
std::string row(std::string_view left, std::string_view does) {
    std::string line = std::string(kIndent, ' ') + padded(left, kColumn, kIndent);
    for (const char c : does) line += c == '\n' ? "\n" + std::string(kIndent + kColumn, ' ') : std::string(1, c);
    return line + "\n";
}

constexpr const char* kStatuses[] = {
    "0 done",
    "1 an error stopped the command (said on stderr)",
    "2 the command line is not one the console takes",
    "3 done, but checked findings could not be removed and are still listed",
    "4 a backup or undo journal it needed could not be made; nothing changed",
    "5 administrator rights are needed; nothing changed",
};

}  // namespace

std::string HelpText() {
    std::string text = "usage: keltora-cli [OPTIONS] COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto& command : Commands())
        text += row(std::string(command.name) + (command.arguments.empty() ? "" : " ") + std::string(command.arguments),
                    command.does);
    text += "\nOptions, before or after the command:\n";
    for (const auto& option : kOptions)
        text += row(std::string(option.name) + (option.value.empty() ? "" : " ") + std::string(option.value), option.does);
    text += "\nCategories: CODE (in any case), page, group\n";
    std::size_t page = 0;
    for (const auto& info : kCategories) page = std::max(page, info.menuItem.size() + 2);
    for (const auto& info : kCategories)
        text += std::string(kIndent, ' ') + padded(info.code, 8, kIndent) + padded(info.menuItem, page, kIndent + 8) +
                std::string(info.group) + "\n";
    text += "\nROWS count from 0 in the category's last listing; R are summary rows\n(see categories).\n"
            "\nExit status:\n";
    for (const char* status : kStatuses) text += std::string(kIndent, ' ') + status + "\n";
    return text;
}

std::string VersionText() { return std::string(kProductTitle) + " " + std::string(kVersion) + " (keltora-cli)\n"; }

}  // namespace keltora
