// Reading and writing the receipt's settings, section "Receipt" of the program's store.
#include "receiptsettings.h"

#include <QSettings>

ReceiptSettings ReceiptSettings::load() {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillmart"),
                       QStringLiteral("Quillmart"));
    settings.beginGroup(QStringLiteral("Receipt"));
    ReceiptSettings result;
    result.shopName = settings.value(QStringLiteral("ShopName")).toString();
    result.footer = settings.value(QStringLiteral("Footer")).toString();
    result.paper = receipt::paperFromName(settings.value(QStringLiteral("Paper")).toString());
    result.currency = settings.value(QStringLiteral("Currency")).toString();
    result.servedBy = settings.value(QStringLiteral("ServedBy")).toString();
    result.printServedBy = settings.value(QStringLiteral("PrintServedBy"), true).toBool();
    return result;
}

void ReceiptSettings::save() const {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillmart"),
                       QStringLiteral("Quillmart"));
    settings.beginGroup(QStringLiteral("Receipt"));
    settings.setValue(QStringLiteral("ShopName"), shopName);
    settings.setValue(QStringLiteral("Footer"), footer);
    settings.setValue(QStringLiteral("Paper"), receipt::paperName(paper));
    settings.setValue(QStringLiteral("Currency"), currency);
    settings.setValue(QStringLiteral("ServedBy"), servedBy);
    settings.setValue(QStringLiteral("PrintServedBy"), printServedBy);
    settings.sync();
}
