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

// The first field of `fields` whose being given is not `wanted`.
Refusal FirstNot(std::initializer_list<Given> fields, bool wanted, Why why) {
    for (const Given& f : fields) {
        if (f.given != wanted) return ExportRefusal{f.field, why, {}};
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

    Refusal refusal;
    if (IsRegistryFormat(r.format)) {
        if (r.clear) return ExportRefusal{Field::Clear, Why::NotTaken, {}};
        refusal = FirstNot({idForm, dateForm}, false, Why::NotTaken);
    }
    if (!refusal && !nait) refusal = FirstNot({sending, receiving, dateSent, dateReceived}, false, Why::NotTaken);
    if (!refusal && !nlis) refusal = FirstNot({fromPic, toPic, nvd, date}, false, Why::NotTaken);
    if (!refusal && !reconciliation) refusal = FirstNot({pic}, false, Why::NotTaken);
    if (!refusal && nait) refusal = FirstNot({sending, receiving}, true, Why::Needed);
    if (!refusal && nlis) refusal = FirstNot({fromPic, toPic}, true, Why::Needed);
    if (!refusal && reconciliation) refusal = FirstNot({pic}, true, Why::Needed);
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
