#pragma once
#include "core/WheelOption.h"

#include <QMenu>

#include <functional>

// The pop-up menu of "Convert a File…": the selection's summary, then one submenu per wheel
// page listing that page's options for the chosen files.
namespace OptionMenu {
using Choose = std::function<void(const WheelOption& option, const Paths& urls)>;
// The caller owns the menu; choose is called with the picked option and the files.
QMenu* build(const Paths& urls, Choose choose, QWidget* parent = nullptr);
}
