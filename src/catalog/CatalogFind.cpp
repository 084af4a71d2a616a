#include "catalog/Catalog.h"

#include <QString>

namespace Catalog {

std::optional<WheelOption> find(const WheelOptions& options, const std::string& title)
{
    const QString wanted = QString::fromStdString(title);
    for (const WheelOption& option : options) {
        if (QString::fromStdString(option.title).compare(wanted, Qt::CaseInsensitive) == 0) return option;
    }
    return std::nullopt;
}

std::string noOption(const std::string& title, const WheelOptions& options)
{
    std::string text = "No option '" + title + "'. Available: ";
    for (size_t i = 0; i < options.size(); ++i) text += (i ? ", " : "") + options[i].title;
    return text;
}

}
