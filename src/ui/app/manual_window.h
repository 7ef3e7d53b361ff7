#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;
struct Windows;

// The user's manual (docs/manual.md) in a window of its own beside the main
// window, drawn from its markdown; no outside program is needed.
class ManualWindow : public QWidget {
    Q_OBJECT

public:
    ManualWindow(QWidget* parent, const QString& markdown, const QString& folder);

    QTextBrowser* Text;
};

// Where the manual is looked for, in order: the installed copy beside the
// program's prefix, then the source tree the program was built from.
QStringList ManualPaths();

// Shows the manual window, made on first use; when no copy of the manual
// can be read, says where it was looked for.
void ShowManual(Windows& windows);
