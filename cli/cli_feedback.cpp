#include "cli/cli_feedback.h"

#include <algorithm>
#include <utility>

#include "cli/terminal.h"

namespace {

const char* const kProgramPrefix = "kavrin-cli: ";
const char* const kItemIndent = "  ";
const char* const kRecords = "records";

}  // namespace

CliFeedback::CliFeedback(std::FILE* err) : progress_(err, IsTerminal(err)) {}

void CliFeedback::AppendLog(const std::string& text) { progress_.WriteLine(text); }

void CliFeedback::StartProgress(long long total, const std::string& unit) {
    progressCalls_ = 0;
    progress_.Start(total, unit);
}

void CliFeedback::ShowProgress(Work work, long long done, long long total) {
    if (work == Work::Image) return progress_.Update(++progressCalls_);
    // A reader may hand out more records than it counted, or report a negative count.
    if (!progress_.Active()) StartProgress(std::max(total, done), kRecords);
    progress_.Update(done);
}

bool CliFeedback::ShowMessage(const std::string& text, Buttons buttons) {
    // The operations ask no question of their own: --yes answers before they run.
    if (buttons != Buttons::Ok) return false;
    progress_.WriteLine(text);
    return true;
}

void CliFeedback::CatchInterrupts(int toStop, std::string warning) {
    interrupts_.emplace();
    interruptsToStop_ = toStop;
    interruptWarning_ = std::move(warning);
}

bool CliFeedback::StopRequested() {
    const int caught = interrupts_ ? interrupts_->Count() : 0;
    if (caught > 0 && caught < interruptsToStop_ && !warned_) {
        Say(interruptWarning_);
        warned_ = true;
    }
    return caught >= interruptsToStop_;
}

void CliFeedback::Say(const std::string& text) { progress_.WriteLine(kProgramPrefix + text); }

void CliFeedback::Saved(const std::vector<std::string>& files) {
    for (const std::string& file : files) std::printf("%s\n", file.c_str());
}

void CliFeedback::SayItem(const std::string& text) { progress_.WriteLine(kItemIndent + text); }
