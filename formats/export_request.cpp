#include "formats/export_request.h"

#include <initializer_list>
#include <utility>

#include "formats/registry_checks.h"

namespace {

using Field = ExportField;
using Why = ExportRefusal::Why;
using Refusal = std::optional<ExportRefusal>;

// A field, and whether the user gave it.
struct Given {
    Field field;
    bool given;
};

// The first field of `fields` the user left out.
Refusal FirstMissing(std::initializer_list<Given> fields) {
    for (const Given& f : fields) {
        if (!f.given) return ExportRefusal{f.field, Why::Needed, {}};
    }
    return std::nullopt;
}

template <typename Check>
Refusal ValueOf(Field field, const std::optional<std::string>& value, Check check) {
    if (!value) return std::nullopt;
    if (std::optional<std::string> why = check(*value)) return ExportRefusal{field, Why::Value, std::move(*why)};
    return std::nullopt;
}

std::optional<CalendarDate> DateGiven(const std::optional<std::string>& text) {
    return text ? ParseCalendarDate(*text) : std::nullopt;
}

// The first refusal of the request's combination, then of its values.
Refusal Check(const ExportRequest& r) {
    const bool nait = r.format == kNaitFormat;
    const bool nlis = r.format == kNlisFormat;
    const bool reconciliation = r.format == kNlisPicFormat;
    const Given idForm{Field::IdForm, r.idForm.has_value()}, dateForm{Field::DateForm, r.dateForm.has_value()};
    const Given sending{Field::Sending, r.sending.has_value()}, receiving{Field::Receiving, r.receiving.has_value()},
        dateSent{Field::DateSent, r.dateSent.has_value()}, dateReceived{Field::DateReceived, r.dateReceived.has_value()};
    const Given fromPic{Field::FromPic, r.fromPic.has_value()}, toPic{Field::ToPic, r.toPic.has_value()},
        nvd{Field::Nvd, r.nvd.has_value()}, date{Field::Date, r.date.has_value()};
    const Given pic{Field::Pic, r.pic.has_value()};

    for (const Given& f : {Given{Field::Clear, r.clear}, idForm, dateForm, sending, receiving, dateSent, dateReceived,
                           fromPic, toPic, nvd, date, pic}) {
        if (f.given && !FormatTakes(r.format, f.field)) return ExportRefusal{f.field, Why::NotTaken, {}};
    }
    Refusal refusal;
    if (nait) refusal = FirstMissing({sending, receiving});
    if (!refusal && nlis) refusal = FirstMissing({fromPic, toPic});
    if (!refusal && reconciliation) refusal = FirstMissing({pic});
    if (refusal) return refusal;
    for (const Refusal& value : {ValueOf(Field::Sending, r.sending, NaitNumberRefusal),
                            ValueOf(Field::Receiving, r.receiving, NaitNumberRefusal),
                            ValueOf(Field::DateSent, r.dateSent, CalendarDateRefusal),
                            ValueOf(Field::DateReceived, r.dateReceived, CalendarDateRefusal),
                            ValueOf(Field::FromPic, r.fromPic, PicRefusal), ValueOf(Field::ToPic, r.toPic, PicRefusal),
                            ValueOf(Field::Nvd, r.nvd, NvdRefusal), ValueOf(Field::Date, r.date, CalendarDateRefusal),
                            ValueOf(Field::Pic, r.pic, PicRefusal)}) {
        if (value) return value;
    }
    return std::nullopt;
}

}  // namespace

bool FormatTakes(std::string_view format, ExportField field) {
    switch (field) {
    case Field::IdForm:
    case Field::DateForm:
    case Field::Clear: return !IsRegistryFormat(format);
    case Field::Sending:
    case Field::Receiving:
    case Field::DateSent:
    case Field::DateReceived: return format == kNaitFormat;
    case Field::FromPic:
    case Field::ToPic:
    case Field::Nvd:
    case Field::Date: return format == kNlisFormat;
    case Field::Pic: return format == kNlisPicFormat;
    }
    return false;
}

ExportProfileAnswer ProfileForRequest(const ExportRequest& r, const CalendarDate& today) {
    if (Refusal refusal = Check(r)) return {std::nullopt, std::move(*refusal)};
    ExportProfile profile;
    if (r.format == kNaitFormat) {
        profile.nait = {*r.sending, *r.receiving, DateGiven(r.dateSent), DateGiven(r.dateReceived)};
        std::optional<CalendarDate>& sent = profile.nait.dateSent;
        if (!sent && !profile.nait.dateReceived) sent = today;
        if (std::optional<std::string> why = sent ? NaitDateSentRefusal(*sent, today) : std::nullopt)
            return {std::nullopt, {Field::DateSent, Why::Value, std::move(*why)}};
    } else if (r.format == kNlisFormat) {
        profile.nlis = {PicAsWritten(*r.fromPic), PicAsWritten(*r.toPic), r.nvd.value_or(""),
                        DateGiven(r.date).value_or(today)};
    } else if (r.format == kNlisPicFormat) {
        profile.pic = PicAsWritten(*r.pic);
    } else {
        profile.forms = {r.idForm.value_or(IdForm::Split), r.dateForm.value_or(DateForm::Iso)};
    }
    return {profile, {}};
}
