// The selling screen on a test shop of three titles, and the steps of the counter: look a title
// up, sell it, read what the screen shows.
#pragma once

#include "receiptlist.h"
#include "sellscreen.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

class Sell : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                     "('111', 'Short', 12.5, 10), ('222', 'Rivers of the North', 8, 4), "
                     "('333', 'A Very Long Title Of Thirty Ch', 20, 1)");
        screen = std::make_unique<SellScreen>(shop.context);
    }
    QString text(const QString &name, SellScreen *on = nullptr) {
        return (on ? on : screen.get())->findChild<QLabel *>(name)->text();
    }
    QLineEdit *box(const QString &name, SellScreen *on = nullptr) {
        return (on ? on : screen.get())->findChild<QLineEdit *>(name);
    }
    void lookUp(const QString &isbn, const QString &quantity = "1", SellScreen *on = nullptr) {
        box("Text1", on)->setText(isbn);
        box("Text2", on)->setText(quantity);
        (on ? on : screen.get())->lookup();
    }
    void sell(const QString &isbn, const QString &quantity = "1", SellScreen *on = nullptr) {
        lookUp(isbn, quantity, on);
        (on ? on : screen.get())->findChild<QPushButton *>("Command2")->click();
    }
    int stock(const QString &isbn) {
        return shop.db.scalar("SELECT Qty FROM Titles WHERE ISBN='" + isbn + "'").toInt();
    }
    ReceiptList *receipt() { return screen->findChild<ReceiptList *>("Pic"); }

    TestShop shop;
    std::unique_ptr<SellScreen> screen;
};
