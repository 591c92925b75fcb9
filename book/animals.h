// The user's own animals: one per tag, with the number printed on its
// visual tag, a name, a group and notes, all as the user wrote them.
//
// Saving a list updates the animals already in the book by tag and adds
// the others, in one transaction: the whole list or nothing. A column the
// list did not have leaves what the book holds for it.
#pragma once

#include <string>
#include <vector>

#include "book/book_file.h"
#include "formats/formats.h"

struct Animal {
    TagId tag;
    std::string visual;
    std::string name;
    std::string group;
    std::string notes;
};

// Which of the optional columns a list had.
struct AnimalColumns {
    bool visual = false;
    bool name = false;
    bool group = false;
    bool notes = false;
};

BookStatus SaveAnimals(Book& book, const std::vector<Animal>& animals, const AnimalColumns& columns);
