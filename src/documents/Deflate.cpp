#include "documents/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace Deflate {

namespace {
constexpr std::size_t pieceSize = std::size_t(1) << 20;
// The window deflate can refer back to: a piece primed with this much of the text before it
// compresses as if it followed on.
constexpr std::size_t window = 32 * 1024;

// A piece of the text, held after the end of the text before it that primes it.
struct Piece {
    std::string text;
    std::size_t primed = 0;
    bool last = false;
};

// One piece as a run of deflate blocks; all but the last end on a byte boundary with a sync
// flush, so that the next piece's blocks can follow directly.
struct Done {
    std::string bytes;
    uLong crc = 0;
    std::size_t size = 0;
};

// One thread's compressor and output scratch, kept from piece to piece: fresh memory costs
// a page fault per page, and zero-filling it costs as much again.
class Deflater {
public:
    explicit Deflater(int level)
    {
        if (deflateInit2(&z_, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    Done compress(const Piece& piece)
    {
        Done done;
        const char* text = piece.text.data() + piece.primed;
        done.size = piece.text.size() - piece.primed;
        deflateReset(&z_);
        if (piece.primed > 0) deflateSetDictionary(&z_, reinterpret_cast<const Bytef*>(text - piece.primed), static_cast<uInt>(piece.primed));
        const std::size_t bound = deflateBound(&z_, static_cast<uLong>(done.size)) + 16;
        if (bound > scratchSize_) {
            scratch_.reset(new char[bound]);
            scratchSize_ = bound;
        }
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text));
        z_.avail_in = static_cast<uInt>(done.size);
        z_.next_out = reinterpret_cast<Bytef*>(scratch_.get());
        z_.avail_out = static_cast<uInt>(bound);
        const int rc = deflate(&z_, piece.last ? Z_FINISH : Z_SYNC_FLUSH);
        if (piece.last ? rc != Z_STREAM_END : rc != Z_OK || z_.avail_in != 0) throw std::bad_alloc();
        done.bytes.assign(scratch_.get(), z_.total_out);
        done.crc = crc32_z(0, reinterpret_cast<const Bytef*>(text), done.size);
        return done;
    }

private:
    z_stream z_{};
    std::unique_ptr<char[]> scratch_;
    std::size_t scratchSize_ = 0;
};

// Pieces handed over by the thread that makes them and compressed by helper threads, at most
// a few ahead, with their buffers handed back for the next pieces.
class Workers {
public:
    explicit Workers(int level) : level_(level) {}
    ~Workers()
    {
        {
            const std::lock_guard lock(mutex_);
            // After a failure the pieces still waiting are of no use.
            queue_.clear();
            closed_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    void submit(Piece piece)
    {
        std::unique_lock lock(mutex_);
        if (failure_) std::rethrow_exception(failure_);
        done_.emplace_back();
        const std::size_t index = done_.size() - 1;
        if (!piece.last) start(lock);
        if (threads_.empty()) {
            // A small text, or no thread to spare: this thread compresses it.
            lock.unlock();
            if (!inline_) inline_ = std::make_unique<Deflater>(level_);
            Done done = inline_->compress(piece);
            lock.lock();
            done_[index] = std::move(done);
            spare_.push_back(std::move(piece.text));
            return;
        }
        queue_.emplace_back(index, std::move(piece));
        changed_.notify_all();
        changed_.wait(lock, [&] { return queue_.size() < 2 * threads_.size() || failure_; });
    }

    // A buffer for the next piece: one handed back, or a new one.
    std::string buffer()
    {
        const std::lock_guard lock(mutex_);
        if (spare_.empty()) {
            // Room for a piece and the stretch that ends it, so that it need not move as it grows.
            std::string text;
            text.reserve(window + 2 * pieceSize);
            return text;
        }
        std::string text = std::move(spare_.back());
        spare_.pop_back();
        text.clear();
        return text;
    }

    std::vector<Done> finish()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return (queue_.empty() && busy_ == 0) || failure_; });
        if (failure_) std::rethrow_exception(failure_);
        return std::move(done_);
    }

private:
    void start(std::unique_lock<std::mutex>&)
    {
        if (started_) return;
        started_ = true;
        try {
            for (unsigned i = 0, n = std::max(1u, std::thread::hardware_concurrency()); i < n; ++i) threads_.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Fewer helpers, or none: submit then compresses on the calling thread.
        }
    }

    void work()
    {
        std::unique_lock lock(mutex_);
        try {
            Deflater deflater(level_);
            for (;;) {
                changed_.wait(lock, [&] { return !queue_.empty() || closed_; });
                if (queue_.empty()) return;
                auto [index, piece] = std::move(queue_.front());
                queue_.pop_front();
                ++busy_;
                changed_.notify_all();
                lock.unlock();
                Done done = deflater.compress(piece);
                lock.lock();
                --busy_;
                done_[index] = std::move(done);
                spare_.push_back(std::move(piece.text));
                changed_.notify_all();
            }
        } catch (...) {
            if (!lock.owns_lock()) lock.lock();
            if (!failure_) failure_ = std::current_exception();
            changed_.notify_all();
        }
    }

    const int level_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> threads_;
    std::deque<std::pair<std::size_t, Piece>> queue_;
    std::vector<Done> done_;
    std::vector<std::string> spare_;
    std::unique_ptr<Deflater> inline_;
    std::size_t busy_ = 0;
    bool started_ = false, closed_ = false;
    std::exception_ptr failure_;
};
}

Compressed generated(const Generator& next, int level)
{
    Workers workers(level);
    Piece piece;
    for (bool more = true; more;) {
        more = next(piece.text);
        while (more && piece.text.size() - piece.primed < pieceSize) more = next(piece.text);
        piece.last = !more;
        // The next piece starts with the end of this one, which primes it.
        std::string text = workers.buffer();
        if (more) {
            const std::size_t primed = std::min(window, piece.text.size());
            text.append(piece.text, piece.text.size() - primed, primed);
            workers.submit(std::move(piece));
            piece = Piece{std::move(text), primed, false};
        } else {
            workers.submit(std::move(piece));
        }
    }
    std::vector<Done> pieces = workers.finish();

    Compressed result;
    result.pieces.reserve(pieces.size());
    uLong crc = crc32(0, nullptr, 0);
    for (Done& done : pieces) {
        result.pieces.push_back(std::move(done.bytes));
        crc = crc32_combine(crc, done.crc, static_cast<z_off_t>(done.size));
        result.size += done.size;
    }
    result.crc = static_cast<std::uint32_t>(crc);
    return result;
}

Compressed raw(std::string_view text, int level)
{
    std::size_t at = 0;
    return generated(
        [&](std::string& out) {
            const std::size_t n = std::min(pieceSize, text.size() - at);
            out.append(text.data() + at, n);
            at += n;
            return at < text.size();
        },
        level);
}

}
