#include "windows/Runner.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThreadPool>

#include <cstdint>
#include <exception>
#include <optional>

namespace Runner {

namespace {
struct Outcome {
    OptionResult result;
    std::int64_t inputBytes = 0;
    std::int64_t outputBytes = 0;
    std::exception_ptr failure;
};

std::int64_t totalSize(const Paths& urls)
{
    std::int64_t total = 0;
    for (const Path& url : urls) total += Output::size(url);
    return total;
}

std::optional<std::string> failureMessage(const std::exception_ptr& failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const UserCancelled&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        return std::string(e.what());
    } catch (...) {
        return std::string("The operation couldn't be completed.");
    }
}

// Actions and interactive options have no progress notice of their own, so a success
// with outputs goes unannounced and a failure carries the option's title unchanged.
std::optional<Notice> handle(const WheelOption& option, const Outcome& outcome)
{
    const bool announced = !option.isAction && !option.isInteractive;
    if (outcome.failure) {
        const auto message = failureMessage(outcome.failure);
        if (!message) return std::nullopt;
        return Notice{announced ? RunnerText::failureTitle(option.title) : option.title, *message, true};
    }
    const OptionResult& result = outcome.result;
    if (result.outputs.empty()) {
        if (!result.message) return std::nullopt;
        return Notice{option.title, *result.message, false};
    }
    Recents::add(result.outputs);
    UndoStore::record(result.outputs);
    if (Settings::boolean("revealAfter")) FileManager::reveal(result.outputs);
    if (!announced) return std::nullopt;
    const std::string subtitle = result.message ? *result.message : RunnerText::sizes(outcome.inputBytes, outcome.outputBytes);
    return Notice{RunnerText::title(result.outputs), subtitle, false};
}
}

void perform(const WheelOption& option, const Paths& urls, Notify notify)
{
    QThreadPool::globalInstance()->start([option, urls, notify] {
        Outcome outcome;
        try {
            // Measured before the run: an action may move or remove its inputs.
            outcome.inputBytes = totalSize(urls);
            outcome.result = option.run(urls);
            outcome.outputBytes = totalSize(outcome.result.outputs);
        } catch (...) {
            outcome.failure = std::current_exception();
        }
        QMetaObject::invokeMethod(QCoreApplication::instance(), [option, outcome, notify] {
            if (const auto notice = handle(option, outcome)) notify(*notice);
        }, Qt::QueuedConnection);
    });
}

}
