#include "ui/grid_model.h"

#include <QColor>
#include <utility>

#include "ui/qt_platform.h"

namespace veltrano {

GridModel::GridModel(std::function<const TextGrid&()> grid, bool header_row,
                     QObject* parent)
    : QAbstractTableModel(parent), grid_(std::move(grid)), header_row_(header_row) {
  const TextGrid& g = grid_();
  rows_ = std::max(0, g.rows() - (header_row_ ? 1 : 0));
  cols_ = g.cols();
}

void GridModel::Reset() {
  const TextGrid& g = grid_();
  const int rows = std::max(0, g.rows() - (header_row_ ? 1 : 0));
  if (rows != rows_ || g.cols() != cols_) {
    beginResetModel();
    rows_ = rows;
    cols_ = g.cols();
    endResetModel();
    return;
  }
  if (rows_ > 0 && cols_ > 0) {
    emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1), {Qt::DisplayRole});
  }
  emit headerDataChanged(Qt::Horizontal, 0, std::max(0, cols_ - 1));
}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = GridRow(index.row());
  if (role == Qt::DisplayRole) {
    return ToQString(grid_().At(row, index.column()));
  }
  if (role == Qt::TextAlignmentRole && align_) {
    return QVariant::fromValue(align_(row, index.column()) | Qt::AlignVCenter);
  }
  if (role == Qt::BackgroundRole &&
      (row < fixed_rows_ || index.column() < fixed_cols_)) {
    return QColor(224, 224, 224);
  }
  return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation,
                               int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (header_row_) return ToQString(grid_().At(0, section));
    return section < headers_.size() ? headers_[section] : QVariant();
  }
  if (first_number_ <= 0) return {};
  return QString::number(section + first_number_);
}

}  // namespace veltrano
