#pragma once

class QDialog;
class QFormLayout;
class QSpinBox;
class QWidget;

// Pieces of the small modal forms (block layout, replace color).

// A spin box with an object name, so that tests find it.
QSpinBox* NamedSpinBox(int value, int minimum, int maximum, QWidget* parent, const char* name);

// Ends the form with OK and Cancel and runs the dialog; true on OK.
bool ExecWithOkCancel(QDialog& dialog, QFormLayout& form);
