#include "platform/SingleInstance.h"

#include "core/Errors.h"
#include "core/Settings.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {
constexpr int answerTimeout = 5000;  // ms a running instance has to take the arguments
const char acknowledged = '!';
}

SingleInstance::SingleInstance(QString name, QObject* parent) : QObject(parent)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    path_ = folder + "/" + name;
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    const QByteArray store = QDir(Settings::fileName()).absolutePath().toUtf8();
    return "varnolt-" + QString::number(getuid()) + "-"
        + QCryptographicHash::hash(store, QCryptographicHash::Sha1).toHex().left(16) + ".socket";
}

SingleInstance::Claim SingleInstance::claim(const QStringList& arguments)
{
    // Two starts at the same moment: the lock lets only one of them take the socket.
    QLockFile lock(path_ + ".lock");
    lock.lock();
    if (handOver(arguments)) return Claim::handedOver;
    // Nobody answers: whatever socket file is there was left by a process that ended.
    QLocalServer::removeServer(path_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_)) throw KError("Varnolt couldn't start: " + server_->errorString().toStdString());
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            receive(socket);
        }
    });
    return Claim::primary;
}

bool SingleInstance::handOver(const QStringList& arguments)
{
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(answerTimeout)) return false;
    QDataStream stream(&socket);
    stream << arguments;
    socket.flush();
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(answerTimeout)) throw KError("Varnolt is already running but doesn't answer — quit it and start it again");
    }
    return true;
}

void SingleInstance::receive(QLocalSocket* socket)
{
    // The arguments may arrive in pieces: read them whole or wait for more.
    QDataStream stream(socket);
    stream.startTransaction();
    QStringList arguments;
    stream >> arguments;
    if (!stream.commitTransaction()) return;
    socket->write(&acknowledged, 1);
    socket->flush();
    emit activated(arguments);
}
