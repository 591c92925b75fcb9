// The headings and cells of a list view in another program. LVM_GETITEMTEXT
// and HDM_GETITEM carry a pointer, which neither Windows nor Wine carries
// across processes, so the item and its text buffer are placed in the
// program's own memory (VirtualAllocEx) and read back from there.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct ListViewCells {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
    int selected = -1;  // the first row selected; -1 when none is
};

// Nothing when the program's memory could not be reached.
std::optional<ListViewCells> ReadListView(HWND list, DWORD timeoutMs);
