#ifndef VELTRANO_UI_NAME_LISTS_H_
#define VELTRANO_UI_NAME_LISTS_H_

#include <QString>
#include <QWidget>
#include <string>
#include <vector>

class QListWidget;

namespace veltrano {

// Two lists side by side, as the selection and print dialogs have them:
// the rooms or places to choose from, List1(0), several at once with Ctrl;
// the names chosen, List1(1); and between them "全選択", "⇒" and "クリア",
// named `buttons`(0..2). With `removable`, names chosen can be selected
// too and taken out again with "⇐", `buttons`(3).
class NameListsWidget : public QWidget {
  Q_OBJECT

 public:
  NameListsWidget(const QString& left_caption, const QString& right_caption,
                  const QString& buttons, QWidget* parent = nullptr,
                  bool removable = false);
  void Show(const std::vector<std::string>& left, const std::vector<std::string>& right);

 signals:
  void selectAllPressed();
  // "⇒" with the positions selected in the left list.
  void addPressed(const std::vector<int>& positions);
  void clearPressed();
  // "⇐" with the positions selected in the right list.
  void removePressed(const std::vector<int>& positions);

 private:
  QListWidget* left_ = nullptr;
  QListWidget* right_ = nullptr;
};

// Sends the three buttons of `lists` to a dialog object with SelectAll,
// AddSelected and ClearSelection, then calls `changed`.
template <typename Chooser, typename Changed>
void ConnectNameLists(NameListsWidget* lists, QObject* context, Chooser& chooser,
                      Changed changed) {
  QObject::connect(lists, &NameListsWidget::selectAllPressed, context, [&chooser, changed] {
    chooser.SelectAll();
    changed();
  });
  QObject::connect(lists, &NameListsWidget::addPressed, context,
                   [&chooser, changed](const std::vector<int>& at) {
                     chooser.AddSelected(at);
                     changed();
                   });
  QObject::connect(lists, &NameListsWidget::clearPressed, context, [&chooser, changed] {
    chooser.ClearSelection();
    changed();
  });
}

}  // namespace veltrano

#endif  // VELTRANO_UI_NAME_LISTS_H_
