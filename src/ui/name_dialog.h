#ifndef VELTRANO_UI_NAME_DIALOG_H_
#define VELTRANO_UI_NAME_DIALOG_H_

#include <QDialog>

#include "project/session.h"

class QPushButton;

namespace veltrano {

// The name dialog `HozonForm` ("新規作成・保存") that "新規作成" opens: create
// a new project, or save the open one under another name (offered only
// while a project is open). Either button runs its operation and closes
// the dialog.
class NameDialog : public QDialog {
  Q_OBJECT

 public:
  explicit NameDialog(ProjectSession& session, QWidget* parent = nullptr);

 private:
  ProjectSession& session_;
};

}  // namespace veltrano

#endif  // VELTRANO_UI_NAME_DIALOG_H_
