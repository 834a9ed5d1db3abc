#ifndef VELTRANO_UI_SETTINGS_PANEL_H_
#define VELTRANO_UI_SETTINGS_PANEL_H_

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QShowEvent;

namespace veltrano {

class Importer;
class ItemTemplates;
class Settings;
class TemplatesDialog;

// The settings panel of mode 4 ("《設定》"): every control of the settings
// files, the list editors, the company names, "設定保存", the section that
// takes in the rooms and places of another project, and "登録・編集", which
// opens the template dialog. It shows the settings and the import, and every
// event goes to their operations.
//
// The widgets carry the names of the controls they stand for
// ("TateguSet(0)", "HinagataSaveList(5)", "Command9", ...).
class SettingsPanelWidget : public QWidget {
  Q_OBJECT

 public:
  SettingsPanelWidget(Settings& settings, Importer& importer,
                      ItemTemplates& templates, QWidget* parent = nullptr);

  // Shows the settings and the import in the controls, when they changed
  // since the last time or `force` is set (after start-up, and whenever the
  // panel is shown).
  void Refresh(bool force = false);

  // Scales fonts and sizes for the display sizes 小, 中, 大 (1.0, 1.15, 1.3
  // or whatever the main window uses).
  void SetDisplayScale(double scale);
  double display_scale() const { return scale_; }

  // The template dialog while it is open.
  TemplatesDialog* templates_dialog() const;

 protected:
  // The panel shows the current settings whenever it is shown.
  void showEvent(QShowEvent* event) override;

 signals:
  // "実行" took rooms or places into the open project: the room lists of the
  // project changed and no room of an imported side is shown any more.
  void RoomsImported();

 private:
  // One list with its text box, "↓追加" and "削除": the six candidate lists,
  // the work types and the units.
  struct ListEditor {
    QWidget* column = nullptr;
    QLabel* caption = nullptr;
    QLineEdit* box = nullptr;
    QListWidget* list = nullptr;
    QPushButton* add_button = nullptr;
    QPushButton* delete_button = nullptr;
    int box_kind = 0;   // a Settings::Box
    int box_index = 0;
    std::function<const std::vector<std::string>&()> items;
    std::function<void(int)> choose;
  };
  // A widget whose size follows the display scale.
  struct ScaledSize {
    QWidget* widget;
    int width;   // 0: not fixed
    int height;  // 0: not fixed
  };

  QWidget* BuildOffsets();
  QWidget* BuildCandidates();
  QWidget* BuildListEditor(QWidget* parent, const QString& caption,
                           const QString& box_name, const QString& add_name,
                           const QString& add_text, const QString& delete_name,
                           const QString& list_name, ListEditor editor,
                           std::function<void()> add,
                           std::function<void()> remove);
  QWidget* BuildMoneyRounding();
  QWidget* BuildPrint();
  QWidget* BuildDigits();
  QWidget* BuildImport();
  QWidget* BuildSaving();
  QWidget* BuildTemplates();

  // Makes `box` pass every edit through the settings typing check into the
  // settings box it stands for.
  void ConnectSettingsBox(QLineEdit* box, int kind, int index);
  const std::string& EntryOf(const ListEditor& editor) const;
  void ChooseListItem(std::size_t editor, int row);
  void ChooseCompanyNameAt(int index);
  void ImportRooms();
  void OpenTemplatesDialog();
  void RefreshImport();
  void Scale(QWidget* widget, int width, int height);
  void ApplySizes();

  Settings& settings_;
  Importer& importer_;
  ItemTemplates& templates_;
  std::uint64_t shown_revision_ = ~std::uint64_t{0};
  double scale_ = 1.0;
  QFont base_font_;
  QWidget* content_ = nullptr;
  std::vector<ScaledSize> sizes_;
  bool refreshing_ = false;

  std::array<QLineEdit*, 6> offsets_{};  // TateguSet(0..5)
  std::vector<ListEditor> editors_;   // 0-5 candidates, 6 work types, 7 units
  QWidget* saving_column_ = nullptr;  // "<<金額端数>>", SaveCh, Command9
  QWidget* money_rounding_box_ = nullptr;          // "<<金額端数>>"
  QButtonGroup* money_rounding_ = nullptr;         // Hasu(0..2)
  QCheckBox* print_project_name_ = nullptr;        // Check3(1)
  QButtonGroup* project_name_position_ = nullptr;  // Option1(0..5)
  QCheckBox* print_company_name_ = nullptr;        // Check3(0)
  QLineEdit* company_name_ = nullptr;              // Text4
  QButtonGroup* company_name_position_ = nullptr;  // Option2(0..2)
  QComboBox* company_names_ = nullptr;             // KouhoCmb
  QButtonGroup* digits_ = nullptr;                 // Option3(0..2)
  QCheckBox* save_on_switch_ = nullptr;            // SaveCh
  QLabel* recovery_caption_ = nullptr;
  QLineEdit* recovery_seconds_ = nullptr;          // RecoveryText
  QLineEdit* import_source_ = nullptr;             // FileSentakuText
  std::array<QCheckBox*, 2> import_sides_{};       // TorikomiSyubetu(0..1)
  QLabel* import_status_ = nullptr;                // Label20(2)
  QPointer<TemplatesDialog> templates_dialog_;     // InputForm
};

}  // namespace veltrano

#endif  // VELTRANO_UI_SETTINGS_PANEL_H_
