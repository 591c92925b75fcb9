// "Download readers when plugged in": the watch of kavrin-cli watch
// (watch/reader_watch.h) inside the window.
//
// The check box is kept between runs in the user's settings, as the export
// forms are. While it is ticked, each reader plugged in (a USB serial
// adapter or an rfcomm tty, as udev announces it) is downloaded on a
// thread of its own, several at once, as Get Data downloads: into the
// working directory in the forms chosen in the window (as they are when the
// reader appears) and into the record book. Its lines, prefixed with the
// port, go to the log, and each download that reached the book is shown in
// the records view. The window's own buttons go on working beside it; a
// port the window holds is busy for the watch, and the other way round.
//
// Unticking ends the watch: the downloads in progress stop after the
// request in flight and keep their rows, and the box can be ticked again
// once they have ended. Closing the window ends it the same way. Without
// the system's announcements (no udev) the log says why and the box is
// unticked.
#pragma once

#include <QCheckBox>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "watch/watch.h"
#include "qt/window_widgets.h"

// Where the readers come from: WatchAdapters, or a stand-in in tests.
using ReaderSource = std::function<AdapterWatch()>;

class WindowWatch {
public:
    // `show` runs on the window's thread with each download's number in the book.
    WindowWatch(const WindowWidgets& widgets, Feedback& log, const BookChoice& book,
                std::function<void(int64_t)> show, ReaderSource source);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

private:
    class Front;

    void Start();
    void Stop();
    // The forms as chosen now, for the downloads to come.
    void TakeForms();

    WindowWidgets w_;
    Feedback& log_;
    std::function<void(int64_t)> show_;
    ReaderSource source_;
    std::mutex mutex_;
    DownloadSettings settings_;  // under mutex_: the watch's thread reads it
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
