#pragma once

class QWidget;

// Child windows live inside an MDI frame; showing or hiding one means its
// frame. A window without a frame (as in tests) is shown or hidden itself.
QWidget* ChildFrame(QWidget* window);
void SetChildVisible(QWidget* window, bool visible);
bool IsChildVisible(const QWidget* window);
