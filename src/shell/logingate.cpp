// The gate before every screen of a server shop.
#include "logingate.h"

#include "connection.h"
#include "dataerror.h"
#include "messageboxes.h"
#include "screenids.h"
#include "screenwork.h"

LoginGate::LoginGate(ShopDatabase shop, MessageBoxes &messages, bool counterSellsOffline)
    : shop_(std::move(shop)), messages_(messages), counterSellsOffline_(counterSellsOffline) {}

bool LoginGate::check(const QString &screenId) {
    if (shop_.localFile()) // a shop file has no logins of its own
        return true;
    if (!login_) {
        try {
            ConnectionSettings settings = shop_.settings();
            settings.waitLimitSeconds = timeout_;
            Connection connection = shop_.withSettings(settings).connect();
            ServerLogin login = serverlogin::examine(connection);
            // What a program of this login that was killed left behind is nobody's now.
            if (login.refusal().isEmpty())
                serverlogin::clearScratchRows(connection);
            login_ = login;
        } catch (const DataError &error) {
            // The login is read once the server answers, at the next screen.
            if (counterSellsOffline_ && error.kind() == DataError::Kind::ConnectionLost &&
                screenId == QLatin1String(screenid::Sell))
                return true;
            messages_.inform(error.sentence(), MessageBoxes::Icon::Critical, QString(),
                             error.details());
            return false;
        }
    }
    const QString refusal = login_->refusal();
    if (!refusal.isEmpty()) {
        messages_.inform(refusal, MessageBoxes::Icon::Critical);
        return false;
    }
    return true;
}

bool LoginGate::allows(const QString &screenId) {
    if (!check(screenId))
        return false;
    const QString refusal = refusalOf(screenId);
    if (!refusal.isEmpty())
        messages_.inform(refusal, MessageBoxes::Icon::Warning);
    return refusal.isEmpty();
}

QString LoginGate::refusalOf(const QString &screenId) const {
    if (!login_ || !login_->refusal().isEmpty())
        return QString();
    const ScreenWork work = screenWork(screenId);
    return login_->refusalOf(work.what, work.desk == Desk::BackOffice);
}

QString LoginGate::markOf(const QString &screenId) const {
    if (!login_ || !login_->refusal().isEmpty())
        return QString();
    const QString role = login_->missingRole(screenWork(screenId).desk == Desk::BackOffice);
    return role.isEmpty() ? QString()
                          : QStringLiteral("Needs a login that is a member of %1.").arg(role);
}
