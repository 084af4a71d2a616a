#include "windows/Runner.h"

#include "core/Errors.h"
#include "core/OptionRun.h"
#include "core/Recents.h"
#include "core/RunnerText.h"
#include "core/Settings.h"
#include "platform/FileManager.h"

#include <optional>

namespace Runner {

namespace {
// Actions and interactive options have no progress notice of their own, so a success
// with outputs goes unannounced and a failure carries the option's title unchanged.
std::optional<Notice> handle(const WheelOption& option, const RunOutcome& outcome)
{
    const bool announced = !option.isAction && !option.isInteractive;
    if (outcome.failure) {
        if (Errors::isCancel(outcome.failure)) return std::nullopt;
        return Notice{announced ? RunnerText::failureTitle(option.title) : option.title, Errors::userMessage(outcome.failure), true};
    }
    const OptionResult& result = outcome.result;
    if (result.outputs.empty()) {
        if (!result.message) return std::nullopt;
        return Notice{option.title, *result.message, false};
    }
    Recents::add(result.outputs);
    UndoStore::record(result.outputs);
    if (Settings::boolean(SettingsKey::revealAfter)) FileManager::reveal(result.outputs);
    if (!announced) return std::nullopt;
    const std::string subtitle = result.message ? *result.message : RunnerText::sizes(outcome.inputBytes, outcome.outputBytes);
    return Notice{RunnerText::title(result.outputs), subtitle, false};
}

// How an option's work is carried out: on a thread of its own, the outcome back on the main thread.
void execute(const WheelOption& option, const Paths& urls, std::function<void(const RunOutcome&)> done)
{
    OptionRun::inBackground(option.run, urls, {}, std::move(done));
}
}

void perform(const WheelOption& option, const Paths& urls, Notify notify)
{
    execute(option, urls, [option, notify](const RunOutcome& outcome) {
        if (const auto notice = handle(option, outcome)) notify(*notice);
    });
}

}
