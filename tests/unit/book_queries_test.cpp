// The farmer's questions put to a real book: the reads of a period each
// once, the animals not read, and the reads of no known animal.
#include <gtest/gtest.h>

#include "book/book.h"
#include "book_records.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> NamesOf(const std::vector<Animal>& animals) {
    std::vector<std::string> names;
    for (const Animal& animal : animals) names.push_back(animal.name);
    return names;
}

std::vector<TagId> TagsOf(const std::vector<BookRead>& reads) {
    std::vector<TagId> tags;
    for (const BookRead& read : reads) tags.push_back(read.tag.id);
    return tags;
}

// Daisy and Bell in the north, Max in the south; Monday reads Daisy and a
// stray tag, Tuesday reads Daisy again (the same read: the reader was not
// cleared) and Bell.
class BookQueriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(book_.Open(dir_.path() / "records.db", BookAccess::Create).Ok());
        ASSERT_TRUE(SaveAnimals(book_,
                                {{{982, 1}, "1", "Daisy", "North", ""},
                                 {{982, 2}, "2", "Bell", "North", ""},
                                 {{982, 3}, "3", "Max", "South", ""}},
                                {true, true, true, false})
                        .Ok());
        Recording monday(book_), tuesday(book_);
        RecordDownload({daisy_, stray_}, 20, monday);
        RecordDownload({daisy_, bell_}, 21, tuesday);
    }

    TempDir dir_;
    Book book_;
    const TagRecord daisy_ = FdxbRecord(982, 1), bell_ = FdxbRecord(982, 2), stray_ = FdxbRecord(276, 9);
};

TEST_F(BookQueriesTest, AnimalsNotReadInTheLatestDownloadADownloadOrSinceADate) {
    EXPECT_EQ(NamesOf(MissingAnimals(book_, "", {}).value), (std::vector<std::string>{"Max"}));
    EXPECT_EQ(NamesOf(MissingAnimals(book_, "North", {1, "", ""}).value), (std::vector<std::string>{"Bell"}));
    EXPECT_EQ(NamesOf(MissingAnimals(book_, "", {0, "2021-09-20", ""}).value), (std::vector<std::string>{"Max"}));
    EXPECT_EQ(NamesOf(MissingAnimals(book_, "", {0, "2021-09-22", ""}).value),
              (std::vector<std::string>{"Daisy", "Bell", "Max"}));
}

TEST_F(BookQueriesTest, ReadsOfNoKnownAnimal) {
    EXPECT_TRUE(ReadsOfScope(book_, {}, ReadFilter::Unknown).value.empty());
    const auto unknown = ReadsOfScope(book_, {1, "", ""}, ReadFilter::Unknown);
    ASSERT_TRUE(unknown.status.Ok()) << unknown.status.text;
    EXPECT_EQ(TagsOf(unknown.value), (std::vector<TagId>{{276, 9}}));
    EXPECT_FALSE(unknown.value[0].known);
}

TEST_F(BookQueriesTest, TheReadsOfAPeriodEachOnceAndTheNewOnes) {
    const auto all = ReadsOfScope(book_, {0, "2021-09-20", "2021-09-22"}, ReadFilter::All);
    EXPECT_EQ(TagsOf(all.value), (std::vector<TagId>{{982, 1}, {276, 9}, {982, 2}})) << "Daisy once";
    EXPECT_EQ(all.value[0].animal.name, "Daisy");
    EXPECT_EQ(all.value[0].download, 1);

    const auto tuesday = ReadsOfScope(book_, {0, "2021-09-21", ""}, ReadFilter::All);
    EXPECT_EQ(TagsOf(tuesday.value), (std::vector<TagId>{{982, 1}, {982, 2}}));
    const auto tuesdayNew = ReadsOfScope(book_, {0, "2021-09-21", ""}, ReadFilter::New);
    EXPECT_EQ(TagsOf(tuesdayNew.value), (std::vector<TagId>{{982, 2}})) << "Daisy's read came on Monday";
    EXPECT_TRUE(ReadsOfScope(book_, {0, "", "2021-09-20"}, ReadFilter::All).value.empty());
}

}  // namespace
