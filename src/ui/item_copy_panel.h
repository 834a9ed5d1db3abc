#ifndef VELTRANO_UI_ITEM_COPY_PANEL_H_
#define VELTRANO_UI_ITEM_COPY_PANEL_H_

#include <QGroupBox>
#include <array>
#include <cstdint>

#include "takeoff/item_copy.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace veltrano {

// The item copy panel Frame_List "【項目複写元データ】" beside the sheet: the
// three sources, the choice box, "読込開始", the five source lists, the part
// options and "実行" / "閉じる". It shows the ItemCopy object and sends
// every event to it.
class ItemCopyPanel : public QGroupBox {
  Q_OBJECT

 public:
  explicit ItemCopyPanel(ItemCopy& copy, QWidget* parent = nullptr);

  void Refresh(bool force = false);

 signals:
  // The sheet may have changed (items copied).
  void changed();

 private:
  void Changed();

  ItemCopy& copy_;
  std::array<QRadioButton*, 3> sources_{};           // Bunrui(0..2)
  QComboBox* choice_ = nullptr;                      // Combo1
  QPushButton* read_ = nullptr;                      // SaiYomikomiBtn
  QLabel* header_ = nullptr;                         // Label5
  std::array<QListWidget*, kParts> lists_{};         // InputList(0..4)
  std::array<QRadioButton*, kParts> parts_{};        // CopyBui(0..4)
  bool syncing_ = false;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
};

}  // namespace veltrano

#endif  // VELTRANO_UI_ITEM_COPY_PANEL_H_
