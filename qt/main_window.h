// The Linux window: the controls of the Windows dialog, each button running
// the same operation of ops/ through the window's own feedback, then
// setting what only the window shows from the operation's result.
//
// Every operation runs on the one worker thread, so the window keeps
// painting and answering while Connect waits for a silent reader, Get Data
// fetches thousands of records or Upgrade sends an image. While work runs,
// the port list and the buttons that would start more work are disabled;
// afterwards "Upgrade" is enabled, and the port list locked, only while
// connected, so that the port the book records is the one read. Get
// Data writes the ID and the time in the forms chosen in the window, which
// are kept between runs (export_forms_setting.h), and keeps the download in
// the record book (unless none is kept), whose rows the window then shows
// over the log (records_view.h, which reads the book on a thread of its
// own). The download is written into the book on the worker thread; a book
// that fails never costs the file, and the log says what happened to it.
//
// Closing the window (close box, Esc) during work asks first (during an
// upgrade, saying what stopping does to the reader). A close that
// goes ahead asks the work to stop after the request in flight; what the
// operation then shows (an export says what it saved) is still answered,
// and the window closes when the work has ended. Enter, with the focus off
// the buttons, closes the window once both fields pass their checks.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

#include "book/book.h"
#include "formats/formats.h"
#include "link/serial_port.h"
#include "ops/firmware_file.h"
#include "ops/integer_field.h"
#include "qt/window_feedback.h"
#include "qt/window_watch.h"
#include "qt/window_widgets.h"
#include "qt/work_thread.h"

// What a press of a button hands the work: the export's forms as chosen at the press,
// the record book and the view that shows its records.
struct WorkOrder {
    ExportForms forms;
    BookChoice book;
    RecordsView* records = nullptr;
};

// What the window's work keeps from one press to the next: the worker's
// alone. The window destroys it after the worker has ended, and the port
// is let go then.
struct ReaderState {
    ~ReaderState() { ClosePort(port); }

    PortHandle port = nullptr;
    bool connected = false;
    std::string portName;  // the port connected to, as the book records it
    std::string firmware;  // the reader's firmware version
    FirmwareFile image;    // the image opened by "Browse"; closed when none
    int recordCount = 0;   // the integer fields as last pulled or shown
    int powerDownMin = kPowerDownMinAtStart;
};

// What a button runs on the worker.
using Operation = void (*)(WindowFeedback& ui, ReaderState& state, const WorkOrder& order);

class MainWindow : public QWidget {
public:
    // `port`: a port to select at start (added to the list when it lacks it);
    // `book`: the record book Get Data keeps its downloads in; `readers`:
    // where the box "Download readers when plugged in" watches for readers.
    MainWindow(const QString& port, const BookChoice& book, ReaderSource readers = WatchAdapters);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Start(Operation operation);
    void Finished();
    void SetBusy(bool busy);

    WindowWidgets widgets_;
    WindowFeedback feedback_;
    ReaderState state_;
    BookChoice book_;
    bool busy_ = false;
    Operation running_ = nullptr;  // the operation started last
    bool closeWhenDone_ = false;
    // Made once the forms are offered; ends before the feedback it logs to.
    std::unique_ptr<WindowWatch> watch_;
    // Last, so it is destroyed first: the worker ends before what it uses.
    WorkThread worker_;
};
