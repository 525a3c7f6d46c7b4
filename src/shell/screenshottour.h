// Pictures for the help document: the main window, the About box and every screen that
// the menus and toolbar open, each grabbed into a PNG named after its identifier.
#pragma once

#include <QStringList>

class MainWindow;

namespace screenshots {

// Every screen identifier of the menu and toolbar tables, each once, in table order.
QStringList shellScreenIds();

// Writes <dir>/frmMain.png, <dir>/frmAbout.png and <dir>/<screenId>.png for each registered
// screen that opens, and <dir>/<screenId>-chart.png for each report with a chart. Returns
// the files written.
QStringList takeAll(MainWindow &window, const QString &dir);

} // namespace screenshots
