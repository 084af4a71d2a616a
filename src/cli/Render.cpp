#include "cli/Render.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "catalog/Catalog.h"
#include "wheel/WheelPages.h"
#include "wheel/WheelView.h"

#include <QFile>
#include <QImageWriter>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace CLI {

namespace {
// The picture is drawn at twice the point size so that it stays crisp on dense screens.
constexpr double pictureScale = 2;
constexpr int wheelPoints = 376;

void print(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::optional<int> integer(const std::string& word)
{
    bool ok = false;
    const int value = QString::fromStdString(word).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> number(const std::string& word)
{
    bool ok = false;
    const double value = QString::fromStdString(word).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

struct RenderRequest {
    Paths files;
    std::optional<int> hover;
    int page = 1;
    std::optional<double> flip;
    std::optional<double> glow;
};

RenderRequest parse(const std::vector<std::string>& rest)
{
    RenderRequest request;
    for (size_t i = 0; i < rest.size(); ++i) {
        const std::string& word = rest[i];
        const bool hasValue = i + 1 < rest.size();
        if (word == "--hover" && hasValue) request.hover = integer(rest[++i]);
        else if (word == "--page" && hasValue) request.page = integer(rest[++i]).value_or(1);
        else if (word == "--flip" && hasValue) request.flip = number(rest[++i]);
        else if (word == "--glow" && hasValue) request.glow = number(rest[++i]);
        else if (!word.starts_with("--") && !number(word)) request.files.push_back(absoluteNormal(word));
    }
    return request;
}

// Writes the PNG into a new file only: an existing file is never replaced, and a failed
// write leaves nothing behind.
void writePNG(const QImage& picture, const Path& path)
{
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (file.exists()) throw KError(path.filename().string() + " already exists — choose another name");
        throw KError("Couldn't write " + path.string());
    }
    Output::Pending pending(path);
    QImageWriter writer(&file, "png");
    if (!writer.write(picture) || !file.flush()) throw KError("Couldn't write " + path.string());
    file.close();
    pending.keep();
}
}

int renderWheel(WheelMode mode, const std::string& output, const std::vector<std::string>& rest)
{
    const RenderRequest request = parse(rest);
    const std::vector<WheelOptions> pages = WheelPages::split(Catalog::options(request.files, mode));
    const int count = static_cast<int>(pages.size());
    const int page = std::clamp(request.page - 1, 0, count - 1);

    WheelView view;
    view.resize(wheelPoints, wheelPoints);
    view.setDarkAppearance(qEnvironmentVariableIsSet("QUINDLE_DARK"));
    view.configure(mode, pages[page], Catalog::summary(request.files), page, count);
    if (request.hover) view.setDebugHover(*request.hover);
    view.finishAnimations();
    if (request.flip && count > 1) {
        view.showTransition(pages[(page + count - 1) % count], WheelView::Kind::page, *request.flip);
    }
    if (request.glow && request.hover) view.setGlow(*request.hover, *request.glow);

    const QImage picture = view.picture(pictureScale);
    if (picture.isNull()) return 1;
    try {
        writePNG(picture, absoluteNormal(output));
    } catch (...) {
        print("ERROR: " + Errors::userMessage(std::current_exception()));
        return 1;
    }
    return 0;
}

}
