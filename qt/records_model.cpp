#include "qt/records_model.h"

#include "ops/csv_writer.h"

namespace {

const char* const kHeadings[kRecordColumns] = {"Row", "Type", "Country", "Tag", "Time", "Visual", "Name", "New"};
const char* const kNewMark = "new";

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

RecordCells RecordCellsOf(const BookRead& read) {
    return {read.row, {
        QString(),
        QString(TypeText(read.tag.type)),
        Text(CountryText(read.tag.id.country)),
        Text(NationalText(read.tag)),
        Text(TimeText(read.tag.seconds)),
        read.known ? Text(read.animal.visual) : QString(),
        read.known ? Text(read.animal.name) : QString(),
        read.isNew ? QString(kNewMark) : QString(),
    }};
}

void TextColumn::Reset(size_t rows) {
    texts.clear();
    ends.clear();
    ends.reserve(rows);
}

void TextColumn::Append(QStringView text) {
    texts.append(text);
    ends.push_back(texts.size());
}

QStringView TextColumn::At(int row) const {
    const qsizetype start = row == 0 ? 0 : ends[static_cast<size_t>(row) - 1];
    return QStringView(texts).sliced(start, ends[static_cast<size_t>(row)] - start);
}

RecordTable RecordTableOf(const std::vector<BookRead>& reads) {
    RecordTable table;
    table.numbers.reserve(reads.size());
    for (TextColumn& column : table.texts) column.Reset(reads.size());
    table.tagSearch.Reset(reads.size());
    for (const BookRead& read : reads) {
        const RecordCells cells = RecordCellsOf(read);
        table.numbers.push_back(cells.row);
        for (size_t column = 0; column < kRecordColumns; ++column) table.texts[column].Append(cells.texts[column]);
        table.tagSearch.Append(cells.texts[kCountryColumn] + cells.texts[kTagColumn]);
    }
    return table;
}

RecordTable RecordsModel::SetTable(RecordTable table) {
    beginResetModel();
    std::swap(table_, table);
    endResetModel();
    return table;
}

QModelIndex RecordsModel::index(int row, int column, const QModelIndex& parent) const {
    const bool inside = row >= 0 && static_cast<size_t>(row) < table_.numbers.size() && column >= 0 &&
                        column < kRecordColumns && !parent.isValid();
    return inside ? createIndex(row, column) : QModelIndex();
}

int RecordsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.numbers.size());
}

int RecordsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRecordColumns; }

QVariant RecordsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    if (index.column() == kRowColumn) return table_.numbers[static_cast<size_t>(index.row())];
    return table_.texts[static_cast<size_t>(index.column())].At(index.row()).toString();
}

bool RecordsModel::Less(int left, int right, int column) const {
    if (column == kRowColumn) return table_.numbers[static_cast<size_t>(left)] < table_.numbers[static_cast<size_t>(right)];
    const TextColumn& texts = table_.texts[static_cast<size_t>(column)];
    return texts.At(left) < texts.At(right);
}

bool RecordsModel::TagHolds(int row, const QString& text) const { return table_.tagSearch.At(row).contains(text); }

QVariant RecordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kRecordColumns) return {};
    return QString(kHeadings[section]);
}

RecordsOrder::RecordsOrder(RecordsModel* records, QObject* parent)
    : QSortFilterProxyModel(parent), records_(records) {
    setSourceModel(records);
}

// Rebuilt whole: removing the rows a filter drops one run at a time costs
// far more on a long download than filtering and sorting it afresh.
void RecordsOrder::FilterByTag(QString text) {
    wanted_ = text.remove(' ');
    invalidate();
}

bool RecordsOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return records_->Less(left.row(), right.row(), left.column());
}

bool RecordsOrder::filterAcceptsRow(int row, const QModelIndex&) const {
    return wanted_.isEmpty() || records_->TagHolds(row, wanted_);
}
