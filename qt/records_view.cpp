#include "qt/records_view.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "link/utf8_path.h"
#include "qt/book_dialogs.h"
#include "qt/file_dialogs.h"

// Reads and their cells, made on the worker: the window's thread only swaps them in.
struct PreparedReads {
    std::vector<BookRead> reads;
    RecordTable table;
};

namespace {

const char* const kRecordsTab = "Records";
const char* const kDownloadsTab = "Downloads";
const char* const kAnimalsTab = "Animals";
const char* const kFilterHint = "Filter by tag";
const char* const kOpenFolder = "Open Folder";
const char* const kFindHint = "Find Tag: any form of an ID";
const char* const kFind = "Find Tag";
const char* const kSaveAs = "Save As...";
const char* const kImportAnimals = "Import Animals...";
const char* const kGroupLabel = "Group";
const char* const kAllGroups = "All groups";
const char* const kMissing = "Missing...";
const char* const kUnknown = "Unknown...";
const char* const kReading = "Reading the record book...";
const char* const kAnimalListFilter = "Animal list (*.csv);;All files (*)";
constexpr int kLookMs = 1000;
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
    // The cell's own margins, and a character's room that styles and fonts differ by.
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) +
                       table->fontMetrics().averageCharWidth();
    for (int column = 0; column < kRecordColumns; ++column)
        header->resizeSection(column, std::max(header->sectionSizeHint(column),
                                               table->fontMetrics().horizontalAdvance(kSamples[column]) + margin));
    const int throughTag = header->sectionPosition(kTagColumn) + header->sectionSize(kTagColumn);
    const int scrollBar = table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, table->verticalScrollBar());
    table->setMinimumWidth(throughTag + 2 * table->frameWidth() + scrollBar);
}

QPushButton* Button(const char* caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setEnabled(false);
    return button;
}

QTableView* Table(const char* name, QAbstractItemModel* model) {
    auto* table = new QTableView;
    table->setObjectName(name);
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->setSortingEnabled(true);
    // One line a row: a time broken over two would halve the rows in sight.
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().lineSpacing() +
                                                   2 * table->style()->pixelMetric(QStyle::PM_FocusFrameVMargin));
    return table;
}

std::shared_ptr<PreparedReads> Prepared(std::vector<BookRead> reads) {
    RecordTable table = RecordTableOf(reads);
    return std::make_shared<PreparedReads>(PreparedReads{std::move(reads), std::move(table)});
}

BookLists ReadLists(Book& book) {
    BookAnswer<std::vector<DownloadSummary>> downloads = ListDownloads(book);
    BookAnswer<std::vector<Animal>> animals = ListAnimals(book, "");
    return {!downloads.status.Ok() ? downloads.status : animals.status, std::move(downloads.value),
            std::move(animals.value)};
}

std::filesystem::path DocumentsFolder() {
    return PathFromUtf8(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
}

}  // namespace

RecordsView::RecordsView(QWidget* parent)
    : QTabWidget(parent), model_(new RecordsModel(this)), order_(new RecordsOrder(model_, this)),
      table_(Table("records", order_)), bookStatus_(new QLabel), count_(new QLabel), filter_(new QLineEdit),
      openFolder_(Button(kOpenFolder, "openFolder")), findTag_(new QLineEdit), find_(Button(kFind, "find")),
      saveAs_(Button(kSaveAs, "saveAs")), downloads_(new QListWidget),
      importAnimals_(Button(kImportAnimals, "importAnimals")), group_(new QComboBox),
      missing_(Button(kMissing, "missing")), unknown_(Button(kUnknown, "unknown")), animalsTitle_(new QLabel),
      animals_(new AnimalsModel(this)), animalsTable_(Table("animals", animals_)) {
    table_->sortByColumn(kRowColumn, Qt::AscendingOrder);
    SizeColumns(table_);
    bookStatus_->setObjectName("bookStatus");
    bookStatus_->setWordWrap(true);
    bookStatus_->hide();
    filter_->setObjectName("tagFilter");
    filter_->setPlaceholderText(kFilterHint);
    filter_->setClearButtonEnabled(true);
    count_->setObjectName("recordsCount");
    findTag_->setObjectName("findTag");
    findTag_->setAccessibleName(kFind);
    findTag_->setPlaceholderText(kFindHint);
    findTag_->setEnabled(false);
    downloads_->setObjectName("downloads");
    group_->setObjectName("group");
    group_->addItem(kAllGroups);
    group_->setEnabled(false);
    animalsTitle_->setObjectName("animalsTitle");
    animalsTitle_->setWordWrap(true);

    auto* records = new QWidget;
    auto* bar = new QHBoxLayout;
    bar->addWidget(count_, 1);
    bar->addWidget(filter_);
    bar->addWidget(openFolder_);
    auto* findBar = new QHBoxLayout;
    findBar->addWidget(findTag_, 1);
    findBar->addWidget(find_);
    findBar->addWidget(saveAs_);
    auto* column = new QVBoxLayout(records);
    column->addWidget(bookStatus_);
    column->addLayout(bar);
    column->addLayout(findBar);
    column->addWidget(table_);
    addTab(records, kRecordsTab);
    addTab(downloads_, kDownloadsTab);

    auto* animals = new QWidget;
    auto* animalsBar = new QHBoxLayout;
    auto* groupLabel = new QLabel(kGroupLabel);
    groupLabel->setBuddy(group_);
    animalsBar->addWidget(importAnimals_);
    animalsBar->addWidget(groupLabel);
    animalsBar->addWidget(group_, 1);
    animalsBar->addWidget(missing_);
    animalsBar->addWidget(unknown_);
    auto* animalsColumn = new QVBoxLayout(animals);
    animalsColumn->addLayout(animalsBar);
    animalsColumn->addWidget(animalsTitle_);
    animalsColumn->addWidget(animalsTable_);
    addTab(animals, kAnimalsTab);

    connect(filter_, &QLineEdit::textChanged, order_, &RecordsOrder::FilterByTag);
    connect(openFolder_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); });
    connect(downloads_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowDownload(item->data(Qt::UserRole).toLongLong()); });
    connect(findTag_, &QLineEdit::returnPressed, this, [this] { OnFindTag(); });
    connect(find_, &QPushButton::clicked, this, [this] { OnFindTag(); });
    connect(saveAs_, &QPushButton::clicked, this, [this] { OnSaveAs(); });
    connect(importAnimals_, &QPushButton::clicked, this, [this] { OnImportAnimals(); });
    connect(group_, &QComboBox::activated, this, [this] { OnGroup(); });
    connect(missing_, &QPushButton::clicked, this, [this] { OnMissing(); });
    connect(unknown_, &QPushButton::clicked, this, [this] { OnUnknown(); });
}

// The worker ends its query at its next look, before the models it answers to go.
RecordsView::~RecordsView() { worker_.reset(); }

void RecordsView::UseBook(const BookChoice& book) {
    book_ = book;
    if (!book_.kept) return;
    worker_ = std::make_unique<BookWorker>(book_.path, [this](Done done) {
        QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
    });
    for (QWidget* control : std::initializer_list<QWidget*>{findTag_, find_, importAnimals_, group_, missing_, unknown_})
        control->setEnabled(true);
    auto* look = new QTimer(this);
    connect(look, &QTimer::timeout, this, [this] { LookForChanges(); });
    look->start(kLookMs);
}

void RecordsView::LookForChanges() {
    if (looking_) return;
    looking_ = true;
    worker_->Post([this](Book& book, const BookStatus&) -> Done {
        auto done = [this] { looking_ = false; };
        if (!book.IsOpen()) return done;
        const BookAnswer<int64_t> changes = ChangeCount(book);
        if (!changes.status.Ok() || changes.value == seenChanges_) return done;
        seenChanges_ = changes.value;
        return [this, lists = ReadLists(book)] {
            looking_ = false;
            if (lists.status.Ok()) ShowLists(lists);
        };
    });
}

void RecordsView::Ask(Shown shown, std::function<Done(Book& book)> job) {
    if (!worker_) return;
    std::atomic<unsigned>& last = asked_[shown];
    const unsigned asked = ++last;
    worker_->Post([this, &last, asked, job = std::move(job)](Book& book, const BookStatus& opened) -> Done {
        // Asked again before this one ran: only the last counts.
        if (asked != last) return {};
        if (!book.IsOpen()) return [this, opened] { ShowBookStatus(opened); };
        Done done = job(book);
        return [&last, asked, done = std::move(done)] {
            if (asked == last && done) done();
        };
    });
}

// A book not made yet is no fault: the first Get Data makes it.
void RecordsView::ShowBookStatus(const BookStatus& status) {
    const bool said = !status.Ok() && status.error != BookError::Missing;
    bookStatus_->setText(said ? Text(status.text) : QString());
    bookStatus_->setVisible(said);
}

void RecordsView::ShowDownload(int64_t number) {
    if (number != 0) count_->setText(kReading);
    Ask(number != 0 ? kReadsShown : kListsShown, [this, number](Book& book) -> Done {
        BookLists lists = ReadLists(book);
        BookAnswer<ShownDownload> shown;
        if (number != 0) shown = LoadDownload(book, number);
        const BookStatus status = !lists.status.Ok() ? lists.status : shown.status;
        auto prepared = Prepared(std::move(shown.value.rows));
        return [this, number, status, lists = std::move(lists), summary = shown.value.summary, prepared]() mutable {
            ShowBookStatus(status);
            ShowLists(lists);
            if (number == 0) return;
            // Gone from the book (a book replaced under the window): the status says why.
            if (summary.number == 0) return count_->clear();
            shownDownload_ = summary.number;
            folder_ = QFileInfo(Text(summary.file)).absolutePath();
            openFolder_->setEnabled(!summary.file.empty());
            const QString title = QString(kCountFormat).arg(summary.number).arg(summary.rows).arg(summary.newRows);
            ShowReads(title.toStdString(), std::move(*prepared), RowNumbers::AsRead, SaveAsName(summary.number));
        };
    });
}

void RecordsView::ShowReads(const std::string& title, PreparedReads shown, RowNumbers numbers, std::string fileName) {
    count_->setText(Text(title));
    numbers_ = numbers;
    fileName_ = std::move(fileName);
    // Freeing 100,000 reads and their cells takes longer than the window may wait.
    auto old = std::make_shared<PreparedReads>(
        PreparedReads{std::exchange(reads_, std::move(shown.reads)), model_->SetTable(std::move(shown.table))});
    worker_->Post([old = std::move(old)](Book&, const BookStatus&) -> Done { return {}; });
    saveAs_->setEnabled(!reads_.empty());
    setCurrentIndex(0);
}

void RecordsView::ShowAnimals(const std::string& title, std::vector<Animal> animals) {
    animalsTitle_->setText(Text(title));
    animals_->SetAnimals(std::move(animals));
    setCurrentIndex(indexOf(animalsTable_->parentWidget()));
}

void RecordsView::ShowLists(const BookLists& lists) {
    downloads_->clear();
    for (const DownloadSummary& summary : lists.downloads) {
        const QString text = QString(kDownloadFormat)
                                 .arg(summary.number)
                                 .arg(Text(summary.started), Text(summary.port))
                                 .arg(summary.rows)
                                 .arg(summary.newRows)
                                 .arg(Text(summary.outcome), Text(summary.file));
        auto* item = new QListWidgetItem(text, downloads_);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(summary.number));
    }
    const QString chosen = group_->currentIndex() > 0 ? group_->currentText() : QString();
    while (group_->count() > 1) group_->removeItem(1);
    for (const std::string& group : GroupsOf(lists.animals)) group_->addItem(Text(group));
    group_->setCurrentIndex(std::max(0, group_->findText(chosen)));
}

std::string RecordsView::SelectedGroup() const {
    return group_->currentIndex() > 0 ? group_->currentText().toStdString() : std::string();
}

DownloadScope RecordsView::Scope() const { return {shownDownload_, "", ""}; }

std::string RecordsView::ScopeText() const {
    return shownDownload_ != 0 ? DownloadScopeText(shownDownload_) : LatestDownloadText();
}

void RecordsView::OnFindTag() {
    const TagIdParse parsed = ParseTagId(findTag_->text().toStdString());
    if (!parsed.id) {
        QMessageBox::warning(this, kFind, Text(parsed.refusal));
        findTag_->setFocus();
        findTag_->selectAll();
        return;
    }
    count_->setText(kReading);
    Ask(kReadsShown, [this, tag = *parsed.id](Book& book) -> Done {
        BookAnswer<std::vector<BookRead>> reads = ReadsOfTag(book, tag);
        return [this, tag, status = reads.status, prepared = Prepared(std::move(reads.value))] {
            ShowBookStatus(status);
            const std::string title = TagReadsTitle(tag, prepared->reads.size());
            ShowReads(title, std::move(*prepared), RowNumbers::FromOne, SaveAsName(0));
        };
    });
}

void RecordsView::OnSaveAs() {
    if (reads_.empty() || !worker_) return;
    const std::optional<SaveAsAnswer> answer = AskSaveAs(this, DocumentsFolder() / PathFromUtf8(fileName_));
    if (!answer) return;
    // The reads as shown: in the order sorted, those the filter keeps.
    std::vector<BookRead> rows;
    rows.reserve(static_cast<size_t>(order_->rowCount()));
    for (int row = 0; row < order_->rowCount(); ++row)
        rows.push_back(reads_[static_cast<size_t>(order_->mapToSource(order_->index(row, 0)).row())]);
    worker_->Post([this, answer = *answer, rows = std::move(rows), numbers = numbers_](Book& book,
                                                                                       const BookStatus&) -> Done {
        auto saved = SaveReadsAs(book, rows, numbers, answer.choice, answer.file);
        return [this, status = saved.status, files = saved.value.size(), count = rows.size(), file = answer.file] {
            const std::string name = Utf8FromPath(file);
            // The animal list a file needed could not be read from the book.
            if (!status.Ok()) return void(QMessageBox::warning(this, kSaveAsTitle, Text(status.text)));
            if (files == 0) return void(QMessageBox::warning(this, kSaveAsTitle, Text(SavedSentence(count, files, name))));
            QMessageBox::information(this, kSaveAsTitle, Text(SavedSentence(count, files, name)));
        };
    });
}

void RecordsView::OnImportAnimals() {
    const QString chosen = ChooseFileToOpen(this, kImportTitle, kAnimalListFilter);
    if (chosen.isEmpty() || !worker_) return;
    const std::filesystem::path file = PathFromUtf8(chosen.toStdString());
    worker_->Post([this, file](Book& book, const BookStatus&) -> Done {
        // The animal list may come before the first download: it starts the book.
        BookStatus opened;
        if (!book.IsOpen()) opened = OpenChosenBook(book_, BookAccess::Create, book);
        if (!opened.Ok()) return [this, opened] { QMessageBox::warning(this, kImportTitle, Text(opened.text)); };
        return [this, file, result = ImportAnimalList(book, file)] {
            const std::string name = Utf8FromPath(file);
            if (!result.problems.empty()) return ShowImportReport(this, name, result.problems);
            if (!result.status.Ok()) return void(QMessageBox::warning(this, kImportTitle, Text(result.status.text)));
            QMessageBox::information(this, kImportTitle, Text(ImportedSentence(result.imported, name)));
            ShowDownload(0);
            OnGroup();
        };
    });
}

void RecordsView::OnGroup() {
    Ask(kAnimalsShown, [this, group = SelectedGroup()](Book& book) -> Done {
        BookAnswer<std::vector<Animal>> animals = ListAnimals(book, group);
        return [this, group, status = animals.status, animals = std::move(animals.value)]() mutable {
            ShowBookStatus(status);
            const std::string title = AnimalsTitle(group, animals.size());
            ShowAnimals(title, std::move(animals));
        };
    });
}

void RecordsView::OnMissing() {
    Ask(kAnimalsShown, [this, group = SelectedGroup(), scope = Scope(), where = ScopeText()](Book& book) -> Done {
        BookAnswer<std::vector<Animal>> animals = MissingAnimals(book, group, scope);
        return [this, group, where, status = animals.status, animals = std::move(animals.value)]() mutable {
            ShowBookStatus(status);
            const std::string title = MissingAnimalsTitle(group, where, animals.size());
            ShowAnimals(title, std::move(animals));
        };
    });
}

void RecordsView::OnUnknown() {
    Ask(kReadsShown, [this, scope = Scope(), where = ScopeText()](Book& book) -> Done {
        BookAnswer<std::vector<BookRead>> reads = ReadsOfScope(book, scope, ReadFilter::Unknown);
        return [this, where, status = reads.status, prepared = Prepared(std::move(reads.value))] {
            ShowBookStatus(status);
            const std::string title = UnknownReadsTitle(where, prepared->reads.size());
            ShowReads(title, std::move(*prepared), RowNumbers::FromOne, SaveAsName(0));
        };
    });
}
