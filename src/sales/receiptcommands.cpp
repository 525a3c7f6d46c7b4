// The receipt commands: actions on the screen, the print preview and the settings dialog.
#include "receiptcommands.h"

#include "messageboxes.h"
#include "printpreview.h"
#include "receiptprint.h"
#include "receiptsettingsdialog.h"
#include "screenheading.h"
#include "shoplocation.h"

#include <QAction>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

ReceiptCommands::ReceiptCommands(QWidget *screen, const ShopContext &context, Source source)
    : QObject(screen), screen_(screen), context_(context), source_(std::move(source)),
      print_(named<QAction>("printReceipt", QStringLiteral("&Print Receipt..."), screen)),
      settings_(named<QAction>("receiptSettings", QStringLiteral("Receipt &Settings..."), screen)) {
    setObjectName(QStringLiteral("receiptCommands"));
    print_->setShortcut(QKeySequence::Print);
    // Only while this window (or a box in it) has the focus: each window prints its customer.
    print_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    screen->addAction(print_);
    screen->addAction(settings_);
    screen->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(print_, &QAction::triggered, this, [this] { printReceipt(); });
    connect(settings_, &QAction::triggered, this, &ReceiptCommands::editSettings);
}

Receipt ReceiptCommands::receiptToPrint() const {
    Receipt receipt = source_();
    const ReceiptSettings settings = ReceiptSettings::load();
    receipt.shopName = settings.shopName;
    receipt.footer = settings.footer;
    receipt.currency = settings.currency.isEmpty() ? QLocale().currencySymbol() : settings.currency;
    if (settings.printServedBy)
        receipt.servedBy = settings.servedBy.isEmpty()
                               ? shoplocation::loginName(context_.shop.location())
                               : settings.servedBy;
    return receipt;
}

QPrintPreviewDialog *ReceiptCommands::printReceipt() {
    const Receipt receipt = receiptToPrint();
    if (receipt.lines.empty()) {
        context_.messages->inform(
            QStringLiteral("The customer's list is empty: there is no receipt to print yet."));
        return nullptr;
    }
    const receipt::Paper paper = ReceiptSettings::load().paper;
    auto *printer = new QPrinter(QPrinter::HighResolution);
    receipt::setPaper(*printer, paper);
    printer->setDocName(QStringLiteral("Receipt"));
    // What the preview shows and prints is the receipt of the moment it opened.
    return printpreview::show(
        named<QPrintPreviewDialog>("receiptPreview", printer, screen_->window()),
        QStringLiteral("Receipt"), QSize(640, 720),
        [receipt, paper](QPrinter *target) { receipt::print(receipt, *target, paper); }, printer);
}

void ReceiptCommands::editSettings() {
    ReceiptSettingsDialog dialog(ReceiptSettings::load(),
                                 shoplocation::loginName(context_.shop.location()),
                                 screen_->window());
    if (dialog.exec() == QDialog::Accepted)
        dialog.settings().save();
}
