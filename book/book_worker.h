// The record book on a thread of its own, for a window: no query, however
// long (a download of 100,000 reads, a book of a million), and no lock
// another program holds, ever stalls the window's thread.
//
// Jobs run one at a time, in the order posted, on the worker's thread,
// which alone touches its connection to the book; each returns what the
// window is to do with its answer (or nothing), which `deliver` hands to
// the window's thread (a message, a queued call). A job and what it holds
// are destroyed on the worker's thread, so a large answer the window is
// done with can be handed back to be freed there. The book is opened
// (never created) before each job that finds it closed, and the job is
// told how that went; a job that must create it opens it itself.
// Destroying the worker ends the query running at its next look (every
// few thousand of SQLite's steps) and drops the jobs waiting.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "book/book_file.h"

class BookWorker {
public:
    // Runs on the window's thread.
    using Done = std::function<void()>;
    // Runs on the worker's thread, with the book and how opening it went.
    using Job = std::function<Done(Book& book, const BookStatus& opened)>;
    // Called on the worker's thread with each answer there is.
    using Deliver = std::function<void(Done done)>;

    BookWorker(std::filesystem::path path, Deliver deliver);
    ~BookWorker();
    BookWorker(const BookWorker&) = delete;
    BookWorker& operator=(const BookWorker&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    void Post(Job job);

private:
    void Work();

    std::filesystem::path path_;
    Deliver deliver_;
    Book book_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::atomic<bool> stopping_ = false;
    std::thread thread_;
};
