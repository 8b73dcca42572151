#pragma once
class QWidget;

// Centres a window on the screen it is about to be shown on.
void CentreOnScreen(QWidget* window);
