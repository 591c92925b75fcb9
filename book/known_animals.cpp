#include "book/known_animals.h"

#include "book/queries.h"

namespace {

const std::vector<ExtraColumn> kAnimalColumns = {
    {"VISUAL TAG", "visual_tag"},
    {"NAME", "name"},
    {"GROUP", "group"},
};

}  // namespace

BookStatus KnownAnimals::Load(Book& book) {
    BookAnswer<std::vector<Animal>> list = ListAnimals(book, "");
    if (!list.status.Ok()) return list.status;
    animals_.clear();
    for (Animal& animal : list.value) animals_[animal.tag] = std::move(animal);
    return {};
}

const std::vector<ExtraColumn>& KnownAnimals::Columns() const { return kAnimalColumns; }

std::optional<std::vector<std::string>> KnownAnimals::Cells(const DecodedTag& tag) const {
    const auto found = animals_.find(tag.id);
    if (found == animals_.end()) return std::nullopt;
    const Animal& animal = found->second;
    return std::vector<std::string>{animal.visual, animal.name, animal.group};
}

std::string KnownAnimals::VisualTag(const TagId& id) const {
    const auto found = animals_.find(id);
    return found == animals_.end() ? std::string() : found->second.visual;
}
