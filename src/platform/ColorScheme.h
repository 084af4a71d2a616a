#pragma once
#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>

#include <optional>

// Whether the desktop asks for dark windows, followed as it changes: the XDG desktop portal's
// "color-scheme" (1 prefers dark, 2 prefers light); without a preference from the portal, the
// application palette's window colour decides.
class ColorScheme : public QObject {
    Q_OBJECT
public:
    explicit ColorScheme(QDBusConnection bus, QObject* parent = nullptr);
    // The one on the session bus, created on first use (main thread, after the application).
    static ColorScheme& shared();
    bool dark() const;

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void apply(QVariant value);

    std::optional<bool> portal_;
};
