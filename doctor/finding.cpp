#include "doctor/doctor.h"

namespace {

const char* const kRemedy = "    What to do: ";

}  // namespace

std::string FindingLine(const Finding& finding) {
    return finding.Problem() ? finding.text + ": " + finding.remedy : finding.text;
}

std::string FindingsText(const std::vector<Finding>& findings, const char* lineEnd) {
    std::string text;
    for (const Finding& finding : findings) {
        text += finding.text + lineEnd;
        if (finding.Problem()) text += kRemedy + finding.remedy + lineEnd;
        text += lineEnd;
    }
    return text;
}
