// The top-sellers screen (A1A2): copies sold per ISBN over a period, summed into the scratch
// table tmp, listed in ISBN order and ranked by copies on demand. Every title sold is listed.
#pragma once

#include "shopscreen.h"

#include <memory>

class DataGrid;
class DatePicker;
class QCloseEvent;
class RecordSource;
class ShopSession;

class TopTenScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit TopTenScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "List": the period's summary, one row per ISBN in ascending ISBN order.
    void list();
    // "Rank": the summary again, most copies first.
    void rank();
    // Empties tmp (before each listing and when the window closes).
    void clearTmp();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();

    std::shared_ptr<ShopSession> session_;
    RecordSource *summary_;
    DatePicker *firstPicker_ = nullptr;
    DatePicker *lastPicker_ = nullptr;
    DataGrid *grid_ = nullptr;
    QString listedPeriod_; // the period of the last List, for the chart's title
};
