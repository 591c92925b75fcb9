// A front end for tests: records everything the operations show and
// answers questions with prepared replies.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "ops/feedback.h"

class TestFeedback : public Feedback {
public:
    void AppendLog(const std::string& text) override { log.push_back(text); }
    bool ShowMessage(const std::string& text, Buttons buttons) override {
        messages.push_back(text);
        if (buttons == Buttons::Ok || answers.empty()) return true;
        bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    void ShowProgress(Work work, long long done, long long total) override {
        (work == Work::Image ? imageProgress : recordProgress).emplace_back(done, total);
    }

    std::vector<std::string> log;
    std::vector<std::string> messages;
    std::deque<bool> answers;  // replies to questions, OK or Yes when empty
    std::vector<std::pair<long long, long long>> imageProgress;   // bytes sent, image length
    std::vector<std::pair<long long, long long>> recordProgress;  // records fetched, count reported
};
