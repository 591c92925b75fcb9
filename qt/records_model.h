// The records table's model: the reads of one download, one row each, in
// the book's order, with a proxy that sorts them by any column and keeps
// the rows whose tag holds the text typed into the filter.
//
// Each read is turned into its cells once, when the download is handed
// over (RecordCellsOf), and nothing is fetched or filled later. The cells
// are kept a column at a time, each column's texts end to end, so that
// sorting or filtering a long download reads a few blocks of memory
// rather than a string per cell. Row sorts as a number, the rest as text.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QString>

#include <array>
#include <vector>

#include "book/book.h"

enum RecordColumn { kRowColumn, kTypeColumn, kCountryColumn, kTagColumn, kTimeColumn, kVisualColumn, kNameColumn,
                    kNewColumn, kRecordColumns };

// What the table shows of one read: its row's number, and the text of
// every other column (texts[kRowColumn] stays empty).
struct RecordCells {
    int row = 0;
    std::array<QString, kRecordColumns> texts;
};

RecordCells RecordCellsOf(const BookRead& read);

// A column's texts end to end.
struct TextColumn {
    QString texts;
    std::vector<qsizetype> ends;  // of each row's text in `texts`

    void Reset(size_t rows);
    void Append(QStringView text);
    QStringView At(int row) const;
};

// A download's rows as the table shows them. Made on any thread, so that
// the window's thread only swaps one in.
struct RecordTable {
    std::vector<int> numbers;                       // each row's number
    std::array<TextColumn, kRecordColumns> texts;  // texts[kRowColumn] stays empty
    TextColumn tagSearch;                           // each row's country and tag, run together
};

RecordTable RecordTableOf(const std::vector<BookRead>& reads);

class RecordsModel : public QAbstractTableModel {
public:
    explicit RecordsModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Shows `table`; gives back the one shown before, to be freed where it costs the window nothing.
    RecordTable SetTable(RecordTable table);
    // Whether row `left` comes before row `right` by `column`.
    bool Less(int left, int right, int column) const;
    // Whether the tag of `row`, with or without its country, holds `text`.
    bool TagHolds(int row, const QString& text) const;

    // Checked here, not through rowCount and columnCount: sorting asks for two indexes a comparison.
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    RecordTable table_;
};

// The model sorted and filtered as the view shows it.
class RecordsOrder : public QSortFilterProxyModel {
public:
    RecordsOrder(RecordsModel* records, QObject* parent);

    // Keeps the rows whose tag, with or without its country, holds `text`,
    // spaces ignored; all of them when it is empty.
    void FilterByTag(QString text);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    const RecordsModel* records_;
    QString wanted_;
};
