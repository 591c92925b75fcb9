#include "cli/subcommands.h"

#include <algorithm>

namespace {

// A function-local static: the registrations run during static
// initialisation, in no particular order across files.
std::vector<CommandEntry>& Entries() {
    static std::vector<CommandEntry> entries;
    return entries;
}

}  // namespace

bool RegisterCommand(CommandEntry entry) {
    Entries().push_back(entry);
    return true;
}

std::vector<CommandEntry> RegisteredCommands() {
    std::vector<CommandEntry> sorted = Entries();
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CommandEntry& a, const CommandEntry& b) { return a.rank < b.rank; });
    return sorted;
}
