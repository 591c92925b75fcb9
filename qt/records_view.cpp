#include "qt/records_view.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kRecordsTab = "Records";
const char* const kDownloadsTab = "Downloads";
const char* const kFilterHint = "Filter by tag";
const char* const kOpenFolder = "Open Folder";
const char* const kCountFormat = "Download %1: %2 records, %3 new";
const char* const kDownloadFormat = "%1  %2  %3  %4 records, %5 new  %6  %7";
// A likely widest text of each column, to size it by.
const char* const kSamples[kRecordColumns] = {"100000", "FDXB", "0000", "000000000000", "0000-00-00 00:00:00",
                                              "0000000000", "Name of an animal", "new"};

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Each column as wide as its heading or its sample, whichever is wider;
// measuring every row of a long download would stall the window. The
// table is never narrower than the columns up to the tag.
void SizeColumns(QTableView* table) {
    QHeaderView* header = table->horizontalHeader();
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    for (int column = 0; column < kRecordColumns; ++column)
        header->resizeSection(column, std::max(header->sectionSizeHint(column),
                                               table->fontMetrics().horizontalAdvance(kSamples[column]) + margin));
    const int throughTag = header->sectionPosition(kTagColumn) + header->sectionSize(kTagColumn);
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table->verticalScrollBar());
    table->setMinimumWidth(throughTag + 2 * table->frameWidth() + scrollBar);
}

}  // namespace

RecordsView::RecordsView(QWidget* parent)
    : QTabWidget(parent), model_(new RecordsModel(this)), order_(new RecordsOrder(model_, this)),
      table_(new QTableView), filter_(new QLineEdit), count_(new QLabel), openFolder_(new QPushButton(kOpenFolder)),
      downloads_(new QListWidget) {
    table_->setObjectName("records");
    table_->setModel(order_);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setSortingEnabled(true);
    table_->sortByColumn(kRowColumn, Qt::AscendingOrder);
    SizeColumns(table_);
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

    connect(filter_, &QLineEdit::textChanged, order_, &RecordsOrder::FilterByTag);
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
    model_->SetReads(download.rows);
    setCurrentIndex(0);
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
