// imlIcons: the toolbar's image list, pictures numbered from 1 as the buttons refer to them.
#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(QObject *parent = nullptr);
    int count() const { return int(pictures_.size()); }
    // Picture n, 1-based; a null icon when there is none.
    QIcon picture(int n) const;

private:
    QList<QIcon> pictures_;
};
