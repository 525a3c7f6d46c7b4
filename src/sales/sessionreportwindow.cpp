// The window of a session's report.
#include "sessionreportwindow.h"

#include "sessionreportview.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

SessionReportWindow::SessionReportWindow(const SessionReport &report, const QDateTime &printed,
                                         MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), view_(new SessionReportView(messages, this)) {
    setObjectName(report.stored ? QStringLiteral("dlgZReport") : QStringLiteral("dlgXReport"));
    setWindowTitle(QStringLiteral("%1: %2, session %3")
                       .arg(sessionprint::title(report), report.session.tillName)
                       .arg(report.session.id));
    view_->setReport(report, printed);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *page = new QVBoxLayout(this);
    page->addWidget(view_, 1);
    page->addWidget(buttons);
    view_->printButton()->setDefault(true);
    view_->printButton()->setFocus();
    resize(560, 760);
}
