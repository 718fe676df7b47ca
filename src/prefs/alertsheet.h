#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace AlertSheet {
// Shows a warning over the widget's window without waiting for it (objectName "alert"); it
// closes itself when dismissed.
QMessageBox *show(QWidget *parent, const QString &text, const QString &informativeText = QString());
} // namespace AlertSheet
