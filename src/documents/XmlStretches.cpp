#include "documents/XmlStretches.h"

#include "documents/Package.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace XmlStretches {

namespace {
constexpr std::size_t stretchSize = std::size_t(1) << 20;
// A head this long before the first cut, or a stretch this long without one, is read whole.
constexpr std::size_t longest = std::size_t(16) << 20;

// The first start tag `open` ("<row") in `data` at or after `from`.
std::size_t tagAt(std::string_view data, std::string_view open, std::size_t from)
{
    for (std::size_t at = data.find(open, from); at != std::string_view::npos; at = data.find(open, at + 1)) {
        const std::size_t after = at + open.size();
        if (after < data.size() && (data[after] == ' ' || data[after] == '>' || data[after] == '/')) return at;
    }
    return std::string_view::npos;
}

// Ignores what it reads: the part's head is read once more only to learn where it leaves off.
struct Nothing : XmlScan::Handler {
    void start(int, std::string_view, std::span<const XmlScan::Attribute>) override {}
    void end(int, std::string_view) override {}
    void text(std::string_view) override {}
};

struct Cut {
    std::string text;
    bool last = false;
};
}

void scan(XmlScan::Handler& handler, std::span<const std::string_view> spaces, const Stretch& stretch)
{
    try {
        XmlScan::Scanner scanner = stretch.index > 0 ? XmlScan::Scanner(handler, spaces, *stretch.head) : XmlScan::Scanner(handler, spaces);
        scanner.feed(stretch.text);
        if (stretch.last) scanner.finish();
        else if (!stretch.head || scanner.pause() != *stretch.head) throw Unsplittable();
    } catch (const XmlScan::Unsupported&) {
        throw Unsplittable();
    }
}

void read(const Path& zip, const std::string& entry, std::span<const std::string_view> spaces, std::string_view tag,
          const std::function<void(const Stretch&)>& readStretch)
{
    const std::string open = "<" + std::string(tag);
    std::optional<XmlScan::Scanner::Context> head;
    std::deque<Cut> cuts;
    std::vector<std::string> spares;
    std::size_t next = 0;
    bool ended = false, failed = false;
    std::mutex mutex;
    std::condition_variable changed;
    const std::size_t readers = std::clamp(std::thread::hardware_concurrency(), 2U, 8U);

    const auto reader = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return next < cuts.size() || ended || failed; });
            if (failed || next == cuts.size()) return;
            const std::size_t index = next++;
            Cut& cut = cuts[index];
            changed.notify_all();
            lock.unlock();
            try {
                readStretch({cut.text, index, cut.last, head ? &*head : nullptr});
            } catch (...) {
                lock.lock();
                failed = true;
                changed.notify_all();
                return;
            }
            // The same few buffers carry the whole part.
            cut.text.clear();
            lock.lock();
            spares.push_back(std::move(cut.text));
        }
    };
    // Hands a stretch to the readers once few enough are waiting.
    const auto hand = [&](std::string text, bool last) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return cuts.size() - next < readers || failed; });
        if (failed) throw Unsplittable();
        cuts.push_back({std::move(text), last});
        changed.notify_all();
    };
    const auto spare = [&] {
        const std::lock_guard lock(mutex);
        std::string text;
        if (spares.empty()) {
            text.reserve(stretchSize * 2);
        } else {
            text = std::move(spares.back());
            spares.pop_back();
        }
        return text;
    };

    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < readers; ++i) threads.emplace_back(reader);
    const auto stop = [&](bool failure) {
        {
            const std::lock_guard lock(mutex);
            ended = true;
            failed = failed || failure;
            changed.notify_all();
        }
        for (std::thread& thread : threads) thread.join();
    };
    try {
        std::string text = spare();
        std::size_t searched = 0;
        Package::stream(zip, entry, [&](std::string_view piece) {
            text += piece;
            if (!head) {
                const std::size_t first = tagAt(text, open, 0);
                if (first == std::string_view::npos) {
                    if (text.size() > longest) throw Unsplittable();
                    return;
                }
                Nothing nothing;
                XmlScan::Scanner scanner(nothing, spaces);
                scanner.feed(std::string_view(text).substr(0, first));
                head = scanner.pause();
            }
            while (text.size() > stretchSize) {
                const std::size_t at = tagAt(text, open, std::max(searched, stretchSize));
                if (at == std::string_view::npos) {
                    if (text.size() > longest) throw Unsplittable();
                    // A tag may straddle two pieces: its start is looked for again.
                    searched = text.size() - open.size();
                    return;
                }
                std::string rest = spare();
                rest.append(std::string_view(text).substr(at));
                text.resize(at);
                hand(std::move(text), false);
                text = std::move(rest);
                searched = 0;
            }
        });
        hand(std::move(text), true);
    } catch (...) {
        stop(true);
        throw Unsplittable();
    }
    stop(false);
    if (failed) throw Unsplittable();
}

}
