#pragma once

class QMessageBox;
class QWidget;

// The alert that asks for a restart after the taskbar entry was turned off: "Restart" is the
// first button and the default, "Cancel" the other.
namespace RestartAlert {
QMessageBox *make(QWidget *parent = nullptr);
// Shows the alert modally; true when the user chose "Restart".
bool ask();
} // namespace RestartAlert
