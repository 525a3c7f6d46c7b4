// The real message boxes: modal QMessageBox over the main window.
#include "messageboxes.h"

#include <QMessageBox>

namespace {

QString titleOr(const QString &title) {
    return title.isEmpty() ? QString::fromLatin1(applicationTitle()) : title;
}

} // namespace

void WidgetMessageBoxes::inform(const QString &text, Icon icon, const QString &title,
                                const QString &details) {
    const auto qtIcon = icon == Icon::Information ? QMessageBox::Information
                        : icon == Icon::Warning   ? QMessageBox::Warning
                        : icon == Icon::Critical  ? QMessageBox::Critical
                                                  : QMessageBox::NoIcon;
    QMessageBox box(qtIcon, titleOr(title), text, QMessageBox::Ok, parent_);
    box.setDetailedText(details);
    box.exec();
}

bool WidgetMessageBoxes::confirm(const QString &text, const QString &title,
                                 const QString &details) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setDetailedText(details);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}
