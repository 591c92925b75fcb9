#include "qt/animals_model.h"

#include <numeric>

namespace {

// With no country column beside it, the tag shows whole.
constexpr IdForm kAnimalTagForm = IdForm::Spaced;

}  // namespace

void AnimalsModel::SetAnimals(std::vector<Animal> animals) {
    beginResetModel();
    animals_ = std::move(animals);
    order_.resize(animals_.size());
    std::iota(order_.begin(), order_.end(), 0);
    endResetModel();
}

int AnimalsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(animals_.size());
}

int AnimalsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(AnimalHeadings().size());
}

QVariant AnimalsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return QString::fromStdString(AnimalCell(animals_[order_[static_cast<size_t>(index.row())]], index.column(),
                                             kAnimalTagForm));
}

QVariant AnimalsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return QString(AnimalHeadings()[static_cast<size_t>(section)].text);
}

void AnimalsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged();
    order_ = SortedAnimals(animals_, column, order == Qt::AscendingOrder);
    emit layoutChanged();
}
