// The table of screens: identifier -> factory. Each subsystem adds its own screens; the main
// window opens them by identifier. A factory may throw DataError when its data cannot load.
#pragma once

#include "dataerror.h"
#include "shopcontext.h"

#include <QString>
#include <functional>
#include <map>

class QWidget;

class ScreenRegistry {
public:
    using Factory = std::function<QWidget *(const ShopContext &)>;

    void add(const QString &screenId, Factory factory) {
        factories_[screenId] = std::move(factory);
    }
    bool contains(const QString &screenId) const { return factories_.count(screenId) != 0; }
    // Builds the screen. Throws what the factory throws, and DataError for an identifier
    // that names no screen: a command that opens nothing must not look like one that works.
    QWidget *create(const QString &screenId, const ShopContext &context) const {
        auto it = factories_.find(screenId);
        if (it == factories_.end())
            throw DataError(QStringLiteral("This program has no screen \"%1\".").arg(screenId));
        return it->second(context);
    }

private:
    std::map<QString, Factory> factories_;
};
