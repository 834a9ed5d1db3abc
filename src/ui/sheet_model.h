#ifndef VELTRANO_UI_SHEET_MODEL_H_
#define VELTRANO_UI_SHEET_MODEL_H_

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <string>
#include <vector>

#include "calc/grid.h"

namespace veltrano {

// The colour of each part (床, 巾木, 壁, 天井, 雑): the header cells of its
// block on a takeoff sheet and its item list.
QColor PartColor(int part);
// Item rows of the 巾木 and 天井 blocks are light grey, so blocks alternate.
QColor ItemRowColor(int sheet_col);
inline QColor FillerColor() { return QColor(128, 128, 128); }

// A takeoff sheet of the workspace as a table for a QTableView. Row 0 of the
// sheet (the header texts) is the horizontal header and column 0 (the row
// numbers) the vertical header; the cells are sheet rows 1..50 and columns
// 1..28, so model (r, c) is sheet (r + 1, c + 1).
//
// The model reads the sheet only in Sync(): it keeps the texts it last read
// and reports the cells that changed since then, so that a view repaints
// what changed and nothing is rebuilt.
class SheetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  SheetModel(const TextGrid& sheet, QObject* parent = nullptr);

  static int SheetRow(int model_row) { return model_row + 1; }
  static int SheetCol(int model_col) { return model_col + 1; }
  static int ModelRow(int sheet_row) { return sheet_row - 1; }
  static int ModelCol(int sheet_col) { return sheet_col - 1; }

  // Reads the sheet again and signals the cells and headers that changed.
  // Returns whether anything changed.
  bool Sync();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role) const override;

 private:
  std::size_t Slot(int sheet_row, int sheet_col) const;

  const TextGrid& sheet_;
  int rows_;
  int cols_;
  std::vector<std::string> read_;  // the sheet's texts as last read
  std::vector<QString> shown_;     // the same, for the view
};

}  // namespace veltrano

#endif  // VELTRANO_UI_SHEET_MODEL_H_
