// The restore command of the main window: pick, confirm, close the screens, restore.
#include "restorecommand.h"

#include "backupscheduler.h"
#include "cancelled.h"
#include "clock.h"
#include "commitgate.h"
#include "conversions.h"
#include "driver.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "screenheading.h"
#include "shopbackups.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

RestoreCommand::RestoreCommand(MainWindow &window, BackupScheduler &scheduler,
                               MessageBoxes &messages, const Clock &clock)
    : QObject(&window), window_(window), scheduler_(scheduler), messages_(messages), clock_(clock) {
}

QString RestoreCommand::choose() {
    const ShopBackups backups(window_.context().shop.localFile().value_or(QString()));
    const std::vector<BackupEntry> entries = backups.entries();
    if (entries.empty()) {
        messages_.inform(
            QStringLiteral("There is no backup of the shop in %1.").arg(backups.folder()));
        return QString();
    }
    QDialog dialog(&window_);
    dialog.setObjectName(QStringLiteral("dlgRestore"));
    dialog.setWindowTitle(QStringLiteral("Restore a Backup"));
    auto *intro = new QLabel(QStringLiteral("Backups of %1, newest first. The one you choose is "
                                            "checked before it replaces the shop file; the file "
                                            "as it is now is kept beside it.")
                                 .arg(backups.databasePath()),
                             &dialog);
    intro->setWordWrap(true);
    auto *table = named<QTableWidget>("backupList", static_cast<int>(entries.size()), 5, &dialog);
    table->setAccessibleName(QStringLiteral("Backups"));
    table->setHorizontalHeaderLabels({QStringLiteral("Taken"), QStringLiteral("Sales"),
                                      QStringLiteral("Titles"), QStringLiteral("Size"),
                                      QStringLiteral("Version")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < table->rowCount(); ++row) {
        const BackupEntry &entry = entries[static_cast<std::size_t>(row)];
        const QStringList cells = {
            conv::momentText(entry.facts.taken), backupfile::countText(entry.facts.sales),
            backupfile::countText(entry.facts.titles),
            QLocale::system().formattedDataSize(entry.fileBytes),
            entry.beforeUpgrade ? QStringLiteral("%1, before its upgrade").arg(entry.facts.version)
                                : QString::number(entry.facts.version)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->resizeColumnsToContents();
    table->selectRow(0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    QPushButton *restore =
        buttons->addButton(QStringLiteral("Restore"), QDialogButtonBox::AcceptRole);
    restore->setObjectName(QStringLiteral("cmdRestore"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(intro);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(560, 400);
    if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0)
        return QString();
    return entries[static_cast<std::size_t>(table->currentRow())].path;
}

void RestoreCommand::run() {
    const QString backup = choose();
    if (backup.isEmpty())
        return;
    const ShopDatabase &shop = window_.context().shop;
    const QString path = shop.localFile().value_or(QString());
    if (!messages_.confirm(QStringLiteral("Put the backup %1 in place of the shop file?\n\nEvery "
                                          "screen is closed first. The shop file as it is now is "
                                          "kept beside it under a dated name; nothing is deleted. "
                                          "What was entered after the backup was taken must be "
                                          "entered again.")
                               .arg(QFileInfo(backup).fileName())))
        return;
    if (!window_.closeAllScreens()) {
        messages_.inform(QStringLiteral("A screen could not be closed; nothing was restored."));
        return;
    }
    // The closed screens' connections are kept for the next screens: none may stay open on
    // the file put aside.
    if (const std::shared_ptr<ShopState> kept = shop.driverState())
        kept->closeIdle();
    scheduler_.disable();
    QProgressDialog progress(QStringLiteral("Checking and unpacking the backup..."),
                             QStringLiteral("Cancel"), 0, 1000, &window_);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    try {
        const QString aside =
            ShopBackups(path).restore(backup, clock_.now(), [&progress](double done) {
                progress.setValue(static_cast<int>(done * 1000));
                return !progress.wasCanceled();
            });
        progress.reset();
        shop.commitGate().verdict(QString()); // the file in place now has just been checked
        messages_.inform(
            QStringLiteral("The backup %1 is in place.%2")
                .arg(QFileInfo(backup).fileName(),
                     aside.isEmpty()
                         ? QString()
                         : QStringLiteral(" The earlier shop file is kept as %1.").arg(aside)));
        emit restored();
    } catch (const Cancelled &) {
        messages_.inform(QStringLiteral("Nothing was restored."));
    } catch (const DataError &error) {
        progress.reset();
        messages_.inform(error.description());
    }
    scheduler_.enable();
}
