#include "windows/HighlightSound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSoundEffect>
#include <QStandardPaths>
#include <QUrl>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace HighlightSound {

namespace {
constexpr int poolSize = 4;
constexpr int rate = 44100;

void put(QByteArray& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes.append(static_cast<char>((value >> (8 * i)) & 0xff));
}

// The sound is written once per user into the cache folder, where QSoundEffect can read it.
QUrl file()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString path = folder + "/highlight.wav";
    const QByteArray bytes = wave();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return QUrl::fromLocalFile(path);
    existing.close();
    QDir().mkpath(folder);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) return {};
    return QUrl::fromLocalFile(path);
}

// Made on first use; the application owns the sounds and ends them with itself.
const std::vector<QSoundEffect*>& pool()
{
    static const std::vector<QSoundEffect*> sounds = [] {
        std::vector<QSoundEffect*> made;
        const QUrl source = file();
        if (source.isEmpty()) return made;
        for (int i = 0; i < poolSize; ++i) {
            made.push_back(new QSoundEffect(QCoreApplication::instance()));
            made.back()->setSource(source);
            made.back()->setVolume(0.35f);
        }
        return made;
    }();
    return sounds;
}
}

QByteArray wave()
{
    constexpr int samples = rate * 40 / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        const double envelope = std::exp(-t * 90);
        const auto value = static_cast<std::int16_t>(std::lround(12000 * envelope * std::sin(2 * std::numbers::pi * 1600 * t)));
        put(data, static_cast<std::uint16_t>(value), 2);
    }
    QByteArray bytes("RIFF");
    put(bytes, 36 + data.size(), 4);
    bytes += "WAVEfmt ";
    put(bytes, 16, 4);
    put(bytes, 1, 2);         // PCM
    put(bytes, 1, 2);         // mono
    put(bytes, rate, 4);
    put(bytes, rate * 2, 4);  // bytes per second
    put(bytes, 2, 2);         // bytes per frame
    put(bytes, 16, 2);        // bits per sample
    bytes += "data";
    put(bytes, data.size(), 4);
    return bytes + data;
}

void play()
{
    static int next = 0;
    const auto& sounds = pool();
    if (sounds.empty()) return;
    QSoundEffect& sound = *sounds[next];
    next = (next + 1) % poolSize;
    sound.stop();
    sound.play();
}

}
