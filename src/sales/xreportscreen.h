// The X report (frmXReport), the back office's: a till's session so far, with what each
// payment method should hold now. It tells what the closing count will be measured against,
// so it is not the counter's; each opening is recorded and the session's Z report lists it.
#pragma once

#include "shopscreen.h"
#include "tillsessions.h"

#include <memory>
#include <vector>

class QComboBox;
class SessionReportView;
class ShopSession;

class XReportScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit XReportScreen(const ShopContext &context, QWidget *parent = nullptr);

    // The sessions open now, every till's, listed again.
    void listOpenSessions();
    // "Show": the X report of the session chosen, as it stands now.
    bool showReport();
    SessionReportView *view() const { return view_; }

private:
    std::shared_ptr<ShopSession> session_;
    std::vector<TillSession> open_;
    QComboBox *sessionBox_;
    SessionReportView *view_;
};
