// Whether the program may open a screen as the login a server shop is worked as: the login is
// read from the server's catalogue once (at start, or at the first screen when the server
// could not be reached then); a login the program refuses, or one without the role a screen
// needs, is told so, naming the login or the role to use. A shop file lets every screen open.
#pragma once

#include "serverlogin.h"
#include "shopdatabase.h"

#include <QString>
#include <optional>

class MessageBoxes;

class LoginGate {
public:
    // `counterSellsOffline`: a till that keeps its own file, whose counter may open while the
    // server cannot be reached, the counter itself saying whether it can sell without it.
    LoginGate(ShopDatabase shop, MessageBoxes &messages, bool counterSellsOffline);
    // How long the check waits for what another till holds (0: no limit, the default).
    void setTimeout(int seconds) { timeout_ = seconds; }

    // Reads the login when it is not known yet; the first time, the rows this login left in
    // the scratch tables are cleared. False, the operator told why, when the server cannot be
    // reached or the program does not work as this login; true without a word for the
    // selling screen (`screenId`) of a till that sells offline while the server cannot be
    // reached.
    bool check(const QString &screenId = QString());
    // Whether the screen may open; when not, the operator has been told why.
    bool allows(const QString &screenId);
    // Whether the login has been read from the server.
    bool known() const { return login_.has_value(); }
    // Why the login may not open the screen; empty when it may, or while the login is unknown.
    QString refusalOf(const QString &screenId) const;
    // The same in a few words, for the screen's commands: the role the login lacks.
    QString markOf(const QString &screenId) const;

private:
    ShopDatabase shop_;
    MessageBoxes &messages_;
    int timeout_ = 0;
    const bool counterSellsOffline_;
    std::optional<ServerLogin> login_;
};
