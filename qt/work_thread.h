// The one thread that talks to the reader.
//
// Jobs run one after another on it, in the order given, so the operations
// stay single-threaded and the port has a single user. When a job has
// ended, its `done` runs on the thread of `receiver` (the window's), unless
// the receiver is gone by then. Destroying the object waits for the job in
// progress to end.
#pragma once

#include <QObject>
#include <QThread>

#include <functional>

class WorkThread {
public:
    WorkThread();
    ~WorkThread();
    WorkThread(const WorkThread&) = delete;
    WorkThread& operator=(const WorkThread&) = delete;

    void Run(std::function<void()> job, QObject* receiver, std::function<void()> done);

private:
    QThread thread_;
    QObject* context_;  // lives on the thread; jobs are queued to it
};
