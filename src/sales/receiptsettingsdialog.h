// The small dialog in which the shop sets its name, the receipt's footer line, the paper, the
// currency sign and who served.
#pragma once

#include "receiptsettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

class ReceiptSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `loginName` is what "Served by" prints when no name is set.
    ReceiptSettingsDialog(const ReceiptSettings &settings, const QString &loginName,
                          QWidget *parent = nullptr);
    ReceiptSettings settings() const;

private:
    QLineEdit *shopName_;
    QLineEdit *footer_;
    QComboBox *paper_;
    QLineEdit *currency_;
    QCheckBox *printServedBy_;
    QLineEdit *servedBy_;
};
