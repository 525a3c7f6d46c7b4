// The X report of an open session.
#include "xreportscreen.h"

#include "clock.h"
#include "conversions.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "screenheading.h"
#include "screenids.h"
#include "sessionreportview.h"
#include "shopsession.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

XReportScreen::XReportScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::XReport, QStringLiteral("X Report"), QSize(620, 760), parent),
      session_(ShopSession::open(context.shop)), sessionBox_(named<QComboBox>("cboSession", this)),
      view_(named<SessionReportView>("viewReport", *context.messages, this)) {
    QLabel *heading = screenHeading(QStringLiteral("Label1"),
                                    QStringLiteral("X Report: a session so far"), this, 1.4, false);
    auto *caption = named<QLabel>("lblSession", QStringLiteral("&Session:"), this);
    caption->setBuddy(sessionBox_);
    sessionBox_->setMinimumWidth(320);
    auto *show = stepButton("cmdShow", QStringLiteral("S&how"), this, [this] { showReport(); });
    show->setDefault(true);
    auto *again = stepButton("cmdRefresh", QStringLiteral("&Refresh"), this,
                             &XReportScreen::listOpenSessions);
    connect(sessionBox_, &QComboBox::activated, this, [this] { showReport(); });

    auto *row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(sessionBox_, 1);
    row->addWidget(show);
    row->addWidget(again);
    QHBoxLayout *bottom = buttonRow({rowStretch, closeButton()});
    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addLayout(row);
    page->addWidget(view_, 1);
    page->addLayout(bottom);
    setFocusProxy(sessionBox_);
    listOpenSessions();
}

void XReportScreen::listOpenSessions() {
    open_.clear();
    sessionBox_->clear();
    policy::reportOnError(*context_.messages,
                          [this] { open_ = shop::openSessions(session_->connection()); });
    for (const TillSession &session : open_)
        sessionBox_->addItem(QStringLiteral("%1, session %2, opened %3 by %4")
                                 .arg(session.tillName)
                                 .arg(session.id)
                                 .arg(conv::momentText(session.opened), session.openedBy));
    if (open_.empty())
        sessionBox_->setPlaceholderText(QStringLiteral("no till has a session open"));
}

bool XReportScreen::showReport() {
    const int index = sessionBox_->currentIndex();
    if (index < 0 || index >= static_cast<int>(open_.size())) {
        context_.messages->inform(QStringLiteral("No till has a session open now: an X report is "
                                                 "of a session that is open."));
        return false;
    }
    const QDateTime now = context_.clock->now();
    return policy::reportOnError(*context_.messages, [&] {
        view_->setReport(shop::xReport(*session_, open_[static_cast<std::size_t>(index)].id, now),
                         now);
    });
}
