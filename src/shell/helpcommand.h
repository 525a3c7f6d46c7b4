// Help > Context: shows the contents page of the program's help document in the viewer.
#pragma once

#include <QString>
#include <functional>

class MessageBoxes;

class HelpCommand {
public:
    // Asks the platform to show a document; false when the viewer could not be started.
    using Viewer = std::function<bool(const QString &path)>;

    HelpCommand(QString helpFile, Viewer viewer, MessageBoxes &messages);

    static Viewer desktopViewer();

    void run() const;

private:
    QString helpFile_;
    Viewer viewer_;
    MessageBoxes &messages_;
};
