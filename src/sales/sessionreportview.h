// A till session's X or Z report on screen as it prints: a preview of the slip on the paper
// chosen (a till roll or a sheet), printed from here on paper (Ctrl+P) or saved as a PDF file.
// What it shows is the report it was given: a Z report as stored at the closing.
#pragma once

#include "sessionreportprint.h"

#include <QWidget>
#include <memory>

class MessageBoxes;
class QComboBox;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;

class SessionReportView : public QWidget {
    Q_OBJECT
public:
    // The shop's name, the currency sign and the paper come from the receipt's settings.
    explicit SessionReportView(MessageBoxes &messages, QWidget *parent = nullptr);
    ~SessionReportView() override;

    void setReport(const SessionReport &report, const QDateTime &printed);
    const sessionprint::Printed &printed() const { return printed_; }
    receipt::Paper paper() const;
    void choosePaper(receipt::Paper paper);
    // Asks for a printer and prints on it.
    void printReport();
    // Asks for a file and saves the report in it as a PDF.
    void saveAsPdf();
    // Prints the report into this PDF file; false, the operator told why, when it could not.
    bool savePdfTo(const QString &path);
    QPushButton *printButton() const { return print_; }

private:
    MessageBoxes &messages_;
    sessionprint::Printed printed_;
    bool hasReport_ = false;
    std::unique_ptr<QPrinter> printer_;
    QComboBox *paper_ = nullptr;
    QPrintPreviewWidget *preview_ = nullptr;
    QPushButton *print_ = nullptr;
    QPushButton *pdf_ = nullptr;
};
