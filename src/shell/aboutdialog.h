// frmAbout: the program's name, version and rights line, with one OK button.
#pragma once

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *owner);
};
