// The large bold line at the top of a screen.
#include "screenheading.h"

#include <QHBoxLayout>
#include <QLabel>

QLabel *screenHeading(const QString &objectName, const QString &text, QWidget *parent, double scale,
                      bool centred) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    label->setFont(font);
    if (centred)
        label->setAlignment(Qt::AlignCenter);
    return label;
}

QFont arialFont(double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *captionFor(const QString &caption, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

QHBoxLayout *buttonRow(std::initializer_list<QWidget *> widgets) {
    auto *row = new QHBoxLayout;
    for (QWidget *widget : widgets) {
        if (widget == rowStretch)
            row->addStretch(1);
        else
            row->addWidget(widget);
    }
    return row;
}
