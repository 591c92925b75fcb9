// Kavrin Records' window over the record book: the downloads, newest
// first; below them the reads of the download chosen, of a period or of
// one tag, or the user's animals (all, a group's, those not read); and the
// buttons that import the animal list, save the reads shown, and say why a
// reader cannot be reached. It never talks to a reader and never changes a
// download; importing the animal list writes the book's animals alone.
//
// The object keeps itself with its window (GWLP_USERDATA); one table routes
// each control's command to its handler. Every book query runs on the
// book's worker (window_book_worker.h) and comes back as a message, so the
// window answers at once whatever the book holds; a timer asks the book every
// second whether another program has written to it, and a new download
// then shows up by itself. The window lays itself out from its font's
// measures and lays itself out again when it moves to a screen of another
// DPI (records_layout.cpp); the handlers are in records_actions.cpp.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "book/book.h"
#include "records/window_book_worker.h"
#include "records/dpi.h"
#include "records/message_box.h"
#include "records/virtual_list.h"

class ReaderDialog;

class RecordsWindow {
public:
    explicit RecordsWindow(std::filesystem::path book);
    ~RecordsWindow();
    RecordsWindow(const RecordsWindow&) = delete;
    RecordsWindow& operator=(const RecordsWindow&) = delete;

    // Creates the window and shows it as `show` says; false when it could not be made.
    bool Create(int show);
    // The keys the window takes before its controls do: its accelerators,
    // and Tab, Enter, Esc and the mnemonics as in a dialog. True when `msg` was one.
    bool TakeKeys(MSG& msg);

private:
    // What the lower list shows.
    enum class Shown { Nothing, Reads, Animals };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    LRESULT OnNotify(NMHDR& header);
    void OnDestroy();

    // records_layout.cpp
    void CreateControls();
    HWND AddControl(const wchar_t* className, const std::string& text, DWORD style, int id);
    // The font for the window's DPI on every control, and the layout for it.
    void UseDpi(UINT dpi);
    void LayOut();
    // A control of a row, its width and the gap before it, in pixels.
    struct Placed {
        HWND control;
        int width;
        int gap;
    };
    // The rows of controls side by side: the period and Find Tag, the
    // animals and the ID form, the buttons below the lists.
    std::vector<std::vector<Placed>> ControlRows() const;
    // Everything above, between and below the two lists.
    int FixedHeight() const;
    // The smallest client area every control fits in.
    SIZE SmallestClient() const;
    // Room for every control and a screenful of rows.
    void SizeAtFirst();
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    IdForm ChosenIdForm() const;

    // records_actions.cpp: the book.
    // Lists the downloads (and the animals' groups) again when another
    // program wrote to the book, or at once when `force`.
    void Watch(bool force = false);
    void ShowBookStatus(const BookStatus& status);
    void ShowDownloads(std::vector<DownloadSummary> downloads);
    void OnDownloadChosen(int row);
    void ShowDownload(const DownloadSummary& download);
    void OnShowPeriod();
    void OnFindTag();
    void OnAnimals();
    void OnMissing();
    void OnUnknown();
    void ShowGroups(const std::vector<std::string>& groups);
    // records_actions.cpp: what the lower list shows.
    void ShowReads(std::string title, std::shared_ptr<const std::vector<BookRead>> reads, RowNumbers numbers);
    void ShowAnimals(std::string title, std::shared_ptr<const std::vector<Animal>> animals);
    void ShowWaiting(const std::string& what);
    // The rows no longer shown, freed on the worker.
    void Discard(std::shared_ptr<const void> shown);
    // A number for a query whose answer the list waits for; older answers are dropped.
    unsigned NextShownRequest() { return ++shownRequest_; }
    // Asks the book for rows on the worker; `show` puts them on show,
    // unless a newer question came meanwhile.
    template <typename Row>
    void AskForShown(std::function<BookAnswer<std::vector<Row>>(Book&)> query,
                     std::function<void(std::shared_ptr<const std::vector<Row>>)> show);
    void OnSort(int column);
    void OnIdForm();
    std::string SelectedGroup() const;
    // records_actions.cpp: the buttons below the list.
    void OnImportAnimals();
    void OnSaveAs();
    void OnReader();
    void OnKeepBook();
    void OnRefresh();
    void OnGoToFind();
    void Say(const std::string& text, UINT icon = MB_ICONINFORMATION);

    BookWorker& Worker() { return *worker_; }

    std::filesystem::path bookPath_;
    std::unique_ptr<BookWorker> worker_;
    HWND window_ = nullptr;
    HACCEL keys_ = nullptr;
    HICON icon_ = nullptr;
    HFONT font_ = nullptr;
    FontMeasure measure_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was left

    // The controls, in tab order.
    HWND downloadsLabel_ = nullptr;
    VirtualList downloadsList_;
    HWND fromLabel_ = nullptr, from_ = nullptr, toLabel_ = nullptr, to_ = nullptr, showPeriodButton_ = nullptr;
    HWND findLabel_ = nullptr, findText_ = nullptr, findButton_ = nullptr;
    HWND groupLabel_ = nullptr, group_ = nullptr, animalsButton_ = nullptr, missingButton_ = nullptr,
         unknownButton_ = nullptr, importButton_ = nullptr;
    HWND idFormLabel_ = nullptr, idForm_ = nullptr;
    HWND shownLabel_ = nullptr;
    VirtualList shownList_;
    HWND saveAsButton_ = nullptr, readerButton_ = nullptr, keepBookBox_ = nullptr, bookStatus_ = nullptr;

    // The downloads, newest first.
    std::vector<DownloadSummary> downloads_;
    // The newest download is shown, and a newer one is to be shown when it comes.
    bool followNewest_ = true;
    // A selection the window makes itself: no download to load for it.
    bool selecting_ = false;
    int64_t shownDownload_ = 0;  // the download whose reads the list shows; 0 for none
    // The book's change count as the worker saw it last; the worker's jobs alone touch it.
    std::optional<int64_t> seenChanges_;
    bool watching_ = false;  // a look at the book is on its way

    Shown shown_ = Shown::Nothing;
    std::shared_ptr<const std::vector<BookRead>> reads_;
    std::shared_ptr<const std::vector<Animal>> animals_;
    RowNumbers numbers_ = RowNumbers::AsRead;
    std::vector<uint32_t> order_;  // the rows shown, in the order shown
    int sortColumn_ = -1;
    bool ascending_ = true;
    std::atomic<unsigned> shownRequest_ = 0;  // the worker reads it too
    unsigned shownChanges_ = 0;  // counts the rows put on show: a sort of rows gone is dropped
    IdForm form_ = IdForm::Spaced;
    // The reads chosen last, a download's or a period's: where Missing and Unknown look.
    DownloadScope scope_;
    std::string scopeText_;

    ReaderDialog* readerDialog_ = nullptr;  // while it shows
};
