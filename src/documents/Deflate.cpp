#include "documents/Deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <exception>
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

// One piece as a run of deflate blocks; all but the last end on a byte boundary with a sync
// flush, so that the next piece's blocks can follow directly.
std::string compressPiece(std::string_view text, std::size_t begin, std::size_t end, int level)
{
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
    const std::size_t primed = std::min(begin, window);
    if (primed > 0) deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(text.data() + begin - primed), static_cast<uInt>(primed));
    std::string out(deflateBound(&z, static_cast<uLong>(end - begin)) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + begin));
    z.avail_in = static_cast<uInt>(end - begin);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, end == text.size() ? Z_FINISH : Z_SYNC_FLUSH);
    const bool done = end == text.size() ? rc == Z_STREAM_END : rc == Z_OK && z.avail_in == 0;
    out.resize(z.total_out);
    deflateEnd(&z);
    if (!done) throw std::bad_alloc();
    return out;
}
}

Compressed raw(std::string_view text, int level)
{
    const std::size_t pieces = std::max<std::size_t>(1, (text.size() + pieceSize - 1) / pieceSize);
    std::vector<std::string> compressed(pieces);
    std::atomic<std::size_t> next = 0;
    std::exception_ptr failure;
    std::atomic<bool> failed = false;
    const auto work = [&] {
        for (std::size_t i = next++; i < pieces; i = next++) {
            try {
                compressed[i] = compressPiece(text, i * pieceSize, std::min(text.size(), (i + 1) * pieceSize), level);
            } catch (...) {
                if (!failed.exchange(true)) failure = std::current_exception();
            }
        }
    };
    const std::size_t helpers = std::min<std::size_t>(pieces, std::max(1u, std::thread::hardware_concurrency())) - 1;
    std::vector<std::thread> threads;
    try {
        for (std::size_t i = 0; i < helpers; ++i) threads.emplace_back(work);
    } catch (const std::system_error&) {
        // Without more threads this one does the rest.
    }
    work();
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);

    Compressed result;
    std::size_t total = 0;
    for (const std::string& piece : compressed) total += piece.size();
    result.bytes.reserve(total);
    for (const std::string& piece : compressed) result.bytes += piece;
    // The checksum is cheap next to deflating; in pieces because zlib counts in 32 bits.
    uLong crc = crc32(0, nullptr, 0);
    for (std::size_t at = 0; at < text.size(); at += pieceSize) {
        const std::size_t n = std::min(pieceSize, text.size() - at);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(text.data() + at), static_cast<uInt>(n));
    }
    result.crc = static_cast<std::uint32_t>(crc);
    return result;
}

}
