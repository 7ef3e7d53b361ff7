#pragma once

#include <QSize>

class QMainWindow;
class QMdiArea;
class QWidget;
struct Windows;

// Where the windows stand: the first-start arrangement, and the ways back
// to it when windows got lost (the Window menu, a start on a smaller screen).

// The working windows' first-start places, side by side from the tool
// panel: browser control, browser and palette on top; editor control, the
// editor at its start size and the tile tool below; the tilemap window over
// the browser. belowBrowser starts the lower row below the browser too: it
// may have grown since the start.
void PlaceWorkingWindows(Windows& windows, bool belowBrowser);

// The main window's client size for the arrangement as it stands, as far
// as its screen allows.
QSize ArrangementSize(QMainWindow& main, Windows& windows);

// Moves every shown child window that lies wholly or partly outside the
// working area back in (BringChildWindowsIntoView), and the main window and the shown floating windows onto their
// screens.
void BringAllWindowsIntoView(QMainWindow& main);

// The first-start arrangement again: the places, the working windows shown
// (the browser with a file open), the main window sized for them, and
// everything in view.
void ResetWindowLayout(QMainWindow& main, Windows& windows, bool fileOpen);
