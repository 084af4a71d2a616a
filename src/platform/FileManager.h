#pragma once
#include "core/Paths.h"

// The desktop's file manager.
namespace FileManager {
// Shows the items selected in the file manager (org.freedesktop.FileManager1.ShowItems);
// when no file manager answers, opens their folders instead. Returns at once.
void reveal(const Paths& urls);
}
