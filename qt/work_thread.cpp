#include "qt/work_thread.h"

#include <QMetaObject>

WorkThread::WorkThread() : context_(new QObject) {
    context_->moveToThread(&thread_);
    thread_.start();
}

WorkThread::~WorkThread() {
    thread_.quit();
    thread_.wait();
    delete context_;
}

void WorkThread::Run(std::function<void()> job, QObject* receiver, std::function<void()> done) {
    QMetaObject::invokeMethod(
        context_,
        [job = std::move(job), receiver, done = std::move(done)] {
            job();
            QMetaObject::invokeMethod(receiver, done, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
