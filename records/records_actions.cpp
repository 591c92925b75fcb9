// What the window does: each query goes to the book's worker, and its
// answer comes back to be shown; the lower list shows the answer that was
// asked for last, older ones are dropped.
#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "book/book.h"
#include "doctor/doctor.h"
#include "formats/formats.h"
#include "link/utf.h"
#include "link/utf8_path.h"
#include "ops/export_folder.h"
#include "ops/format_text.h"
#include "records/file_choice.h"
#include "records/import_report_dialog.h"
#include "records/reader_dialog.h"
#include "records/records_window.h"
#include "records/save_as_dialog.h"

namespace {

const char* const kBookAtFormat = "Record book: %s";
const char* const kReading = "Reading the record book...";
const char* const kSettingNotSaved = "The setting could not be saved in the registry.";
const char* const kAnimalListFilter = "Animal list (*.csv)|*.csv|All files (*.*)|*.*||";
// Every download: each started on or after this day.
const char* const kEveryDay = "0000-01-01";

using Done = BookWorker::Done;

// The day a date picker shows; nothing when its box is unticked.
std::optional<CalendarDate> DayOf(HWND picker) {
    SYSTEMTIME day{};
    if (DateTime_GetSystemtime(picker, &day) != GDT_VALID) return std::nullopt;
    return CalendarDate{day.wYear, day.wMonth, day.wDay};
}

}  // namespace

// ---- The book ------------------------------------------------------------------

void RecordsWindow::Watch(bool force) {
    if (watching_ && !force) return;
    watching_ = true;
    Worker().Post([this, force](Book& book, const BookStatus& opened) -> Done {
        if (!book.IsOpen()) {
            seenChanges_.reset();
            return [this, opened] {
                watching_ = false;
                ShowBookStatus(opened);
            };
        }
        const BookAnswer<int64_t> changes = ChangeCount(book);
        if (!force && changes.status.Ok() && seenChanges_ == changes.value) return [this] { watching_ = false; };
        BookAnswer<std::vector<DownloadSummary>> downloads = ListDownloads(book);
        BookAnswer<std::vector<Animal>> animals = ListAnimals(book, "");
        const BookStatus& status = !downloads.status.Ok() ? downloads.status : animals.status;
        if (!status.Ok()) {
            return [this, status] {
                watching_ = false;
                ShowBookStatus(status);
            };
        }
        if (changes.status.Ok()) seenChanges_ = changes.value;
        return [this, list = std::move(downloads.value), groups = GroupsOf(animals.value)]() mutable {
            watching_ = false;
            ShowBookStatus({});
            ShowGroups(groups);
            ShowDownloads(std::move(list));
        };
    });
}

void RecordsWindow::ShowBookStatus(const BookStatus& status) {
    const std::string text = status.Ok() ? FormatText(kBookAtFormat, Utf8FromPath(bookPath_).c_str()) : status.text;
    SetWindowTextW(bookStatus_, WideFromNarrow(text).c_str());
}

void RecordsWindow::ShowDownloads(std::vector<DownloadSummary> downloads) {
    std::reverse(downloads.begin(), downloads.end());
    downloads_ = std::move(downloads);
    downloadsList_.Show(downloads_.size(), [this](size_t row, int column) { return DownloadCell(downloads_[row], column); });
    if (downloads_.empty()) return;
    // The newest download, when it is followed, is read again: it may have grown.
    if (followNewest_) return downloadsList_.Select(0);
    const auto shown = std::find_if(downloads_.begin(), downloads_.end(),
                                    [this](const DownloadSummary& d) { return d.number == shownDownload_; });
    if (shown == downloads_.end()) return;
    selecting_ = true;
    downloadsList_.Select(static_cast<int>(shown - downloads_.begin()));
    selecting_ = false;
}

void RecordsWindow::OnDownloadChosen(int row) {
    if (row < 0 || row >= static_cast<int>(downloads_.size())) return;
    followNewest_ = row == 0;
    ShowDownload(downloads_[static_cast<size_t>(row)]);
}

template <typename Row>
void RecordsWindow::AskForShown(std::function<BookAnswer<std::vector<Row>>(Book&)> query,
                                std::function<void(std::shared_ptr<const std::vector<Row>>)> show) {
    const unsigned request = NextShownRequest();
    Worker().Post([this, request, query, show](Book& book, const BookStatus& opened) -> Done {
        // Asked again before this one ran (the arrow keys held down the downloads): only the last counts.
        if (request != shownRequest_) return {};
        if (!book.IsOpen()) return [this, opened] { ShowBookStatus(opened); };
        return [this, request, show, answer = query(book)]() mutable {
            auto rows = std::make_shared<const std::vector<Row>>(std::move(answer.value));
            if (request != shownRequest_) return Discard(std::move(rows));
            if (!answer.status.Ok()) return ShowBookStatus(answer.status);
            show(std::move(rows));
        };
    });
}

void RecordsWindow::ShowDownload(const DownloadSummary& download) {
    scope_ = {download.number, "", ""};
    scopeText_ = DownloadScopeText(download.number);
    // The download followed as it grows keeps its rows on show until the new ones come.
    if (shownDownload_ != download.number) ShowWaiting(kReading);
    shownDownload_ = download.number;
    AskForShown<BookRead>([number = download.number](Book& book) { return DownloadRows(book, number); },
                          [this, download](std::shared_ptr<const std::vector<BookRead>> rows) {
                              std::string title = DownloadReadsTitle(rows->size(), download);
                              ShowReads(std::move(title), std::move(rows), RowNumbers::AsRead);
                          });
}

void RecordsWindow::OnShowPeriod() {
    const std::optional<CalendarDate> from = DayOf(from_), to = DayOf(to_);
    scope_ = {0, from ? IsoDate(*from) : kEveryDay, to ? IsoDate(AddDays(*to, 1)) : ""};
    scopeText_ = PeriodText(from ? IsoDate(*from) : "", to ? IsoDate(*to) : "");
    shownDownload_ = 0;
    followNewest_ = false;
    selecting_ = true;
    downloadsList_.Select(-1);
    selecting_ = false;
    ShowWaiting(kReading);
    AskForShown<BookRead>([scope = scope_](Book& book) { return ReadsOfScope(book, scope, ReadFilter::All); },
                          [this, what = scopeText_](std::shared_ptr<const std::vector<BookRead>> reads) {
                              std::string title = PeriodReadsTitle(what, reads->size());
                              ShowReads(std::move(title), std::move(reads), RowNumbers::FromOne);
                          });
}

void RecordsWindow::OnFindTag() {
    std::wstring typed(static_cast<size_t>(GetWindowTextLengthW(findText_)) + 1, L'\0');
    typed.resize(static_cast<size_t>(GetWindowTextW(findText_, typed.data(), static_cast<int>(typed.size()))));
    const TagIdParse parsed = ParseTagId(NarrowFromWide(typed));
    if (!parsed.id) {
        Say(parsed.refusal, MB_ICONWARNING);
        SetFocus(findText_);
        return;
    }
    ShowWaiting(kReading);
    AskForShown<BookRead>([tag = *parsed.id](Book& book) { return ReadsOfTag(book, tag); },
                          [this, tag = *parsed.id](std::shared_ptr<const std::vector<BookRead>> reads) {
                              std::string title = TagReadsTitle(tag, reads->size());
                              ShowReads(std::move(title), std::move(reads), RowNumbers::FromOne);
                          });
}

void RecordsWindow::OnAnimals() {
    ShowWaiting(kReading);
    AskForShown<Animal>([group = SelectedGroup()](Book& book) { return ListAnimals(book, group); },
                        [this, group = SelectedGroup()](std::shared_ptr<const std::vector<Animal>> animals) {
                            std::string title = AnimalsTitle(group, animals->size());
                            ShowAnimals(std::move(title), std::move(animals));
                        });
}

void RecordsWindow::OnMissing() {
    const std::string where = scopeText_.empty() ? LatestDownloadText() : scopeText_;
    ShowWaiting(kReading);
    AskForShown<Animal>(
        [group = SelectedGroup(), scope = scope_](Book& book) { return MissingAnimals(book, group, scope); },
        [this, group = SelectedGroup(), where](std::shared_ptr<const std::vector<Animal>> animals) {
            std::string title = MissingAnimalsTitle(group, where, animals->size());
            ShowAnimals(std::move(title), std::move(animals));
        });
}

void RecordsWindow::OnUnknown() {
    const std::string where = scopeText_.empty() ? LatestDownloadText() : scopeText_;
    ShowWaiting(kReading);
    AskForShown<BookRead>([scope = scope_](Book& book) { return ReadsOfScope(book, scope, ReadFilter::Unknown); },
                          [this, where](std::shared_ptr<const std::vector<BookRead>> reads) {
                              std::string title = UnknownReadsTitle(where, reads->size());
                              ShowReads(std::move(title), std::move(reads), RowNumbers::FromOne);
                          });
}

void RecordsWindow::ShowGroups(const std::vector<std::string>& groups) {
    const std::string chosen = SelectedGroup();
    while (SendMessageW(group_, CB_GETCOUNT, 0, 0) > 1) SendMessageW(group_, CB_DELETESTRING, 1, 0);
    int select = 0;
    for (const std::string& group : groups) {
        const LRESULT at = SendMessageW(group_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromNarrow(group).c_str()));
        if (group == chosen) select = static_cast<int>(at);
    }
    SendMessageW(group_, CB_SETCURSEL, select, 0);
}

std::string RecordsWindow::SelectedGroup() const {
    const LRESULT index = SendMessageW(group_, CB_GETCURSEL, 0, 0);
    if (index <= 0) return {};
    std::wstring text(static_cast<size_t>(SendMessageW(group_, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    const LRESULT copied = SendMessageW(group_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
    return NarrowFromWide(text);
}

// ---- The lower list ------------------------------------------------------------------

void RecordsWindow::ShowWaiting(const std::string& what) { SetWindowTextW(shownLabel_, WideFromNarrow(what).c_str()); }

// Freeing a million reads takes the time of a second's work: the worker does it.
void RecordsWindow::Discard(std::shared_ptr<const void> shown) {
    if (shown) Worker().Post([shown = std::move(shown)](Book&, const BookStatus&) -> Done { return {}; });
}

void RecordsWindow::ShowReads(std::string title, std::shared_ptr<const std::vector<BookRead>> reads,
                              RowNumbers numbers) {
    if (shown_ == Shown::Animals) shownList_.SetColumns(ReadHeadings(), measure_.charWidth);
    shown_ = Shown::Reads;
    ++shownChanges_;
    Discard(std::exchange(reads_, std::move(reads)));
    Discard(std::exchange(animals_, nullptr));
    numbers_ = numbers;
    order_.resize(reads_->size());
    for (uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
    sortColumn_ = -1;
    shownList_.MarkSorted(-1, true);
    shownList_.Show(order_.size(), [this](size_t row, int column) { return ReadCell((*reads_)[order_[row]], column, form_); });
    SetWindowTextW(shownLabel_, WideFromNarrow(title).c_str());
    EnableWindow(saveAsButton_, !reads_->empty());
}

void RecordsWindow::ShowAnimals(std::string title, std::shared_ptr<const std::vector<Animal>> animals) {
    if (shown_ != Shown::Animals) shownList_.SetColumns(AnimalHeadings(), measure_.charWidth);
    shown_ = Shown::Animals;
    ++shownChanges_;
    Discard(std::exchange(animals_, std::move(animals)));
    Discard(std::exchange(reads_, nullptr));
    order_.resize(animals_->size());
    for (uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
    sortColumn_ = -1;
    shownList_.MarkSorted(-1, true);
    shownList_.Show(order_.size(),
                    [this](size_t row, int column) { return AnimalCell((*animals_)[order_[row]], column, form_); });
    SetWindowTextW(shownLabel_, WideFromNarrow(title).c_str());
    // Save As writes reads; the animals are the user's own list.
    EnableWindow(saveAsButton_, FALSE);
}

void RecordsWindow::OnSort(int column) {
    const bool ascending = column == sortColumn_ ? !ascending_ : true;
    // Sorting 100,000 rows takes longer than a window may wait. The rows
    // stay with the job; the answer counts only while they are on show.
    auto sorted = [this, column, ascending, shown = shownChanges_](std::vector<uint32_t> order) -> Done {
        return [this, column, ascending, shown, order = std::move(order)]() mutable {
            if (shown != shownChanges_) return;
            order_ = std::move(order);
            sortColumn_ = column;
            ascending_ = ascending;
            shownList_.MarkSorted(column, ascending);
            shownList_.Redraw();
        };
    };
    if (reads_) {
        Worker().Post([sorted, column, ascending, reads = reads_](Book&, const BookStatus&) -> Done {
            return sorted(SortedReads(*reads, column, ascending));
        });
    } else if (animals_) {
        Worker().Post([sorted, column, ascending, animals = animals_](Book&, const BookStatus&) -> Done {
            return sorted(SortedAnimals(*animals, column, ascending));
        });
    }
}

void RecordsWindow::OnIdForm() {
    form_ = ChosenIdForm();
    shownList_.Redraw();
}

// ---- The buttons below the list ---------------------------------------------------

void RecordsWindow::OnImportAnimals() {
    const std::optional<std::filesystem::path> file = ChooseFileToOpen(window_, kAnimalListFilter);
    if (!file) return;
    Worker().Post([this, file = *file](Book& book, const BookStatus&) -> Done {
        // The animal list may come before the first download: it starts the book.
        BookStatus opened;
        if (!book.IsOpen()) opened = book.Open(bookPath_, BookAccess::Create);
        if (!opened.Ok()) return [this, opened] { Say(opened.text, MB_ICONWARNING); };
        return [this, file, result = ImportAnimalList(book, file)] {
            const std::string name = Utf8FromPath(file);
            if (!result.problems.empty()) return ShowImportReport(window_, name, result.problems);
            if (!result.status.Ok()) return Say(result.status.text, MB_ICONWARNING);
            Say(ImportedSentence(result.imported, name));
            Watch(true);
            OnAnimals();
        };
    });
}

void RecordsWindow::OnSaveAs() {
    if (!reads_ || reads_->empty()) return;
    const std::string name = SaveAsName(numbers_ == RowNumbers::AsRead ? shownDownload_ : 0);
    const std::optional<SaveChoice> choice = AskSaveAs(window_, DocumentsFolder() / PathFromUtf8(name));
    if (!choice) return;
    Worker().Post([this, choice = *choice, reads = reads_, order = order_, numbers = numbers_](
                      Book& book, const BookStatus&) -> Done {
        std::vector<BookRead> rows;
        rows.reserve(order.size());
        for (uint32_t i : order) rows.push_back((*reads)[i]);
        auto saved = SaveReadsAs(book, rows, numbers, {choice.format, choice.profile, choice.withAnimals}, choice.file);
        return [this, status = saved.status, files = std::move(saved.value), count = rows.size(), target = choice.file] {
            const std::string name = Utf8FromPath(target);
            // The animal list a file needed could not be read from the book.
            if (!status.Ok()) return Say(status.text, MB_ICONWARNING);
            Say(SavedSentence(count, files.size(), name), files.empty() ? MB_ICONWARNING : MB_ICONINFORMATION);
        };
    });
}

void RecordsWindow::OnReader() {
    ReaderDialog dialog;
    readerDialog_ = &dialog;
    dialog.Run(window_, [this] {
        Worker().Post([this](Book&, const BookStatus&) -> Done {
            return [this, findings = SurveyPorts()] {
                if (readerDialog_) readerDialog_->ShowFindings(findings);
            };
        });
    });
    readerDialog_ = nullptr;
}

void RecordsWindow::OnKeepBook() {
    if (!SetKeepBookSetting(!KeepBookSetting())) Say(kSettingNotSaved, MB_ICONWARNING);
    Button_SetCheck(keepBookBox_, KeepBookSetting() ? BST_CHECKED : BST_UNCHECKED);
}

void RecordsWindow::OnRefresh() { Watch(true); }

void RecordsWindow::OnGoToFind() {
    SetFocus(findText_);
    Edit_SetSel(findText_, 0, -1);
}

void RecordsWindow::Say(const std::string& text, UINT icon) { ShowMessageBox(window_, text, MB_OK | icon); }
