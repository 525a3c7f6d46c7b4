// The report of a session: paper, preview, Print and PDF.
#include "sessionreportview.h"

#include "counterbox.h"
#include "messageboxes.h"
#include "receiptsettings.h"
#include "screenheading.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

SessionReportView::SessionReportView(MessageBoxes &messages, QWidget *parent)
    : QWidget(parent), messages_(messages),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    const ReceiptSettings settings = ReceiptSettings::load();
    printed_.shopName = settings.shopName;
    printed_.currency =
        settings.currency.isEmpty() ? QLocale().currencySymbol() : settings.currency;
    paper_ = named<QComboBox>("cboPaper", this);
    paper_->addItems(receipt::paperNames());
    paper_->setCurrentText(receipt::paperName(settings.paper));
    QLabel *paperCaption = captionFor(QStringLiteral("Pa&per:"), paper_, this);
    print_ =
        stepButton("cmdPrint", QStringLiteral("&Print..."), this, &SessionReportView::printReport);
    print_->setToolTip(QStringLiteral("Print the report (Ctrl+P)"));
    pdf_ = stepButton("cmdPdf", QStringLiteral("Save as P&DF..."), this,
                      &SessionReportView::saveAsPdf);
    preview_ = named<QPrintPreviewWidget>("previewReport", printer_.get(), this);
    preview_->setZoomMode(QPrintPreviewWidget::FitToWidth);

    QHBoxLayout *top = buttonRow({paperCaption, paper_, rowStretch, print_, pdf_});
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addLayout(top);
    page->addWidget(preview_, 1);

    connect(preview_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *target) {
        if (hasReport_)
            sessionprint::print(printed_, *target, paper());
    });
    connect(paper_, &QComboBox::currentIndexChanged, preview_, &QPrintPreviewWidget::updatePreview);
    counterbox::onKey(this, QKeySequence::Print, this, [this] { printReport(); });
    print_->setEnabled(false);
    pdf_->setEnabled(false);
}

SessionReportView::~SessionReportView() = default;

void SessionReportView::setReport(const SessionReport &report, const QDateTime &printed) {
    printed_.report = report;
    printed_.printed = printed;
    hasReport_ = true;
    printer_->setDocName(sessionprint::title(report));
    preview_->setAccessibleName(sessionprint::title(report));
    print_->setEnabled(true);
    pdf_->setEnabled(true);
    preview_->updatePreview();
}

receipt::Paper SessionReportView::paper() const {
    return receipt::paperFromName(paper_->currentText());
}

void SessionReportView::choosePaper(receipt::Paper paper) {
    paper_->setCurrentText(receipt::paperName(paper));
}

void SessionReportView::printReport() {
    if (!hasReport_)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(printer_->docName());
    receipt::setPaper(printer, paper());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        sessionprint::print(printed_, printer, paper());
}

void SessionReportView::saveAsPdf() {
    if (!hasReport_)
        return;
    const QString suggested =
        QStringLiteral("%1 %2 session %3.pdf")
            .arg(sessionprint::title(printed_.report), printed_.report.session.tillName)
            .arg(printed_.report.session.id);
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"),
                                                      suggested, QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty())
        savePdfTo(path);
}

bool SessionReportView::savePdfTo(const QString &path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(printer_->docName());
    if (sessionprint::print(printed_, printer, paper()) > 0)
        return true;
    messages_.inform(QStringLiteral("The report could not be saved as \"%1\". Choose a folder "
                                    "you may write to.")
                         .arg(QDir::toNativeSeparators(path)));
    return false;
}
