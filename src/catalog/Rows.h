#pragma once
#include "core/WheelOption.h"

// One function per kind and page. A table maps each kind to its row; an engine joins the
// wheel by adding its row function here and one line to the table in ConvertTable.cpp or
// ToolTable.cpp.
namespace ConvertRows {
WheelOptions archive(const Paths& urls);
WheelOptions audio(const Paths& urls);
WheelOptions document(const Paths& urls);
WheelOptions ebook(const Paths& urls);
WheelOptions image(const Paths& urls);
WheelOptions pdf(const Paths& urls);
WheelOptions subtitle(const Paths& urls);
WheelOptions spreadsheet(const Paths& urls);
WheelOptions video(const Paths& urls);
}

namespace ToolRows {
WheelOptions archive(const Paths& urls);
WheelOptions audio(const Paths& urls);
WheelOptions document(const Paths& urls);
WheelOptions image(const Paths& urls);
WheelOptions pdf(const Paths& urls);
WheelOptions spreadsheet(const Paths& urls);
WheelOptions video(const Paths& urls);
}
