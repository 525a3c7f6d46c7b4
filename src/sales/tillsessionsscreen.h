// The tills' sessions (frmTillSessions), newest first: when each opened and closed, by whom,
// its float. Any closed session's Z report shows again, as it was stored at its closing, to be
// printed or saved as PDF. The list is copied, exported and printed as every list is.
#pragma once

#include "shopscreen.h"

class DataGrid;
class RecordSource;
class SessionReportWindow;

class TillSessionsScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit TillSessionsScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "Z Report": the chosen session's report as stored; null when it has none yet (the
    // operator was told why).
    SessionReportWindow *showZReport();
    void refresh();
    DataGrid *grid() const { return grid_; }

private:
    RecordSource *sessions_;
    DataGrid *grid_;
};
