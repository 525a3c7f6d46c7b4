// Runs one of the shop's command-line tools as the operator would, with its own data folder.
#pragma once

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct CommandResult {
    int exitCode;
    QString output;
};

// `program` runs with XDG_DATA_HOME set to `dataHome`, and in it when it exists (a relative
// path lands there); its output and errors come back as one text. A tool that hangs for a
// minute counts as failed.
inline CommandResult runTool(const QString &program, const QStringList &args,
                             const QString &dataHome) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome);
    process.setProcessEnvironment(env);
    if (QDir(dataHome).exists())
        process.setWorkingDirectory(dataHome);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(60000))
        return {-1, "did not finish"};
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}
