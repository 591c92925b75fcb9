#include "doctor/doctor.h"

std::string FindingLine(const Finding& finding) {
    return finding.Problem() ? finding.text + ": " + finding.remedy : finding.text;
}
