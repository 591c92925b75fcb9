// "Reader...": why a reader may not be reached, found without a word to
// it (doctor/port_survey.h), in plain sentences, each problem with what to
// do about it. The survey runs off the window's thread: the dialog asks
// for it when it opens and on "Check Again", and is handed the findings.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "doctor/doctor.h"

class ReaderDialog {
public:
    // Shows the dialog until it is closed; `survey` starts a survey whose
    // findings come to ShowFindings.
    void Run(HWND owner, std::function<void()> survey);
    void ShowFindings(const std::vector<Finding>& findings);

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Survey();

    HWND dialog_ = nullptr;
    std::function<void()> survey_;
};
