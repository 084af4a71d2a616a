#include "core/RunnerText.h"

#include <QLocale>

#include <cmath>
#include <iterator>

namespace RunnerText {

std::string byteCount(std::int64_t bytes)
{
    if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    // Decimal units as file managers count them; more decimals for bigger units, none that are zero.
    struct Unit {
        const char* name;
        double size;
        int decimals;
    };
    static const Unit units[] = {{"KB", 1e3, 0}, {"MB", 1e6, 1}, {"GB", 1e9, 2}, {"TB", 1e12, 2}, {"PB", 1e15, 2}};
    size_t i = 0;
    double value = 0;
    for (;; ++i) {
        const double scale = std::pow(10, units[i].decimals);
        value = std::round(bytes / units[i].size * scale) / scale;
        // 999,999 bytes round to 1000 KB: that is 1 MB.
        if (value < 1000 || i + 1 == std::size(units)) break;
    }
    QString number = QLocale().toString(value, 'f', units[i].decimals);
    const QString point = QLocale().decimalPoint();
    if (number.contains(point)) {
        while (number.endsWith('0')) number.chop(1);
        if (number.endsWith(point)) number.chop(point.size());
    }
    return number.toStdString() + " " + units[i].name;
}

std::string title(const Paths& outputs)
{
    if (outputs.size() == 1) return outputs.front().filename().string();
    return std::to_string(outputs.size()) + " files";
}

std::string sizes(std::int64_t inputBytes, std::int64_t outputBytes)
{
    std::string text = byteCount(inputBytes) + " → " + byteCount(outputBytes);
    if (inputBytes > 0 && outputBytes < inputBytes) {
        // Whole percent, truncated; integer arithmetic keeps 75.0 from becoming 74.
        const std::int64_t saving = (inputBytes - outputBytes) * 100 / inputBytes;
        text += "  (−" + std::to_string(saving) + "%)";
    }
    return text;
}

std::string failureTitle(const std::string& optionTitle)
{
    return "Couldn't " + QString::fromStdString(optionTitle).toLower().toStdString();
}

std::string moved(int count)
{
    return "Moved " + std::to_string(count) + " file" + (count == 1 ? "" : "s") + " to the Trash";
}

}
