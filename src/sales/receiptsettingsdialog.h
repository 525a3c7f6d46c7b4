// The small dialog in which the shop sets its name, the receipt's footer line and the paper.
#pragma once

#include "receiptsettings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

class ReceiptSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReceiptSettingsDialog(const ReceiptSettings &settings, QWidget *parent = nullptr);
    ReceiptSettings settings() const;

private:
    QLineEdit *shopName_;
    QLineEdit *footer_;
    QComboBox *paper_;
};
