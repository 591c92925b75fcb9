// What a window's Save As offers for an export request and says about it:
// the formats by what they are, the ID and date forms in the order offered,
// each field by the words of its label, and the sentence a refusal
// (export_request.h) becomes there. kavrin-cli names its options instead;
// both windows use these, so they offer and say the same.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "formats/export_request.h"

struct OfferedFormat {
    std::string_view name;  // as MakeRecordWriter takes it
    const char* shown;      // "NAIT movement file (New Zealand)"
};

// CSV, Excel, JSON lines, NAIT, NLIS; the first is the default.
std::span<const OfferedFormat> OfferedFormats();
// Every form, the default first; a window shows each by its example.
std::span<const IdForm> OfferedIdForms();
std::span<const DateForm> OfferedDateForms();

// The label of the field in a window: "Sending NAIT number".
const char* ExportFieldLabel(ExportField field);
// What a window says when the request for `format` is refused:
// "Sending NAIT number: a NAIT number is digits only", "To PIC is needed
// for a NLIS movement file (Australia)."
std::string RefusalSentence(const ExportRefusal& refusal, std::string_view format);
