#include "list_view_cells.h"

#include <commctrl.h>

#include "link/utf.h"

namespace {

constexpr int kTextCapacity = 1024;  // characters of one cell

// Memory of another process, released with the object.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteMemory() {
        if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Ok() const { return base_ != nullptr; }
    char* At(size_t offset) const { return base_ + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

// The item (an LVITEMW or HDITEMW) first, its text after it.
constexpr size_t kTextOffset = 256;

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result);
    return static_cast<LRESULT>(result);
}

template <typename Item>
std::optional<std::string> TextThrough(const RemoteMemory& memory, Item item, HWND window, UINT message, WPARAM index,
                                       DWORD timeoutMs) {
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(kTextOffset));
    item.cchTextMax = kTextCapacity;
    const wchar_t nothing = 0;
    if (!memory.Write(0, &item, sizeof item) || !memory.Write(kTextOffset, &nothing, sizeof nothing)) return std::nullopt;
    Ask(window, message, index, reinterpret_cast<LPARAM>(memory.At(0)), timeoutMs);
    std::wstring text(kTextCapacity, L'\0');
    if (!memory.Read(kTextOffset, text.data(), text.size() * sizeof(wchar_t))) return std::nullopt;
    text.resize(text.find(L'\0'));
    return NarrowFromWide(text);
}

}  // namespace

std::optional<ListViewCells> ReadListView(HWND list, DWORD timeoutMs) {
    RemoteMemory memory(list, kTextOffset + kTextCapacity * sizeof(wchar_t));
    if (!memory.Ok()) return std::nullopt;
    ListViewCells cells;
    HWND header = reinterpret_cast<HWND>(Ask(list, LVM_GETHEADER, 0, 0, timeoutMs));
    const int columns = static_cast<int>(Ask(header, HDM_GETITEMCOUNT, 0, 0, timeoutMs));
    for (int column = 0; column < columns; ++column) {
        HDITEMW item{};
        item.mask = HDI_TEXT;
        std::optional<std::string> text = TextThrough(memory, item, header, HDM_GETITEMW, column, timeoutMs);
        if (!text) return std::nullopt;
        cells.headings.push_back(*text);
    }
    const int rows = static_cast<int>(Ask(list, LVM_GETITEMCOUNT, 0, 0, timeoutMs));
    for (int row = 0; row < rows; ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            std::optional<std::string> text = TextThrough(memory, item, list, LVM_GETITEMTEXTW, row, timeoutMs);
            if (!text) return std::nullopt;
            texts.push_back(*text);
        }
        cells.rows.push_back(std::move(texts));
    }
    cells.selected = static_cast<int>(Ask(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, timeoutMs));
    return cells;
}
