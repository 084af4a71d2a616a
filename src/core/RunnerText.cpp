#include "core/RunnerText.h"

#include <QLocale>

namespace RunnerText {

namespace {
// Decimal units, as file managers count file sizes; a decimal place from megabytes up.
std::string formatted(std::int64_t bytes)
{
    const int precision = bytes >= 1'000'000 ? 1 : 0;
    return QLocale().formattedDataSize(bytes, precision, QLocale::DataSizeSIFormat).toStdString();
}
}

std::string title(const Paths& outputs)
{
    if (outputs.size() == 1) return outputs.front().filename().string();
    return std::to_string(outputs.size()) + " files";
}

std::string sizes(std::int64_t inputBytes, std::int64_t outputBytes)
{
    std::string text = formatted(inputBytes) + " → " + formatted(outputBytes);
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
