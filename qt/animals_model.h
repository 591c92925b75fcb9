// The animals table's model: the user's animals as the book answered them
// (a group's, or those not read), their cells and orders the book's own
// (book/table_cells.h), so that the table says what Kavrin Records says.
#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "book/book.h"

class AnimalsModel : public QAbstractTableModel {
public:
    explicit AnimalsModel(QObject* parent) : QAbstractTableModel(parent) {}

    void SetAnimals(std::vector<Animal> animals);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    std::vector<Animal> animals_;
    std::vector<uint32_t> order_;  // the rows as shown
};
