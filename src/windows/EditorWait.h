#pragma once
#include "core/Errors.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <functional>
#include <future>
#include <memory>
#include <optional>

// How a worker waits for an editor window: the window opens on the main thread and the worker
// blocks until the window's completion gives a choice (or none, a cancel).
namespace EditorWait {
template <class T>
T choice(std::function<void(std::function<void(std::optional<T>)>)> open)
{
    auto promise = std::make_shared<std::promise<std::optional<T>>>();
    auto future = promise->get_future();
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [open, promise] { open([promise](std::optional<T> value) { promise->set_value(value); }); },
        Qt::QueuedConnection);
    const std::optional<T> value = future.get();
    if (!value) throw UserCancelled();
    return *value;
}
}
