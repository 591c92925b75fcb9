#include "records/window_book_worker.h"

std::unique_ptr<BookWorker> MakeWindowBookWorker(std::filesystem::path path, HWND window) {
    return std::make_unique<BookWorker>(std::move(path), [window](BookWorker::Done done) {
        auto answer = std::make_unique<BookWorker::Done>(std::move(done));
        if (PostMessageW(window, kWorkDone, 0, reinterpret_cast<LPARAM>(answer.get()))) answer.release();
    });
}

void RunWorkDone(LPARAM done) {
    std::unique_ptr<BookWorker::Done> answer(reinterpret_cast<BookWorker::Done*>(done));
    if (*answer) (*answer)();
}
