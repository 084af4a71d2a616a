#include "core/Desktop.h"

#include "core/Errors.h"

#include <mutex>

namespace Desktop {

namespace {
std::mutex lock;
ChooseFolderFn chooser;
FloatFn floater;

template <class Fn>
Fn current(const Fn& fn)
{
    const std::lock_guard guard(lock);
    if (!fn) throw KError("This needs Varnolt's windows, which can't open here");
    return fn;
}
}

void setChooseFolder(ChooseFolderFn choose)
{
    const std::lock_guard guard(lock);
    chooser = std::move(choose);
}

void setFloat(FloatFn floatFiles)
{
    const std::lock_guard guard(lock);
    floater = std::move(floatFiles);
}

std::optional<Path> chooseFolder(const std::string& message, const std::string& button)
{
    return current(chooser)(message, button);
}

void floatFiles(const Paths& files)
{
    current(floater)(files);
}

}
