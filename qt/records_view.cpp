#include "qt/records_view.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "ops/csv_writer.h"

namespace {

const char* const kRecordsTab = "Records";
const char* const kDownloadsTab = "Downloads";
const char* const kFilterHint = "Filter by tag";
const char* const kOpenFolder = "Open Folder";
const char* const kCountFormat = "Download %1: %2 records, %3 new";
const char* const kDownloadFormat = "%1  %2  %3  %4 records, %5 new  %6  %7";
const char* const kNewMark = "new";
constexpr size_t kRowsAtATime = 250;
const char* const kHeadings[] = {"Row", "Type", "Country", "Tag", "Time", "Visual", "Name", "New"};
enum Column { kRow, kType, kCountry, kTag, kTime, kVisual, kName, kNew, kColumns };

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QTableWidgetItem* Cell(const QVariant& value) {
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

RecordsView::RecordsView(QWidget* parent)
    : QTabWidget(parent), table_(new QTableWidget(0, kColumns)), filter_(new QLineEdit),
      count_(new QLabel), openFolder_(new QPushButton(kOpenFolder)), downloads_(new QListWidget) {
    table_->setObjectName("records");
    for (int column = 0; column < kColumns; ++column)
        table_->setHorizontalHeaderItem(column, new QTableWidgetItem(kHeadings[column]));
    table_->verticalHeader()->hide();
    // Sized from the headings: measuring every row of a long download would stall the window.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setSortingEnabled(true);
    filter_->setObjectName("tagFilter");
    filter_->setPlaceholderText(kFilterHint);
    filter_->setClearButtonEnabled(true);
    count_->setObjectName("recordsCount");
    openFolder_->setEnabled(false);
    downloads_->setObjectName("downloads");

    auto* records = new QWidget;
    auto* bar = new QHBoxLayout;
    bar->addWidget(count_, 1);
    bar->addWidget(filter_);
    bar->addWidget(openFolder_);
    auto* column = new QVBoxLayout(records);
    column->addLayout(bar);
    column->addWidget(table_);
    addTab(records, kRecordsTab);
    addTab(downloads_, kDownloadsTab);

    connect(filter_, &QLineEdit::textChanged, this, [this] { Filter(); });
    connect(openFolder_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); });
    connect(downloads_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (chosen_) chosen_(item->data(Qt::UserRole).toLongLong());
    });
}

void RecordsView::Show(const ShownDownload& download) {
    const DownloadSummary& summary = download.summary;
    count_->setText(QString(kCountFormat).arg(summary.number).arg(summary.rows).arg(summary.newRows));
    folder_ = QFileInfo(Text(summary.file)).absolutePath();
    openFolder_->setEnabled(!summary.file.empty());
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(download.rows.size()));
    pending_ = download.rows;
    filled_ = 0;
    ++generation_;
    setCurrentIndex(0);
    FillSome(generation_);
}

// A slice of rows at a time, so a long download never stalls the window.
void RecordsView::FillSome(int generation) {
    if (generation != generation_) return;
    const size_t end = std::min(pending_.size(), filled_ + kRowsAtATime);
    for (; filled_ < end; ++filled_) {
        const BookRead& read = pending_[filled_];
        const QVariant cells[kColumns] = {
            read.row,
            QString(TypeText(read.tag.type)),
            Text(CountryText(read.tag.id.country)),
            Text(NationalText(read.tag)),
            Text(TimeText(read.tag.seconds)),
            read.known ? Text(read.animal.visual) : QString(),
            read.known ? Text(read.animal.name) : QString(),
            read.isNew ? QString(kNewMark) : QString(),
        };
        for (int column = 0; column < kColumns; ++column)
            table_->setItem(static_cast<int>(filled_), column, Cell(cells[column]));
    }
    if (filled_ < pending_.size()) {
        QTimer::singleShot(0, this, [this, generation] { FillSome(generation); });
        return;
    }
    pending_.clear();
    table_->setSortingEnabled(true);
    table_->sortByColumn(kRow, Qt::AscendingOrder);
    Filter();
}

void RecordsView::ShowDownloads(const std::vector<DownloadSummary>& downloads) {
    downloads_->clear();
    for (const DownloadSummary& summary : downloads) {
        const QString text = QString(kDownloadFormat)
                                 .arg(summary.number)
                                 .arg(Text(summary.started), Text(summary.port))
                                 .arg(summary.rows)
                                 .arg(summary.newRows)
                                 .arg(Text(summary.outcome), Text(summary.file));
        auto* item = new QListWidgetItem(text, downloads_);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(summary.number));
    }
}

// A row stays when its tag, with or without its country, holds the text typed.
void RecordsView::Filter() {
    const QString wanted = filter_->text().remove(' ');
    for (int row = 0; row < table_->rowCount() && table_->item(row, kTag); ++row) {
        const QString tag = table_->item(row, kTag)->text();
        const QString full = table_->item(row, kCountry)->text() + tag;
        table_->setRowHidden(row, !wanted.isEmpty() && !full.contains(wanted));
    }
}
