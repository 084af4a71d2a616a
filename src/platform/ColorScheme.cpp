#include "platform/ColorScheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace {
const QString service = "org.freedesktop.portal.Desktop";
const QString path = "/org/freedesktop/portal/desktop";
const QString interface = "org.freedesktop.portal.Settings";
const QString group = "org.freedesktop.appearance";
const QString key = "color-scheme";
}

ColorScheme::ColorScheme(QDBusConnection bus, QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    if (!bus.isConnected()) return;
    // QtDBus finds the slot's argument types by name: QDBusVariant must be known by then.
    qRegisterMetaType<QDBusVariant>();
    bus.connect(service, path, interface, "SettingChanged", this, SLOT(settingChanged(QString, QString, QDBusVariant)));
    // Asked without waiting: a portal that is slow to start must not hold up the application.
    QDBusMessage read = QDBusMessage::createMethodCall(service, path, interface, "Read");
    read << group << key;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (!reply.isError()) apply(reply.value().variant());
        watcher->deleteLater();
    });
}

ColorScheme& ColorScheme::shared()
{
    static ColorScheme* scheme = new ColorScheme(QDBusConnection::sessionBus(), qApp);
    return *scheme;
}

bool ColorScheme::dark() const
{
    if (portal_) return *portal_;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

bool ColorScheme::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && !portal_) emit changed();
    return QObject::eventFilter(watched, event);
}

void ColorScheme::settingChanged(const QString& changedGroup, const QString& changedKey, const QDBusVariant& value)
{
    if (changedGroup == group && changedKey == key) apply(value.variant());
}

void ColorScheme::apply(QVariant value)
{
    // Portals before version 2 of the interface wrap the value in one more variant.
    while (value.userType() == qMetaTypeId<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    const uint scheme = value.toUInt();
    const std::optional<bool> preference = scheme == 1 ? std::optional(true) : scheme == 2 ? std::optional(false) : std::nullopt;
    const bool before = dark();
    portal_ = preference;
    if (dark() != before) emit changed();
}
