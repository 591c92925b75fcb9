// An export's request checked as one, as kavrin-cli's options and the
// Save As dialog both give it: the refusal names its field, the first one
// found in a fixed order, and a sound request gives the registry's profile.
#include <gtest/gtest.h>

#include "formats/export_request.h"

namespace {

const CalendarDate kToday{2021, 9, 19};

ExportRequest Nait() {
    ExportRequest r;
    r.format = "nait";
    r.sending = "12345";
    r.receiving = "67890";
    return r;
}

ExportRequest Nlis() {
    ExportRequest r;
    r.format = "nlis";
    r.fromPic = "qaaa1234";
    r.toPic = "NABC5678";
    return r;
}

::testing::AssertionResult RefusedFor(const ExportRequest& request, ExportField field, ExportRefusal::Why why,
                                      const std::string& text = {}) {
    const ExportProfileAnswer answer = ProfileForRequest(request, kToday);
    if (answer.profile) return ::testing::AssertionFailure() << "a profile was given";
    const ExportRefusal& r = answer.refusal;
    if (r.field != field || r.why != why || r.text != text)
        return ::testing::AssertionFailure() << "refused field " << int(r.field) << " why " << int(r.why) << ": "
                                             << r.text;
    return ::testing::AssertionSuccess();
}

using Why = ExportRefusal::Why;

TEST(ExportRequest, FieldsTheFormatDoesNotTakeOrNeedsAreNamed) {
    ExportRequest csv;
    csv.format = "csv";
    csv.nvd = "X1";
    EXPECT_TRUE(RefusedFor(csv, ExportField::Nvd, Why::NotTaken));

    ExportRequest nait = Nait();
    nait.idForm = IdForm::Eid15;
    EXPECT_TRUE(RefusedFor(nait, ExportField::IdForm, Why::NotTaken)) << "a registry fixes its forms";
    nait = Nait();
    nait.receiving.reset();
    EXPECT_TRUE(RefusedFor(nait, ExportField::Receiving, Why::Needed));
    nait = Nait();
    nait.clear = true;
    nait.sending.reset();
    EXPECT_TRUE(RefusedFor(nait, ExportField::Clear, Why::NotTaken)) << "the delete comes first";

    ExportRequest nlis = Nlis();
    nlis.dateSent = "2021-09-19";
    EXPECT_TRUE(RefusedFor(nlis, ExportField::DateSent, Why::NotTaken));
    nlis = Nlis();
    nlis.fromPic.reset();
    nlis.toPic.reset();
    EXPECT_TRUE(RefusedFor(nlis, ExportField::FromPic, Why::Needed)) << "the first missing one";

    ExportRequest reconciliation;
    reconciliation.format = "nlis-pic";
    EXPECT_TRUE(RefusedFor(reconciliation, ExportField::Pic, Why::Needed));
    reconciliation.pic = "NABC567";
    EXPECT_TRUE(RefusedFor(reconciliation, ExportField::Pic, Why::Value, "a PIC has 8 characters, not 7"));
    reconciliation.pic = "NABC5678";
    reconciliation.clear = true;
    EXPECT_TRUE(RefusedFor(reconciliation, ExportField::Clear, Why::NotTaken));
    nlis = Nlis();
    nlis.pic = "NABC5678";
    EXPECT_TRUE(RefusedFor(nlis, ExportField::Pic, Why::NotTaken)) << "a movement names its two PICs";
}

TEST(ExportRequest, EachValueWithTheCheckOwnText) {
    ExportRequest nait = Nait();
    nait.sending = "12x45";
    EXPECT_TRUE(RefusedFor(nait, ExportField::Sending, Why::Value, "a NAIT number is digits only"));
    nait = Nait();
    nait.dateReceived = "19/09/2021";
    EXPECT_TRUE(RefusedFor(nait, ExportField::DateReceived, Why::Value,
                           "a date is written YYYY-MM-DD and must exist in the calendar"));
    nait = Nait();
    nait.dateSent = "2021-09-24";
    EXPECT_TRUE(RefusedFor(nait, ExportField::DateSent, Why::Value,
                           "NAIT takes a date sent at most four days in advance, up to 23/09/2021"));

    ExportRequest nlis = Nlis();
    nlis.toPic = "NABC567";
    EXPECT_TRUE(RefusedFor(nlis, ExportField::ToPic, Why::Value, "a PIC has 8 characters, not 7"));
    nlis = Nlis();
    nlis.nvd = "A,B";
    EXPECT_TRUE(RefusedFor(nlis, ExportField::Nvd, Why::Value, "an NVD or waybill number is letters and digits only"));
}

TEST(ExportRequest, ASoundRequestGivesTheProfileWithTodayWhereADateIsLeftOut) {
    ExportProfileAnswer answer = ProfileForRequest(Nait(), kToday);
    ASSERT_TRUE(answer.profile);
    EXPECT_EQ(answer.profile->nait.sending, "12345");
    EXPECT_EQ(answer.profile->nait.dateSent, kToday);
    EXPECT_FALSE(answer.profile->nait.dateReceived);

    ExportRequest received = Nait();
    received.dateReceived = "2021-09-18";
    answer = ProfileForRequest(received, kToday);
    ASSERT_TRUE(answer.profile);
    EXPECT_FALSE(answer.profile->nait.dateSent) << "a date received alone stands for the movement";
    EXPECT_EQ(answer.profile->nait.dateReceived, (CalendarDate{2021, 9, 18}));

    answer = ProfileForRequest(Nlis(), kToday);
    ASSERT_TRUE(answer.profile);
    EXPECT_EQ(answer.profile->nlis.fromPic, "QAAA1234") << "the registry's capitals";
    EXPECT_EQ(answer.profile->nlis.date, kToday);
    EXPECT_EQ(answer.profile->nlis.nvd, "");

    ExportRequest reconciliation;
    reconciliation.format = "nlis-pic";
    reconciliation.pic = "nabc5678";
    answer = ProfileForRequest(reconciliation, kToday);
    ASSERT_TRUE(answer.profile);
    EXPECT_EQ(answer.profile->pic, "NABC5678");

    ExportRequest jsonl;
    jsonl.format = "jsonl";
    jsonl.dateForm = DateForm::Date;
    answer = ProfileForRequest(jsonl, kToday);
    ASSERT_TRUE(answer.profile);
    EXPECT_EQ(answer.profile->forms.id, IdForm::Split);
    EXPECT_EQ(answer.profile->forms.date, DateForm::Date);
}

TEST(FormExamples, EachFormShownAsItWritesTheSameTagAndDay) {
    EXPECT_EQ(IdFormExample(IdForm::Spaced), "982 000123456789");
    EXPECT_EQ(IdFormExample(IdForm::Eid15), "982000123456789");
    EXPECT_EQ(IdFormExample(IdForm::Eid16), "0982000123456789");
    EXPECT_EQ(IdFormExample(IdForm::Split), "982, 000123456789 in two columns");
    EXPECT_EQ(DateFormExample(DateForm::Date), "19/09/2021");
    EXPECT_EQ(DateFormExample(DateForm::Dmy), "19/09/2021 05:44:59");
    EXPECT_EQ(DateFormExample(DateForm::Iso), "2021-09-19 05:44:59");
}

}  // namespace
