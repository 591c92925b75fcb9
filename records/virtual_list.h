// A report list view in virtual mode (LVS_OWNERDATA): it keeps no text of
// its own and asks for each cell as it draws it, so 100,000 rows show at
// once and cost the window nothing until seen. The cells come from a
// function of the row and column, in UTF-8; the list hands them to the
// control in UTF-16.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "book/table_cells.h"

class VirtualList {
public:
    using Cell = std::function<std::string(size_t row, int column)>;

    // A child of `parent` with control id `id`, in the tab order after the
    // windows created before it.
    void Create(HWND parent, int id);
    HWND Handle() const { return list_; }

    // New columns, each its heading's width of characters `charWidth` pixels wide.
    void SetColumns(std::span<const ColumnHeading> headings, int charWidth);
    // Column widths after the font changed.
    void Rescale(int charWidth);
    // `rows` rows whose cells `cell` gives; the selection and scroll go back to the top.
    void Show(size_t rows, Cell cell);
    // The rows stay, their cells drawn again (a new order, a new ID form).
    void Redraw();
    // The arrow on the header of the column the rows are sorted by.
    void MarkSorted(int column, bool ascending);

    // The row selected (the focused one of several); -1 when none is.
    int Selected() const;
    void Select(int row);

    // WM_NOTIFY from the list: its cells. True when it was one of the list's.
    bool OnNotify(NMHDR& header, LRESULT& result);

private:
    HWND list_ = nullptr;
    std::vector<ColumnHeading> headings_;
    Cell cell_;
    std::wstring text_;  // the cell being drawn; the control copies it at once
};
