#include "book/book_record_writer.h"

#include "link/utf8_path.h"
#include "ops/export_file.h"

BookRecordWriter::~BookRecordWriter() { Stop(); }

// A file that could not be started is no download: the export removes it.
bool BookRecordWriter::Begin(ExportFile& file) {
    const bool written = file_.Begin(file);
    if (!written) return false;
    start_.file = Utf8FromPath(std::filesystem::absolute(file.Path()));
    status_ = recording_.Begin(start_);
    begun_ = status_.Ok();
    if (begun_) worker_ = std::thread(&BookRecordWriter::Work, this);
    return true;
}

bool BookRecordWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    if (!file_.Add(index, record, tag)) return false;
    if (begun_) block_.push_back({index, record, tag});
    return true;
}

void BookRecordWriter::EndBlock() {
    if (block_.empty()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        blocks_.push_back(std::move(block_));
    }
    block_.clear();
    wake_.notify_one();
}

bool BookRecordWriter::Finish() {
    const bool written = file_.Finish();
    // Rows of a block the export did not finish are in the file too.
    EndBlock();
    Stop();
    if (begun_ && status_.Ok()) status_ = recording_.Sync();
    return written;
}

void BookRecordWriter::Stop() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

// Each block in one transaction; after a failure the rest is dropped.
void BookRecordWriter::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !blocks_.empty(); });
        if (blocks_.empty()) return;
        std::vector<Row> block = std::move(blocks_.front());
        blocks_.erase(blocks_.begin());
        BookStatus status = status_;
        lock.unlock();
        for (const Row& row : block) {
            if (status.Ok()) status = recording_.Add(row.index, row.record, row.tag);
        }
        if (status.Ok()) status = recording_.Commit();
        lock.lock();
        status_ = status;
    }
}
