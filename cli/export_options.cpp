#include "cli/export_options.h"

#include <algorithm>

#include "formats/formats.h"

namespace {

const char* const kFormatHelp =
    "csv (default: the window's file), xlsx (an Excel workbook, identifiers as text), jsonl (one JSON object "
    "a line), nait (New Zealand's NAIT movement file), nlis (Australia's NLIS movement file) or nlis-pic "
    "(NLIS's PIC reconciliation file)";
const char* const kIdFormHelp =
    "the tag's ID: split (default: country code and national number in two columns), eid15 (982123456789012), "
    "spaced (982 123456789012) or eid16 (0982123456789012)";
const char* const kDateFormHelp =
    "the time of reading: iso (default: 2020-09-13 12:26:40), dmy (13/09/2020 12:26:40) or date (13/09/2020)";
const char* const kSendingHelp = "nait: the sending NAIT number";
const char* const kReceivingHelp = "nait: the receiving NAIT number";
const char* const kDateSentHelp = "nait: the date sent, YYYY-MM-DD (default: today, when no date received is given)";
const char* const kDateReceivedHelp = "nait: the date received, YYYY-MM-DD";
const char* const kFromPicHelp = "nlis: the PIC the animals leave";
const char* const kToPicHelp = "nlis: the PIC the animals arrive at";
const char* const kNvdHelp = "nlis: the NVD or waybill number";
const char* const kDateHelp = "nlis: the date of the movement, YYYY-MM-DD (default: today)";
const char* const kPicHelp = "nlis-pic: the PIC whose animals the tags are reconciled to";

const char* const kIdFormOption = "--id-form";
const char* const kDateFormOption = "--date-form";
const char* const kSendingOption = "--sending";
const char* const kReceivingOption = "--receiving";
const char* const kDateSentOption = "--date-sent";
const char* const kDateReceivedOption = "--date-received";
const char* const kFromPicOption = "--from-pic";
const char* const kToPicOption = "--to-pic";
const char* const kNvdOption = "--nvd";
const char* const kDateOption = "--date";
const char* const kPicOption = "--pic";

const char* const kNotForFormat = "is not taken by --format ";
const char* const kNeeded = "is needed by --format ";
const char* const kDeleteOption = "--delete";
const char* const kNoDeleteAfterRegistryFile =
    "is not taken with a registry's file, which leaves out the time of reading: export to csv, xlsx or jsonl "
    "to delete";

// A check of one option's value, for CLI11.
template <typename Refusal>
CLI::Validator Checked(Refusal refusal) {
    return CLI::Validator([refusal](std::string& value) { return refusal(value).value_or(""); }, "");
}

std::string Option(const char* name, const std::string& format, const char* why) {
    return std::string(name) + ' ' + why + format;
}

// The option of each field, for the refusal that names it.
const char* OptionOf(ExportField field) {
    switch (field) {
    case ExportField::IdForm: return kIdFormOption;
    case ExportField::DateForm: return kDateFormOption;
    case ExportField::Sending: return kSendingOption;
    case ExportField::Receiving: return kReceivingOption;
    case ExportField::DateSent: return kDateSentOption;
    case ExportField::DateReceived: return kDateReceivedOption;
    case ExportField::FromPic: return kFromPicOption;
    case ExportField::ToPic: return kToPicOption;
    case ExportField::Nvd: return kNvdOption;
    case ExportField::Date: return kDateOption;
    case ExportField::Pic: return kPicOption;
    case ExportField::Clear: break;
    }
    return kDeleteOption;
}

// The option's value when it was given on the command line.
std::optional<std::string> GivenText(const CLI::App& command, const char* option, const std::string& value) {
    if (command.count(option) == 0) return std::nullopt;
    return value;
}

template <typename Form>
std::optional<Form> GivenForm(const CLI::App& command, const char* option, std::optional<Form> form) {
    return command.count(option) == 0 ? std::nullopt : form;
}

}  // namespace

void AddExportOptions(CLI::App& command, ExportChoice& choice) {
    std::vector<std::string> formats = RecordFormatNames();
    for (std::string& name : RegistryFormatNames()) formats.push_back(std::move(name));
    command.add_option("-f,--format", choice.format, kFormatHelp)->type_name("FORMAT")->check(CLI::IsMember(formats));
    command.add_option(kIdFormOption, choice.idForm, kIdFormHelp)->type_name("FORM")->check(CLI::IsMember(IdFormNames()));
    command.add_option(kDateFormOption, choice.dateForm, kDateFormHelp)
        ->type_name("FORM")
        ->check(CLI::IsMember(DateFormNames()));
    command.add_option(kSendingOption, choice.sending, kSendingHelp)->type_name("NUMBER")->check(Checked(NaitNumberRefusal));
    command.add_option(kReceivingOption, choice.receiving, kReceivingHelp)
        ->type_name("NUMBER")
        ->check(Checked(NaitNumberRefusal));
    command.add_option(kDateSentOption, choice.dateSent, kDateSentHelp)->type_name("DATE")->check(Checked(CalendarDateRefusal));
    command.add_option(kDateReceivedOption, choice.dateReceived, kDateReceivedHelp)
        ->type_name("DATE")
        ->check(Checked(CalendarDateRefusal));
    command.add_option(kFromPicOption, choice.fromPic, kFromPicHelp)->type_name("PIC")->check(Checked(PicRefusal));
    command.add_option(kToPicOption, choice.toPic, kToPicHelp)->type_name("PIC")->check(Checked(PicRefusal));
    command.add_option(kNvdOption, choice.nvd, kNvdHelp)->type_name("NUMBER")->check(Checked(NvdRefusal));
    command.add_option(kDateOption, choice.date, kDateHelp)->type_name("DATE")->check(Checked(CalendarDateRefusal));
    command.add_option(kPicOption, choice.pic, kPicHelp)->type_name("PIC")->check(Checked(PicRefusal));
}

ExportRequest RequestOf(const CLI::App& command, const ExportChoice& choice, bool clear) {
    return {choice.format,
                                GivenForm(command, kIdFormOption, IdFormFromName(choice.idForm)),
                                GivenForm(command, kDateFormOption, DateFormFromName(choice.dateForm)),
                                GivenText(command, kSendingOption, choice.sending),
                                GivenText(command, kReceivingOption, choice.receiving),
                                GivenText(command, kDateSentOption, choice.dateSent),
                                GivenText(command, kDateReceivedOption, choice.dateReceived),
                                GivenText(command, kFromPicOption, choice.fromPic),
                                GivenText(command, kToPicOption, choice.toPic),
                                GivenText(command, kNvdOption, choice.nvd),
                                GivenText(command, kDateOption, choice.date),
                                GivenText(command, kPicOption, choice.pic),
                                clear};
}

ExportProfile ProfileFor(const ExportRequest& request, const CalendarDate& today) {
    ExportProfileAnswer answer = ProfileForRequest(request, today);
    if (answer.profile) return *answer.profile;
    const ExportRefusal& refusal = answer.refusal;
    const char* option = OptionOf(refusal.field);
    switch (refusal.why) {
    case ExportRefusal::Why::NotTaken:
        if (refusal.field == ExportField::Clear) throw CLI::ValidationError(std::string(option) + ' ' + kNoDeleteAfterRegistryFile);
        throw CLI::ValidationError(Option(option, request.format, kNotForFormat));
    case ExportRefusal::Why::Needed: throw CLI::ValidationError(Option(option, request.format, kNeeded));
    case ExportRefusal::Why::Value: break;
    }
    throw CLI::ValidationError(option, refusal.text);
}
