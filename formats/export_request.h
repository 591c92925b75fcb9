// What a user asks of an export or a Save As, checked as one: the format,
// the ID and date forms, and the fields a registry's movement file needs,
// each as the user gave it. The checks are the same wherever the request
// comes from (kavrin-cli's options, a window's fields), and so are the
// refusals: each names the field it is about, so every front end can point
// at it in its own words (an option, a box), and a value's refusal carries
// the check's own text (registry_checks.h).
//
// In order: the delete after a registry's file, the fields the format does
// not take, the fields it needs, then each value given.
#pragma once

#include <optional>
#include <string>

#include "formats/record_formats.h"

// Each field as given; nothing where the user left it out.
struct ExportRequest {
    std::string format;  // one of RecordFormatNames() or RegistryFormatNames()
    std::optional<IdForm> idForm;
    std::optional<DateForm> dateForm;
    std::optional<std::string> sending;
    std::optional<std::string> receiving;
    std::optional<std::string> dateSent;      // YYYY-MM-DD
    std::optional<std::string> dateReceived;  // YYYY-MM-DD
    std::optional<std::string> fromPic;
    std::optional<std::string> toPic;
    std::optional<std::string> nvd;
    std::optional<std::string> date;  // YYYY-MM-DD
    std::optional<std::string> pic;   // nlis-pic: the PIC the tags are reconciled to
    bool clear = false;               // the reader is to be cleared after the export
};

enum class ExportField {
    IdForm, DateForm,
    Sending, Receiving, DateSent, DateReceived,
    FromPic, ToPic, Nvd, Date,
    Pic,
    Clear,
};

struct ExportRefusal {
    enum class Why {
        NotTaken,  // the format takes no such field
        Needed,    // the format needs it and it was left out
        Value,     // its value fails its check: `text` says why
    };
    ExportField field = ExportField::Sending;
    Why why = Why::Value;
    std::string text;
};

// The profile, or why not.
struct ExportProfileAnswer {
    std::optional<ExportProfile> profile;
    ExportRefusal refusal;  // when there is no profile
};

// Whether `format` takes `field`: the forms and the clear the plain formats,
// each registry's own fields that registry's file. A window opens only these.
bool FormatTakes(std::string_view format, ExportField field);

// Dates left out are taken as `today` where the registry needs one.
ExportProfileAnswer ProfileForRequest(const ExportRequest& request, const CalendarDate& today);
