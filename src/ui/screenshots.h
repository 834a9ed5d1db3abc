#ifndef VELTRANO_UI_SCREENSHOTS_H_
#define VELTRANO_UI_SCREENSHOTS_H_

#include <QString>
#include <QStringList>

namespace veltrano {

class MainForm;
class Workspace;

// Saves a picture of the main window in every mode at every display size
// ("size<S>_mode<M>.png"), and of the rooms, selection, template and name
// dialogs, into `dir`. In the takeoff modes the first room or place is shown
// and a cell editor opened, so that the pictures show a working sheet.
// Returns the files written.
QStringList SaveScreenshots(MainForm& window, Workspace& workspace,
                            const QString& dir);

}  // namespace veltrano

#endif  // VELTRANO_UI_SCREENSHOTS_H_
