#pragma once
#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>

// Desktop services on the test session bus, served from a connection of their own.

// The file manager: records what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    FakeFileManager() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-file-manager"))
    {
        bus_.registerObject("/org/freedesktop/FileManager1", this, QDBusConnection::ExportAllSlots);
        bus_.registerService("org.freedesktop.FileManager1");
    }
    ~FakeFileManager() override
    {
        bus_.unregisterService("org.freedesktop.FileManager1");
        QDBusConnection::disconnectFromBus("fake-file-manager");
    }
    QStringList shown;

public slots:
    void ShowItems(const QStringList& uris, const QString&) { shown += uris; }

private:
    QDBusConnection bus_;
};

// The desktop portal's settings: answers "color-scheme" and announces its changes.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortal(uint scheme) : scheme_(scheme), bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-portal"))
    {
        bus_.registerObject("/org/freedesktop/portal/desktop", this, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
        bus_.registerService("org.freedesktop.portal.Desktop");
    }
    ~FakePortal() override
    {
        bus_.unregisterService("org.freedesktop.portal.Desktop");
        QDBusConnection::disconnectFromBus("fake-portal");
    }
    void change(uint scheme)
    {
        scheme_ = scheme;
        emit SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(scheme));
    }

public slots:
    // Wrapped twice, as portals before version 2 of the interface answer.
    QDBusVariant Read(const QString& group, const QString& key)
    {
        if (group != "org.freedesktop.appearance" || key != "color-scheme") return QDBusVariant(QVariant::fromValue(QDBusVariant(0u)));
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme_)));
    }

signals:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    uint scheme_;
    QDBusConnection bus_;
};
