// The help command and the desktop's document viewer behind it.
#include "helpcommand.h"

#include "messageboxes.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

HelpCommand::HelpCommand(QString helpFile, Viewer viewer, MessageBoxes &messages)
    : helpFile_(std::move(helpFile)), viewer_(std::move(viewer)), messages_(messages) {}

HelpCommand::Viewer HelpCommand::desktopViewer() {
    return [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

void HelpCommand::run() const {
    if (helpFile_.isEmpty()) {
        messages_.inform(QString::fromUtf8("無法顯示說明內容，無與此專案相關的說明。"),
                         MessageBoxes::Icon::Information, QLatin1String(applicationTitle()));
        return;
    }
    // The desktop's viewer does not always say when a document is missing; tell the
    // operator ourselves rather than let the command pass in silence.
    if (!QFileInfo(helpFile_).isFile()) {
        messages_.inform(QStringLiteral("The help document %1 could not be found.").arg(helpFile_));
        return;
    }
    if (!viewer_ || !viewer_(helpFile_))
        messages_.inform(
            QStringLiteral("The help viewer could not be started for %1.").arg(helpFile_));
}
