#pragma once

class QApplication;
class QTMain;

// Shows the main window, and ends the application's event loop once its last window has closed.
void showMainWindow(QApplication& app, QTMain& window);
