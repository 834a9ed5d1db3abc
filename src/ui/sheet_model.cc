#include "ui/sheet_model.h"

#include <algorithm>

#include "takeoff/sheet_layout.h"
#include "ui/qt_platform.h"

namespace veltrano {

QColor PartColor(int part) {
  switch (part) {
    case 0: return QColor(251, 239, 190);
    case 1: return QColor(218, 253, 249);
    case 2: return QColor(166, 254, 205);
    case 3: return QColor(255, 255, 150);
    case 4: return QColor(245, 199, 234);
    default: return QColor(Qt::white);
  }
}

QColor ItemRowColor(int sheet_col) {
  const int part = PartOfColumn(sheet_col);
  if (part < 0) return FillerColor();
  if (part == 1 || part == 3) return QColor(235, 235, 235);
  return QColor(Qt::white);
}

SheetModel::SheetModel(const TextGrid& sheet, QObject* parent)
    : QAbstractTableModel(parent),
      sheet_(sheet),
      rows_(kSheetRows),
      cols_(kSheetCols) {
  const std::size_t cells = static_cast<std::size_t>(rows_ * cols_);
  read_.resize(cells);
  shown_.resize(cells);
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < cols_; ++c) {
      read_[Slot(r, c)] = sheet_.At(r, c);
      shown_[Slot(r, c)] = ToQString(read_[Slot(r, c)]);
    }
  }
}

std::size_t SheetModel::Slot(int sheet_row, int sheet_col) const {
  return static_cast<std::size_t>(sheet_row * cols_ + sheet_col);
}

bool SheetModel::Sync() {
  int top = rows_, left = cols_, bottom = -1, right = -1;
  bool header_row = false;
  int first_number = rows_, last_number = -1;
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < cols_; ++c) {
      const std::string& text = sheet_.At(r, c);
      std::string& read = read_[Slot(r, c)];
      if (text == read) continue;
      read = text;
      shown_[Slot(r, c)] = ToQString(text);
      if (r == 0) {
        header_row = true;
      } else if (c == 0) {
        first_number = std::min(first_number, r);
        last_number = std::max(last_number, r);
      } else {
        top = std::min(top, r);
        bottom = std::max(bottom, r);
        left = std::min(left, c);
        right = std::max(right, c);
      }
    }
  }
  if (header_row) {
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
  }
  if (last_number >= 0) {
    emit headerDataChanged(Qt::Vertical, ModelRow(first_number),
                           ModelRow(last_number));
  }
  if (bottom >= 0) {
    emit dataChanged(index(ModelRow(top), ModelCol(left)),
                     index(ModelRow(bottom), ModelCol(right)),
                     {Qt::DisplayRole});
  }
  return header_row || last_number >= 0 || bottom >= 0;
}

int SheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_ - 1;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : cols_ - 1;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int r = SheetRow(index.row());
  const int c = SheetCol(index.column());
  switch (role) {
    case Qt::DisplayRole:
      return shown_[Slot(r, c)];
    case Qt::BackgroundRole:
      return ItemRowColor(c);
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::TextAlignmentRole:
      switch (KindOfColumn(c)) {
        case ColumnKind::kMark:
        case ColumnKind::kDeduction:
          return QVariant::fromValue(Qt::AlignCenter);
        case ColumnKind::kFormula:
        case ColumnKind::kValue:
          return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        default:
          return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
      }
    default:
      return {};
  }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation,
                                int role) const {
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= cols_ - 1) return {};
    const int c = SheetCol(section);
    switch (role) {
      case Qt::DisplayRole: return shown_[Slot(0, c)];
      case Qt::BackgroundRole: {
        const int part = PartOfColumn(c);
        return part < 0 ? FillerColor() : PartColor(part);
      }
      case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignCenter);
      default: return {};
    }
  }
  if (section < 0 || section >= rows_ - 1) return {};
  switch (role) {
    case Qt::DisplayRole: return shown_[Slot(SheetRow(section), 0)];
    case Qt::TextAlignmentRole: return QVariant::fromValue(Qt::AlignCenter);
    default: return {};
  }
}

}  // namespace veltrano
