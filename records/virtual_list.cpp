#include "records/virtual_list.h"

#include "link/utf.h"

namespace {

// Room either side of a column's text, in average characters.
constexpr int kColumnPadding = 2;

}  // namespace

void VirtualList::Create(HWND parent, int id) {
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                                LVS_SINGLESEL,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP);
}

void VirtualList::SetColumns(std::span<const ColumnHeading> headings, int charWidth) {
    ListView_SetItemCount(list_, 0);
    while (ListView_DeleteColumn(list_, 0)) {
    }
    headings_.assign(headings.begin(), headings.end());
    for (size_t i = 0; i < headings_.size(); ++i) {
        std::wstring text = WideFromNarrow(headings_[i].text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = text.data();
        column.cx = (headings_[i].width + kColumnPadding) * charWidth;
        column.iSubItem = static_cast<int>(i);
        ListView_InsertColumn(list_, static_cast<int>(i), &column);
    }
}

void VirtualList::Rescale(int charWidth) {
    for (size_t i = 0; i < headings_.size(); ++i)
        ListView_SetColumnWidth(list_, static_cast<int>(i), (headings_[i].width + kColumnPadding) * charWidth);
}

void VirtualList::Show(size_t rows, Cell cell) {
    // The row selected before, alone: clearing every row's state walks them all.
    Select(-1);
    cell_ = std::move(cell);
    ListView_SetItemCountEx(list_, static_cast<int>(rows), 0);
    if (rows > 0) ListView_EnsureVisible(list_, 0, FALSE);
    InvalidateRect(list_, nullptr, TRUE);
}

void VirtualList::Redraw() { InvalidateRect(list_, nullptr, TRUE); }

void VirtualList::MarkSorted(int column, bool ascending) {
    HWND header = ListView_GetHeader(list_);
    for (int i = 0, n = Header_GetItemCount(header); i < n; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(header, i, &item);
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
        Header_SetItem(header, i, &item);
    }
}

int VirtualList::Selected() const {
    const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED | LVNI_SELECTED);
    return focused >= 0 ? focused : ListView_GetNextItem(list_, -1, LVNI_SELECTED);
}

void VirtualList::Select(int row) {
    for (UINT state : {LVNI_SELECTED, LVNI_FOCUSED}) {
        const int marked = ListView_GetNextItem(list_, -1, state);
        if (marked >= 0) ListView_SetItemState(list_, marked, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (row < 0) return;
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list_, row, FALSE);
}

bool VirtualList::OnNotify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != list_) return false;
    result = 0;
    if (header.code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
        if ((item.mask & LVIF_TEXT) && cell_ && item.cchTextMax > 0) {
            text_ = WideFromNarrow(cell_(static_cast<size_t>(item.iItem), item.iSubItem));
            lstrcpynW(item.pszText, text_.c_str(), item.cchTextMax);
        }
        return true;
    }
    // A virtual list finds no text of its own when the user types: none is found.
    if (header.code == LVN_ODFINDITEMW) result = -1;
    return header.code == LVN_ODFINDITEMW;
}
