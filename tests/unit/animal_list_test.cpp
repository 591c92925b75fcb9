// The user's animal list as spreadsheets save it, every bad row reported
// by its line, and the list saved into a real book: again by tag.
#include <gtest/gtest.h>

#include "book/book.h"
#include "formats/formats.h"
#include "temp_dir.h"

namespace {

std::vector<int> LinesOf(const AnimalList& list) {
    std::vector<int> lines;
    for (const CsvProblem& problem : list.problems) lines.push_back(problem.line);
    return lines;
}

TEST(AnimalList, ExcelsSemicolonsWithAByteOrderMarkAndHeadingsInAnyCaseAndOrder) {
    const AnimalList list = ReadAnimalList("\xEF\xBB\xBFName; GROUP ;Visual Tag Number;TAG;Breed\r\n"
                                           "Daisy;North;17;982 000123456789;Jersey\r\n"
                                           "\"Bell; the \"\"old\"\" one\";North;18;982-000123456790;\r\n"
                                           "\r\n"
                                           "Zo\xC3\xAB;South;;0982000123456791;\r\n");
    ASSERT_TRUE(list.problems.empty()) << list.problems[0].text;
    EXPECT_TRUE(list.columns.visual && list.columns.name && list.columns.group);
    EXPECT_FALSE(list.columns.notes);
    ASSERT_EQ(list.animals.size(), 3u);
    EXPECT_EQ(list.animals[0].tag, (TagId{982, 123456789}));
    EXPECT_EQ(list.animals[0].visual, "17");
    EXPECT_EQ(list.animals[1].name, "Bell; the \"old\" one");
    EXPECT_EQ(list.animals[2].name, "Zo\xC3\xAB");
    EXPECT_EQ(list.animals[2].group, "South");
}

TEST(AnimalList, EveryBadRowIsReportedByItsLine) {
    const AnimalList list = ReadAnimalList("tag,name,notes\n"
                                           "982000123456789,Daisy,\n"        // 2: fine
                                           "9.82E+14,Bell,\n"                // 3: a spreadsheet's number
                                           ",Nameless,\n"                    // 4: no tag
                                           "982 000123456789,Daisy again,\n" // 5: the tag of line 2
                                           "276000000000005,Caf\xE9,\n"      // 6: Windows-1252, not UTF-8
                                           "276000000000006,Max,\"two\n"     // 7: a note over two lines
                                           "lines\",more\n"                  //    and a fourth cell
                                           "276000000000007,Ok,fine\n");     // 9: fine
    EXPECT_EQ(LinesOf(list), (std::vector<int>{3, 4, 5, 6, 7}));
    ASSERT_EQ(list.problems.size(), 5u);
    EXPECT_NE(list.problems[0].text.find("9.82E+14"), std::string::npos) << list.problems[0].text;
    EXPECT_NE(list.problems[2].text.find("line 2"), std::string::npos) << list.problems[2].text;
    EXPECT_NE(list.problems[3].text.find("UTF-8"), std::string::npos) << list.problems[3].text;
}

TEST(AnimalList, AHeadingRowWithoutATagColumnIsRefused) {
    const AnimalList list = ReadAnimalList("name,group\nDaisy,North\n");
    ASSERT_EQ(LinesOf(list), (std::vector<int>{1}));
    EXPECT_TRUE(list.animals.empty());
}

TEST(AnimalList, ImportingAgainUpdatesByTagAndKeepsColumnsTheListLacks) {
    TempDir dir;
    Book book;
    ASSERT_TRUE(book.Open(dir.path() / "records.db", BookAccess::Create).Ok());
    const AnimalList first = ReadAnimalList("tag,name,group,notes\n"
                                            "982000000000001,Daisy,North,'); DROP TABLE animals; --\n"
                                            "982000000000002,Bell,North,\n");
    ASSERT_TRUE(SaveAnimals(book, first.animals, first.columns).Ok());
    const AnimalList second = ReadAnimalList("tag,name\n982000000000001,Daisy May\n982000000000003,Max\n");
    ASSERT_TRUE(SaveAnimals(book, second.animals, second.columns).Ok());

    const auto animals = ListAnimals(book, "");
    ASSERT_TRUE(animals.status.Ok()) << animals.status.text;
    ASSERT_EQ(animals.value.size(), 3u);
    EXPECT_EQ(animals.value[0].name, "Max") << "no group sorts first";
    EXPECT_EQ(animals.value[1].name, "Daisy May");
    EXPECT_EQ(animals.value[1].group, "North") << "the second list had no group column";
    EXPECT_EQ(animals.value[1].notes, "'); DROP TABLE animals; --") << "text is a value, never SQL";
    EXPECT_EQ(ListAnimals(book, "North").value.size(), 2u);
}

TEST(CsvCell, TextASpreadsheetWouldEvaluateIsWrittenAsText) {
    EXPECT_EQ(CsvCell("Daisy"), "Daisy");
    EXPECT_EQ(CsvCell("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    EXPECT_EQ(CsvCell("+1"), "\"'+1\"");
    EXPECT_EQ(CsvCell("-2"), "\"'-2\"");
    EXPECT_EQ(CsvCell("@SUM(A1)"), "\"'@SUM(A1)\"");
    EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvCell("a;b", ';'), "\"a;b\"");
    EXPECT_EQ(CsvCell("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvCell("a-b"), "a-b");
}

}  // namespace
