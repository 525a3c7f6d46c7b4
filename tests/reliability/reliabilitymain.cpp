// One QApplication for the binary, which records any exception that reaches Qt's event
// loop instead of letting Qt end the program, and every critical message Qt logs, so that
// a test can name the fault.
#include "reliabilitysupport.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <gtest/gtest.h>

namespace {

class RecordingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &error) {
            reliability::escapedExceptions() << QString::fromLocal8Bit(error.what());
        } catch (...) {
            reliability::escapedExceptions() << QStringLiteral("(not a std::exception)");
        }
        return false;
    }
};

void recordCritical(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        reliability::criticalMessages() << message;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef RELIABILITY_FILES_IN_MEMORY
    // Hundreds of throwaway shops: in memory their commits cost no waits for the disk.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm");
#endif
    qInstallMessageHandler(recordCritical);
    RecordingApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
