#pragma once
#include <QLocalServer>
#include <QObject>
#include <QStringList>

#include <memory>

// One running Varnolt per settings store. The first start listens on a local socket; a later
// start hands the running one its arguments and leaves.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the socket's file name; by default one derived from the settings file, so that
    // every settings store (every user, every test's home folder) has its own instance.
    explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Claim { primary, handedOver };
    // primary: this process is now the running instance. handedOver: another one runs and
    // has received the arguments. Throws KError when another instance runs but does not answer.
    Claim claim(const QStringList& arguments);
    // Hands the arguments to a running instance, if one runs; never becomes the running one.
    // Throws KError when one runs but does not answer.
    bool handOver(const QStringList& arguments);

    static QString defaultName();

signals:
    // A later start handed over its arguments.
    void activated(const QStringList& arguments);

private:
    void receive(class QLocalSocket* socket);

    QString path_;
    std::unique_ptr<QLocalServer> server_;
};
