// What a reader's download shows besides the operations' own lines, for
// each front end that downloads (kavrin-cli export, a watch's download
// thread, the window's watch): the program's own lines (why nothing was
// deleted, what became of the book), the files of a saved download, and
// the end of a piece of work that showed progress.
#pragma once

#include <string>
#include <vector>

#include "ops/feedback.h"

// How a download ended, as a whole: the export, the book and the clear.
enum class DownloadStatus {
    Ok,       // everything asked for was done
    Failed,   // the reader, the port, the file, the book or the clear failed
    Stopped,  // a stop was asked for: the rows fetched are kept, nothing deleted
};

class DownloadFeedback : public Feedback {
public:
    // A line of the program's own: a reason, what became of the book or the reader.
    virtual void Say(const std::string& text) = 0;
    // The files of a download that saved every record, once they are on the disk.
    virtual void Saved(const std::vector<std::string>& files) = 0;
    // The progress shown so far is over: the next work shows its own.
    virtual void EndProgress() {}
};
