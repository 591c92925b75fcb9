// The records beside the log: the rows of the download shown (after Get
// Data, the one just made), with the visual tag number and name of each
// animal the user's list knows and the reads new to the book marked; and,
// on a second tab, the downloads the book holds, any of which can be shown.
//
// The book is read on the worker thread (LoadDownload, ListDownloads); the
// view only shows what it is handed, on the window's thread. The table is
// a view of the download's model (records_model.h), sortable by any
// column; a download shown keeps the order and the filter chosen. Its
// columns are sized from their headings and a sample text, and the table
// is never narrower than the columns up to the tag, so that at the
// window's first size the tag shows without a scroll.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include <functional>
#include <vector>

#include "book/book.h"
#include "qt/records_model.h"

class RecordsView : public QTabWidget {
public:
    explicit RecordsView(QWidget* parent);

    // Called with a download's number when the user picks it in the list.
    void OnChosen(std::function<void(int64_t)> chosen) { chosen_ = std::move(chosen); }
    void Show(const ShownDownload& download);
    void ShowDownloads(const std::vector<DownloadSummary>& downloads);

private:
    RecordsModel* model_;
    RecordsOrder* order_;
    QTableView* table_;
    QLineEdit* filter_;
    QLabel* count_;
    QPushButton* openFolder_;
    QListWidget* downloads_;
    QString folder_;
    std::function<void(int64_t)> chosen_;
};
