// The records beside the log: the rows of the download shown (after Get
// Data, the one just made), with the visual tag number and name of each
// animal the user's list knows and the reads new to the book marked; and,
// on a second tab, the downloads the book holds, any of which can be shown.
//
// The book is read on the worker thread (LoadDownload, ListDownloads); the
// view only shows what it is handed, on the window's thread.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <functional>
#include <vector>

#include "book/book.h"

class RecordsView : public QTabWidget {
public:
    explicit RecordsView(QWidget* parent);

    // Called with a download's number when the user picks it in the list.
    void OnChosen(std::function<void(int64_t)> chosen) { chosen_ = std::move(chosen); }
    void Show(const ShownDownload& download);
    void ShowDownloads(const std::vector<DownloadSummary>& downloads);

private:
    void Filter();
    void FillSome(int generation);

    QTableWidget* table_;
    QLineEdit* filter_;
    QLabel* count_;
    QPushButton* openFolder_;
    QListWidget* downloads_;
    QString folder_;
    std::function<void(int64_t)> chosen_;
    std::vector<BookRead> pending_;  // the rows being put into the table
    size_t filled_ = 0;
    int generation_ = 0;  // of the download shown last: a newer one ends an older one's filling
};
