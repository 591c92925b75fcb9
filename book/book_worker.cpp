#include "book/book_worker.h"

#include <sqlite3.h>

namespace {

// How many of SQLite's steps a query takes between two looks at whether to stop.
constexpr int kStepsBetweenLooks = 10000;

int StopAsked(void* worker) { return static_cast<const std::atomic<bool>*>(worker)->load() ? 1 : 0; }

}  // namespace

BookWorker::BookWorker(std::filesystem::path path, Deliver deliver)
    : path_(std::move(path)), deliver_(std::move(deliver)), thread_(&BookWorker::Work, this) {}

BookWorker::~BookWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

void BookWorker::Post(Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void BookWorker::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        BookStatus opened;
        if (!book_.IsOpen()) opened = book_.Open(path_, BookAccess::Existing);
        // A query still running when the window closes ends at its next look.
        if (book_.IsOpen()) sqlite3_progress_handler(book_.Handle(), kStepsBetweenLooks, StopAsked, &stopping_);
        if (Done done = job(book_, opened)) deliver_(std::move(done));
    }
}
