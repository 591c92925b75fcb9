// The records beside the log, over the record book, in three tabs:
//
// - Records: the reads shown (after Get Data, the download just made; or a
//   download chosen, every read of a tag found with "Find Tag", the reads
//   whose tag is not in the animal list), with the visual tag number and
//   name of each animal the user's list knows and the reads new to the
//   book marked; "Save As..." writes them, in the order and with the filter
//   shown, in any export format, the registries' files included.
// - Downloads: the downloads the book holds, any of which can be shown.
// - Animals: "Import Animals..." (every bad line reported, nothing imported
//   until the file is clean), the animals of the group chosen, "Missing..."
//   (the group's animals not read in the download shown) and "Unknown...".
//
// The book is read and written on a thread of its own (book/book_worker.h),
// never on the window's, so the window answers at once whatever the book
// holds and while a download is being written; the view only shows what
// the worker hands it, and only the answer asked for last. A download
// another program writes into the book shows in the list within a second. What stops the
// book (locked, damaged, newer, not a book) is said over the records in a
// sentence. The records table is a view of the download's model
// (records_model.h), sortable by any column; the table is never narrower
// than the columns up to the tag, so that at the window's first size the
// tag shows without a scroll.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "qt/animals_model.h"
#include "qt/records_model.h"

struct PreparedReads;

// The lists the view keeps in step with the book: its downloads, and its
// animals, whose groups the view offers.
struct BookLists {
    BookStatus status;
    std::vector<DownloadSummary> downloads;
    std::vector<Animal> animals;
};

class RecordsView : public QTabWidget {
public:
    explicit RecordsView(QWidget* parent);
    ~RecordsView() override;

    // The book the view reads; with none kept it shows nothing and offers nothing.
    void UseBook(const BookChoice& book);
    // Download `number` and the list of downloads; 0: only the list.
    void ShowDownload(int64_t number);

private:
    using Done = BookWorker::Done;
    using Job = BookWorker::Job;

    // What an answer fills: the reads, the animals, or only the lists of downloads and groups.
    enum Shown { kReadsShown, kAnimalsShown, kListsShown, kShownKinds };

    // Runs `job` on the book's worker; its answer is shown only if nothing
    // was asked after it for the same place.
    void Ask(Shown shown, std::function<Done(Book& book)> job);
    void ShowBookStatus(const BookStatus& status);
    void ShowReads(const std::string& title, PreparedReads shown, RowNumbers numbers, std::string fileName);
    void ShowAnimals(const std::string& title, std::vector<Animal> animals);
    void ShowLists(const BookLists& lists);
    std::string SelectedGroup() const;
    // What Missing... and Unknown... look in: the download shown, else the latest.
    DownloadScope Scope() const;
    std::string ScopeText() const;

    // Once a second: when another program (kavrin-cli, its watch) has
    // written to the book, the lists of downloads and groups are read again.
    void LookForChanges();
    void OnFindTag();
    void OnSaveAs();
    void OnImportAnimals();
    void OnGroup();
    void OnMissing();
    void OnUnknown();

    BookChoice book_;
    std::unique_ptr<BookWorker> worker_;
    std::array<std::atomic<unsigned>, kShownKinds> asked_{};  // the answers that count; the worker looks too
    bool looking_ = false;                // a look for changes is on the worker
    std::optional<int64_t> seenChanges_;  // the worker's alone

    RecordsModel* model_;
    RecordsOrder* order_;
    QTableView* table_;
    QLabel* bookStatus_;
    QLabel* count_;
    QLineEdit* filter_;
    QPushButton* openFolder_;
    QLineEdit* findTag_;
    QPushButton* find_;
    QPushButton* saveAs_;
    QListWidget* downloads_;
    QPushButton* importAnimals_;
    QComboBox* group_;
    QPushButton* missing_;
    QPushButton* unknown_;
    QLabel* animalsTitle_;
    AnimalsModel* animals_;
    QTableView* animalsTable_;

    std::vector<BookRead> reads_;  // as the model holds them, for Save As
    RowNumbers numbers_ = RowNumbers::AsRead;
    std::string fileName_;     // what Save As offers to call the file
    int64_t shownDownload_ = 0;
    QString folder_;
};
