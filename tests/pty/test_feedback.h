// A front end for tests: records everything the operations show and
// answers questions with prepared replies.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ops/feedback.h"
#include "ops/integer_field.h"

class TestFeedback : public Feedback {
public:
    void AppendLog(const std::string& text) override { log.push_back(text); }
    void SetConnectCaption(const std::string& caption) override { connectCaption = caption; }
    void EnableUpgrade(bool enabled) override { upgradeEnabled = enabled; }
    std::string SelectedPort() override { return port; }
    void AddFirmwareFile(const std::string& path) override { firmwareFiles.push_back(path); }
    void SetProgress(int position) override { progress.push_back(position); }
    bool PullFields() override {
        ++pulls;
        if (windowPowerDown) m_nPowerDownMin = *windowPowerDown;
        bool valid = PowerDownInRange(m_nPowerDownMin);
        if (!valid) messages.push_back(kPowerDownOutOfRange);
        return valid;
    }
    void PushFields() override { ++pushes; }
    bool ShowMessage(const std::string& text, Buttons buttons) override {
        messages.push_back(text);
        if (buttons == Buttons::Ok || answers.empty()) return true;
        bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    void ShowWaitCursor(bool on) override { waitCursor.push_back(on); }
    std::optional<std::string> ChooseFirmwareFile() override { return chosenFile; }

    std::string port;
    std::vector<std::string> log;
    std::string connectCaption = "Connect";
    bool upgradeEnabled = false;
    std::vector<std::string> firmwareFiles;
    std::vector<int> progress;
    std::optional<int> windowPowerDown;  // what the user typed into "Auto PwrDwn Time"
    int pulls = 0;
    int pushes = 0;
    std::vector<std::string> messages;
    std::deque<bool> answers;  // replies to OK/Cancel questions, OK when empty
    std::vector<bool> waitCursor;
    std::optional<std::string> chosenFile;
};
