// The list of the tills' sessions and their stored Z reports.
#include "tillsessionsscreen.h"

#include "clock.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "sessionreportwindow.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "tillsessions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace tables;

TillSessionsScreen::TillSessionsScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::TillSessions, QStringLiteral("Till Sessions"), QSize(820, 480),
                 parent),
      sessions_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    sessions_->open(
        selectAll(tillsessions::table, orderBy(tillsessions::Session) + QStringLiteral(" desc")));
    QLabel *heading = titleHeading();
    grid_ = listGrid(sessions_,
                     {{tillsessions::Session, QStringLiteral("Session")},
                      {tillsessions::Till, QStringLiteral("Till")},
                      {tillsessions::Opened, QStringLiteral("Opened")},
                      {tillsessions::OpenedBy, QStringLiteral("Opened by")},
                      {tillsessions::OpeningFloat, QStringLiteral("Float")},
                      {tillsessions::Closed, QStringLiteral("Closed")},
                      {tillsessions::ClosedBy, QStringLiteral("Closed by")}},
                     QStringLiteral("Sessions"), this);
    grid_->setCaption(QStringLiteral(
        "Choose a closed session and press Enter (or Z Report) to see and print its Z report."));

    auto *report =
        stepButton("cmdZReport", QStringLiteral("&Z Report..."), this, [this] { showZReport(); });
    report->setDefault(true);
    QHBoxLayout *buttons = buttonRow(
        {report,
         stepButton("cmdRefresh", QStringLiteral("&Refresh"), this, &TillSessionsScreen::refresh),
         rowStretch, closeButton()});
    connect(grid_->view(), &QAbstractItemView::activated, this, [this] { showZReport(); });

    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(grid_, 1);
    page->addLayout(buttons);
    setFocusProxy(grid_->view());
}

void TillSessionsScreen::refresh() {
    policy::reportOnError(*context_.messages, [this] { sessions_->requery(); });
}

SessionReportWindow *TillSessionsScreen::showZReport() {
    if (!sessions_->hasCurrentRow()) {
        context_.messages->inform(QStringLiteral("Choose a session in the list first."));
        return nullptr;
    }
    const qint64 id = sessions_->value(tillsessions::Session).toLongLong();
    if (sessions_->value(tillsessions::Closed).isNull()) {
        context_.messages->inform(
            QStringLiteral("Session %1 is still open: its Z report is made when the till closes "
                           "it. An X report (Sale > X Report) shows it so far.")
                .arg(id));
        return nullptr;
    }
    SessionReportWindow *window = nullptr;
    policy::reportOnError(*context_.messages, [&] {
        const SessionReport report = shop::zReport(sessions_->connection(), id);
        window = new SessionReportWindow(report, context_.clock->now(), *context_.messages, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });
    return window;
}
