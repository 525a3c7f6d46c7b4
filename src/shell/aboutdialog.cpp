// Builds the About box: icon at the top left, three labels, a rule and the OK button.
#include "aboutdialog.h"

#include "screenheading.h"
#include "shellpictures.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(arialFont(12));
    return label;
}
} // namespace

AboutDialog::AboutDialog(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quillmart"));

    auto *icon = named<QLabel>("picIcon", this);
    icon->setPixmap(shellpictures::programIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    icon->setAccessibleName(QStringLiteral("Quillmart"));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(10);
    texts->addWidget(
        makeLabel(QStringLiteral("lblTitle"), QStringLiteral("Quillmart   V1.0"), this));
    texts->addWidget(
        makeLabel(QStringLiteral("lblDescription"), QStringLiteral("For Windows 98"), this));
    texts->addWidget(
        makeLabel(QStringLiteral("Label1"),
                  QString::fromUtf8("Copyright © 2026 Quillmart. All rights reserved."), this));
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *rule = named<QFrame>("Line1", this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // Default and cancel button at once: Enter and Esc both press it.
    auto *ok = stepButton("cmdOK", QStringLiteral("OK"), this, &QDialog::accept);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(90);

    QHBoxLayout *buttons = buttonRow({rowStretch, ok});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    // Fixed size; QDialog centres itself over its owner when shown.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
