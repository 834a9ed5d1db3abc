#ifndef VELTRANO_UI_GRID_MODEL_H_
#define VELTRANO_UI_GRID_MODEL_H_

#include <QAbstractTableModel>
#include <QString>
#include <functional>

#include "calc/grid.h"

namespace veltrano {

// A table of the core (a TextGrid) for a QTableView, read-only. Row 0 of
// the grid, when `header_row` is set, is the horizontal header and the
// cells are rows 1 on; otherwise every row is a cell row. The view is told
// of changes by Reset(), which its panel calls when the object that owns
// the table has changed: nothing is compared.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  GridModel(std::function<const TextGrid&()> grid, bool header_row,
            QObject* parent = nullptr);

  // The grid may have changed in size or content.
  void Reset();
  int GridRow(int model_row) const { return model_row + (header_row_ ? 1 : 0); }

  // Texts of the headers when the grid has no header row, and row numbers
  // in the vertical header from `first_number` (0: none).
  void SetHeaders(QStringList headers) { headers_ = std::move(headers); }
  void SetRowNumbers(int first_number) { first_number_ = first_number; }
  // The heading rows and columns of a summary table, drawn as fixed cells.
  void SetFixedCells(int rows, int cols) {
    fixed_rows_ = rows;
    fixed_cols_ = cols;
  }
  // The alignment of the cell at a grid row and column.
  void SetAlignment(std::function<Qt::Alignment(int row, int col)> align) {
    align_ = std::move(align);
  }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;

 private:
  std::function<const TextGrid&()> grid_;
  bool header_row_;
  QStringList headers_;
  int first_number_ = 1;
  int fixed_rows_ = 0;
  int fixed_cols_ = 0;
  std::function<Qt::Alignment(int, int)> align_;
  int rows_ = 0;
  int cols_ = 0;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_GRID_MODEL_H_
