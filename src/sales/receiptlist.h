// The customer's list at the counter: lines of items printed in print zones, like a till roll.
#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QStringList>
#include <vector>

class ReceiptList : public QAbstractScrollArea {
    Q_OBJECT
public:
    // A print zone is this many average character widths of the list's font.
    static constexpr int zoneChars = 14;

    explicit ReceiptList(QWidget *parent = nullptr);

    // The zone each item of a line starts in at the earliest, so that the columns stand under
    // their captions also for short titles. The zones widen for a first item too wide to end
    // before the second item's zone, so that it is printed whole and the columns stay in line.
    void setItemZones(QList<int> zones);

    // Prints one line. Each item after the first starts at the first zone boundary after the
    // end of the item before it (and not before its own zone).
    void printLine(const QStringList &items);
    void clear();

    int lineCount() const { return static_cast<int>(lines_.size()); }
    QStringList line(int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    // Left edge of an item of a printed line, in pixels from where zone 0 starts.
    int itemX(int line, int item) const;
    // A zone's width: 14 average characters, or wider while a wide first item is listed.
    int zoneWidth() const;
    // Where zone n starts, in this widget's own coordinates (frame included).
    int zoneStart(int zone) const;

signals:
    // The zones widened for a wide item, or narrowed again when the list was cleared.
    void zonesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Left edges of the items of a line.
    QList<int> layoutLine(const QStringList &items) const;
    int lineHeight() const;
    void updateScrollRange();
    // True when the zones had to widen for this line.
    bool widenZonesFor(const QStringList &items);
    // Where the line's last item ends, in pixels from where zone 0 starts.
    int lineEnd(const QStringList &items) const;
    void measureAllLines();

    std::vector<QStringList> lines_;
    QList<int> itemZones_;
    int widenedZone_ = 0; // 0 while every first item fits the usual zones
    // The widest line's end, kept as lines are printed so that a long sale costs no more per
    // line than a short one; measured again only when the zones change.
    int widestLine_ = 0;
};
