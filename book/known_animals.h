// The user's animals as the extra columns of an export (record_columns.h):
// the visual tag number, the name and the group of each read whose tag the
// list has, in every format the same; and each tag's visual tag number
// alone, for NAIT's file (ExportProfile::visualTag).
#pragma once

#include <map>

#include "book/animals.h"
#include "formats/formats.h"

class KnownAnimals final : public ExtraColumns {
public:
    // Loads the whole list from the book; until then, no tag is known.
    BookStatus Load(Book& book);

    const std::vector<ExtraColumn>& Columns() const override;
    std::optional<std::vector<std::string>> Cells(const DecodedTag& tag) const override;
    // The number on the tag's visual tag; empty when the list has none.
    std::string VisualTag(const TagId& id) const;

private:
    std::map<TagId, Animal> animals_;
};
