#pragma once

class QMdiArea;
class QWidget;

// Child windows live inside an MDI frame; showing or hiding one means its
// frame. A window without a frame (as in tests) is shown or hidden itself.
QWidget* ChildFrame(QWidget* window);
void SetChildVisible(QWidget* window, bool visible);
bool IsChildVisible(const QWidget* window);
// Shows a child window and brings it to the front of the working area.
void BringChildForward(QWidget* window);

// Moves every shown child window that lies wholly or partly outside the
// working area's visible part back in, moved as little as possible.
void BringChildWindowsIntoView(QMdiArea& area);
