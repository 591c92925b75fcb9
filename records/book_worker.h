// The record book on a thread of its own, so that no query, however long
// (a download of 100,000 reads, a book of a million), and no lock another
// program holds, ever stalls the window.
//
// Jobs run one at a time, in the order posted, on the worker's thread,
// which alone touches the book; each returns what the window is to do with
// its answer (or nothing), and that reaches the window's thread as a
// message (kWorkDone), which the window hands to RunDone. A job and what it
// holds are destroyed on the worker's thread, so a large answer the window
// is done with can be handed back to be freed there. The book is opened
// (never created) before each job that finds it closed, and the job is
// told how that went; a job that must create it opens it itself. Closing
// the worker interrupts the query running and drops the jobs waiting.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "book/book.h"

// The message a finished job's answer comes in; lParam carries it.
inline constexpr UINT kWorkDone = WM_APP + 1;

class BookWorker {
public:
    // Runs on the window's thread.
    using Done = std::function<void()>;
    // Runs on the worker's thread, with the book and how opening it went.
    using Job = std::function<Done(Book& book, const BookStatus& opened)>;

    BookWorker(std::filesystem::path path, HWND window);
    ~BookWorker();
    BookWorker(const BookWorker&) = delete;
    BookWorker& operator=(const BookWorker&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Post(Job job);

    // On kWorkDone: runs the answer it carries.
    static void RunDone(LPARAM done);

private:
    void Work();

    std::filesystem::path path_;
    HWND window_;
    Book book_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};
