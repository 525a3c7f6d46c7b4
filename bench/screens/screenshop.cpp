// The benchmarks' screen context and the helpers that drive screens by their controls' names.
#include "screenshop.h"
#include "opendatabase.h"

#include "allscreens.h"
#include "benchmain.h"
#include "boundlineedit.h"
#include "dataerror.h"
#include "datepicker.h"
#include "recordsource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <memory>

namespace screenbench {

namespace {

class AnsweringMessages : public MessageBoxes {
public:
    void inform(const QString &text, Icon, const QString &, const QString &) override {
        shown << text;
    }
    bool confirm(const QString &text, const QString &, const QString &) override {
        confirmed << text;
        return true;
    }
    QStringList shown;
    QStringList confirmed;
};

class RegistryOpener : public ScreenOpener {
public:
    QWidget *openNew(const QString &id) override { return buildScreen(id); }
    QWidget *openShared(const QString &id) override {
        auto it = shared_.find(id);
        if (it != shared_.end())
            return it->second;
        return shared_[id] = buildScreen(id);
    }
    void close(QWidget *screen) override {
        for (auto it = shared_.begin(); it != shared_.end(); ++it)
            if (it->second == screen) {
                shared_.erase(it);
                break;
            }
        screen->hide();
        screen->deleteLater();
    }

private:
    QWidget *buildScreen(const QString &id);
    std::map<QString, QWidget *> shared_;
};

struct Shop {
    Shop() : clock(bench::shop().lastDay, QTime(10, 30, 0)) {
        registerAllScreens(registry);
        context.shop = drivers::open(bench::shop().location);
        context.messages = &messages;
        context.clock = &clock;
        context.opener = &opener;
    }
    ScreenRegistry registry;
    FixedClock clock;
    AnsweringMessages messages;
    RegistryOpener opener;
    ShopContext context;
};

Shop &shop() {
    static Shop instance;
    return instance;
}

QWidget *RegistryOpener::buildScreen(const QString &id) {
    QWidget *screen = shop().registry.create(id, shop().context);
    if (screen != nullptr)
        screen->show();
    return screen;
}

} // namespace

const QStringList &screenIds() {
    static const QStringList ids = {"frmSell",     "OnSaleReg",    "A1A2",         "frmDayReport",
                                    "frmMonthRpt", "frmBookQuery", "frmInvoice",   "frmCreTitles",
                                    "frmNewQty",   "frmSafe",      "frmBill",      "frmCheckPay",
                                    "frmPayRec",   "dataTitles",   "dataSubject",  "datapublisher",
                                    "dataRetail",  "dataBill",     "dataPaidBill", "dataSoldBook",
                                    "dataOnsale"};
    return ids;
}

bool registered(const QString &id) {
    return shop().registry.contains(id);
}

QWidget *build(const QString &id) {
    QWidget *screen = create(id);
    screen->resize(1024, 768);
    screen->show();
    return screen;
}

QWidget *create(const QString &id) {
    if (!registered(id))
        throw std::runtime_error(id.toStdString() + " is not built yet");
    const int mark = messageCount();
    QWidget *screen = nullptr;
    try {
        screen = shop().registry.create(id, shop().context);
    } catch (const DataError &error) {
        throw std::runtime_error(id.toStdString() + " did not open: " + error.what());
    }
    failOnMessageSince(mark);
    return screen;
}

void paint(QWidget *screen) {
    // Rendered whole, as the first expose would; grab() paints even before the offscreen
    // window has been exposed.
    benchmark::DoNotOptimize(screen->grab());
}

QWidget *open(const QString &id) {
    QWidget *screen = build(id);
    paint(screen);
    return screen;
}

void close(QWidget *screen) {
    screen->close();
    delete screen;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget *child(QWidget *screen, const QString &name) {
    auto *found = screen->findChild<QWidget *>(name);
    if (found == nullptr)
        throw std::runtime_error(screen->objectName().toStdString() + " has no control " +
                                 name.toStdString());
    return found;
}

void click(QWidget *screen, const QString &button) {
    auto *found = qobject_cast<QAbstractButton *>(child(screen, button));
    if (found == nullptr)
        throw std::runtime_error(button.toStdString() + " is not a button");
    found->click();
}

void pickDay(QWidget *screen, const QString &picker, const QDate &day) {
    auto *found = qobject_cast<DatePicker *>(child(screen, picker));
    if (found == nullptr)
        throw std::runtime_error(picker.toStdString() + " is not a date picker");
    found->setDate(day); // not setDay: the operator's change
}

void typeText(QWidget *screen, const QString &box, const QString &text) {
    QWidget *found = child(screen, box);
    if (auto *bound = qobject_cast<BoundLineEdit *>(found))
        bound->setTextAsTyped(text);
    else if (auto *edit = qobject_cast<QLineEdit *>(found))
        edit->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(found))
        combo->setCurrentText(text); // typed when editable, else the entry chosen
    else
        throw std::runtime_error(box.toStdString() + " takes no text");
}

QList<RecordSource *> sources(QWidget *screen) {
    return screen->findChildren<RecordSource *>();
}

int messageCount() {
    return static_cast<int>(shop().messages.shown.size());
}

void failOnMessageSince(int mark) {
    const QStringList &shown = shop().messages.shown;
    if (shown.size() > mark)
        throw std::runtime_error("the screen said: " + shown[mark].toStdString());
}

void guarded(benchmark::State &state, const std::function<void()> &body) {
    try {
        body();
    } catch (const std::exception &error) {
        state.SkipWithError(error.what());
    }
}

} // namespace screenbench
