// A tag's ID written in every form and read back from each, the forms
// registries publish included; and what the parser refuses, with why.
#include <gtest/gtest.h>

#include "formats/formats.h"
#include "sample_records.h"

namespace {

using Texts = std::vector<std::string>;

// Every bit of the ten-bit country and the 38-bit national number set.
const TagRecord kFdxbMaxima = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0};

TagId IdOf(const TagRecord& record) { return DecodeTagRecord(record).id; }

Texts Formatted(const TagRecord& record, IdForm form) { return FormatTagId(IdOf(record), form); }

TEST(TagId, EveryFormOfAnFdxbAndAnHdxRecord) {
    EXPECT_EQ(Formatted(kFdxb, IdForm::Split), (Texts{"982", "123456789012"}));
    EXPECT_EQ(Formatted(kFdxb, IdForm::Eid15), (Texts{"982123456789012"}));
    EXPECT_EQ(Formatted(kFdxb, IdForm::Spaced), (Texts{"982 123456789012"}));
    EXPECT_EQ(Formatted(kFdxb, IdForm::Eid16), (Texts{"0982123456789012"}));
    EXPECT_EQ(Formatted(kHdx, IdForm::Split), (Texts{"982", "000123456789"}));
    EXPECT_EQ(Formatted(kHdx, IdForm::Eid15), (Texts{"982000123456789"}));
    EXPECT_EQ(Formatted(kHdx, IdForm::Spaced), (Texts{"982 000123456789"}));
    EXPECT_EQ(Formatted(kHdx, IdForm::Eid16), (Texts{"0982000123456789"}));
    EXPECT_EQ(FormatTagId(TagId{0, 7}, IdForm::Eid15), (Texts{"000000000000007"}));
}

TEST(TagId, ACountryAboveNineHundredNinetyNineIsWrittenAsDecoded) {
    EXPECT_EQ(IdOf(kFdxbMaxima), (TagId{1023, 274877906943}));
    EXPECT_EQ(Formatted(kFdxbMaxima, IdForm::Split), (Texts{"1023", "274877906943"}));
    EXPECT_EQ(Formatted(kFdxbMaxima, IdForm::Eid15), (Texts{"1023274877906943"}));
    EXPECT_EQ(Formatted(kFdxbMaxima, IdForm::Spaced), (Texts{"1023 274877906943"}));
    EXPECT_EQ(Formatted(kFdxbMaxima, IdForm::Eid16), (Texts{"1023274877906943"}));
}

TEST(TagId, EveryFormReadsBack) {
    for (const TagId id : {IdOf(kFdxb), IdOf(kHdx), TagId{999, 274877906943}, TagId{0, 0}}) {
        const Texts split = FormatTagId(id, IdForm::Split);
        EXPECT_EQ(ParseTagId(split[0], split[1]).id, id) << split[0] << ' ' << split[1];
        for (IdForm form : {IdForm::Eid15, IdForm::Spaced, IdForm::Eid16}) {
            const std::string text = FormatTagId(id, form).front();
            EXPECT_EQ(ParseTagId(text).id, id) << text;
        }
    }
}

// Every form a registry or a tag's maker publishes, as the page prints it:
//   NAIT, "How to upload a movement file" (OSPRI), "Formats we accept include":
//     https://www.ospri.co.nz/farmers-and-livestock-owners/nait-user-guides-for-farmers/user-guides-for-animal-movements/movement-file/
//   NAIT, "How to update or delete movements", the same list and 9.82E+14,
//   which we refuse (its last digits are gone):
//     https://www.ospri.co.nz/farmers-and-livestock-owners/nait-user-guides-for-farmers/user-guides-for-animal-movements/update-movements/
//   UK sheep: "UK 0724345 00099", shown by a scanner as "826 0724345 00099"
//   (a breed society's notice, no registry's page):
//     http://www.st-hereford.co.uk/news/view?id=273&s=1
//   UK sheep: "UK 0 123456 00001", quoted from the keepers' guidance by a tag maker:
//     https://www.symtag.co.uk/pages/advice
// and the forms people and spreadsheets write, then what no form holds.
TEST(TagId, ReadsEveryPublishedFormAndRefusesTheRestSayingWhy) {
    const std::pair<const char*, TagId> read[] = {
        {"00000 0 982 000196588496", {982, 196588496}},  // NAIT
        {"942 000002422333", {942, 2422333}},            // NAIT
        {"982 000161531687", {982, 161531687}},          // NAIT
        {"0982000190869343", {982, 190869343}},          // NAIT
        {"0982 000190869343", {982, 190869343}},         // NAIT
        {"UK 0724345 00099", {826, 72434500099}},        // UK
        {"826 0724345 00099", {826, 72434500099}},       // UK, as scanned
        {"UK 0 123456 00001", {826, 12345600001}},       // UK
        {"UK0713393 00045", {826, 71339300045}},
        {"uk0713393-00045", {826, 71339300045}},
        {"0826071339300045", {826, 71339300045}},
        {"982123456789012", {982, 123456789012}},
        {"982-000161531687", {982, 161531687}},
        {" 982 - 000161531687\t", {982, 161531687}},
        {"982 0123456789", {982, 123456789}},
        {"00000-0-982-000196588496", {982, 196588496}},
    };
    for (const auto& [text, id] : read) {
        const TagIdParse parsed = ParseTagId(text);
        EXPECT_EQ(parsed.id, id) << text << ": " << parsed.refusal;
    }

    const std::pair<const char*, const char*> refused[] = {
        {"9.82E+14", "9.82E+14"},
        {"9,82123E+14", "9.82E+14"},
        {"9.82123456789012e14", "9.82E+14"},
        {"00001 0 982 000196588496", "fields before the country code are zeros"},
        {"00000 1 982 000196588496", "not \"00000 1\""},
        {"0000 0 982 000196588496", "one space or dash"},
        {"982 0713393 00045", "country code 826, not 982"},
        {"UK071339 00045", "not a UK tag"},
        {"UK0713393 0045", "not a UK tag"},
        {"UK071339300045", "not a UK tag"},
        {"UK 07 13393 00045", "not a UK tag"},
        {"UK", "not a UK tag"},
        {"UK9999999 99999", "is above 274877906943"},
        {"1023274877906943", "country code 1023 is above 999"},
        {"1023 274877906943", "country code 1023 is above 999"},
        {"982274877906944", "national number 274877906944 is above 274877906943"},
        {"98212345678901", "14 digits"},
        {"09821234567890123", "17 digits"},
        {"982 1234567890123", "national number of 13 digits"},
        {"98 123456789012", "country code of 2 digits"},
        {"982 123 456", "one space or dash"},
        {"982--123456789012", "one space or dash"},
        {"982 123456789012-", "one space or dash"},
        {"-982 123456789012", "one space or dash"},
        {"982/123456789012", "'/'"},
        {"GB0713393 00045", "'G'"},
        {"  ", "empty"},
    };
    for (const auto& [text, reason] : refused) {
        const TagIdParse parsed = ParseTagId(text);
        EXPECT_FALSE(parsed.id) << text;
        EXPECT_NE(parsed.refusal.find(reason), std::string::npos) << text << ": " << parsed.refusal;
    }
}

TEST(TagId, ReadsTheWindowsTwoColumns) {
    EXPECT_EQ(ParseTagId("982", "0123456789").id, (TagId{982, 123456789})) << "an HDX row of the window's file";
    EXPECT_EQ(ParseTagId("250", "28559855506").id, (TagId{250, 28559855506})) << "a leading zero lost";
    EXPECT_EQ(ParseTagId("1023", "274877906943").id, (TagId{1023, 274877906943})) << "as the window writes it";
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"1024", "1", "above 1023"},
        {"982", "274877906944", "274877906944 is above"},
        {"982", "1.23457E+11", "9.82E+14"},
        {"982", "", "empty"},
        {"98 2", "1", "' '"},
    };
    for (const auto& [country, national, reason] : refused) {
        const TagIdParse parsed = ParseTagId(country, national);
        EXPECT_FALSE(parsed.id) << country << ',' << national;
        EXPECT_NE(parsed.refusal.find(reason), std::string::npos) << country << ',' << national << ": "
                                                                   << parsed.refusal;
    }
}

TEST(TagId, FormsByName) {
    EXPECT_EQ(IdFormNames(), (Texts{"split", "eid15", "spaced", "eid16"}));
    for (const std::string& name : IdFormNames()) EXPECT_EQ(IdFormName(*IdFormFromName(name)), name);
    EXPECT_FALSE(IdFormFromName("EID15"));
    EXPECT_FALSE(IdFormFromName(""));
}

}  // namespace
