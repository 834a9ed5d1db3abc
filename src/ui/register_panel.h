#ifndef VELTRANO_UI_REGISTER_PANEL_H_
#define VELTRANO_UI_REGISTER_PANEL_H_

#include <QGroupBox>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "fittings/register.h"

class QLabel;
class QTableView;

namespace veltrano {

class GridModel;

// A box of the register panel: Enter and Delete are its keys.
class RegisterBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit RegisterBox(QWidget* parent = nullptr) : QLineEdit(parent) {}

 signals:
  void enterPressed();
  void deletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The panel "《建具登録》" (Frame_TateguList) of mode 3: the code, W and H
// boxes, the commands of the register and the register table TateguGrid.
// It shows the fittings register and sends every event to it.
class RegisterPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit RegisterPanel(FittingsRegister& reg, QWidget* parent = nullptr);

  // Shows the register when it changed since the last time, or `force`.
  void Refresh(bool force = false);
  void ApplyDisplayScale(double scale, double dpi);

 private:
  void Changed();

  FittingsRegister& reg_;
  std::array<RegisterBox*, 3> boxes_{};  // InpText(0..2)
  QLabel* info_ = nullptr;               // Info
  QTableView* table_ = nullptr;          // TateguGrid
  GridModel* model_ = nullptr;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
};

}  // namespace veltrano

#endif  // VELTRANO_UI_REGISTER_PANEL_H_
