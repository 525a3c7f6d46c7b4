// The selling screen's receipt commands: "Print Receipt" (Ctrl+P while the screen is active,
// and in its context menu) and "Receipt Settings".
#pragma once

#include "receipt.h"
#include "shopcontext.h"

#include <QObject>
#include <functional>

class QAction;
class QPrintPreviewDialog;
class QWidget;

class ReceiptCommands : public QObject {
    Q_OBJECT
public:
    using Source = std::function<Receipt()>;
    // Adds the commands to the screen; `source` tells the customer's receipt as it stands.
    ReceiptCommands(QWidget *screen, const ShopContext &context, Source source);

    // Opens the print preview of the receipt as it stands now (nothing when the list is
    // empty: the operator is told so). Printing reads only; the list and the shop stay as
    // they are.
    QPrintPreviewDialog *printReceipt();
    void editSettings();
    // The receipt with the shop's name, footer, currency sign and who served, from the
    // settings.
    Receipt receiptToPrint() const;

    QAction *printAction() const { return print_; }
    QAction *settingsAction() const { return settings_; }

private:
    QWidget *screen_;
    ShopContext context_;
    Source source_;
    QAction *print_;
    QAction *settings_;
};
