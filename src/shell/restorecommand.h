// File > Restore a Backup: the list of backups with when each was taken and how many sales
// and titles it holds; the chosen one is checked, every screen is closed (so that nothing of
// the program holds the file open), the current file is kept aside under a dated name and the
// backup is put in its place.
#pragma once

#include <QObject>
#include <QString>

class BackupScheduler;
class Clock;
class MainWindow;
class MessageBoxes;

class RestoreCommand : public QObject {
    Q_OBJECT
public:
    RestoreCommand(MainWindow &window, BackupScheduler &scheduler, MessageBoxes &messages,
                   const Clock &clock);
    void run();

signals:
    // A backup is in place of the shop file.
    void restored();

private:
    // The backup the operator picks in the list; empty when none is picked.
    QString choose();

    MainWindow &window_;
    BackupScheduler &scheduler_;
    MessageBoxes &messages_;
    const Clock &clock_;
};
