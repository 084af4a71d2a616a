#include "core/JobProtocol.h"

#include <cerrno>
#include <stdexcept>
#include <sys/socket.h>

namespace JobProtocol {

namespace {
// Far above any real record (a selection of thousands of paths), far below harm.
constexpr std::uint32_t largestPayload = 64u << 20;

void put32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xff));
}

std::uint32_t get32(std::string_view in, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return value;
}

bool knownKind(unsigned char kind)
{
    return kind >= static_cast<unsigned char>(Kind::request) && kind <= static_cast<unsigned char>(Kind::failed);
}

std::vector<std::string> texts(std::string_view payload)
{
    if (payload.size() < 4) throw std::runtime_error("job record too short");
    const std::uint32_t count = get32(payload, 0);
    std::vector<std::string> result;
    std::size_t at = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (payload.size() - at < 4) throw std::runtime_error("job record cut short");
        const std::uint32_t length = get32(payload, at);
        at += 4;
        if (payload.size() - at < length) throw std::runtime_error("job record cut short");
        result.emplace_back(payload.substr(at, length));
        at += length;
    }
    if (at != payload.size()) throw std::runtime_error("job record longer than its strings");
    return result;
}
}

std::string encode(const Record& record)
{
    std::string payload;
    put32(payload, static_cast<std::uint32_t>(record.texts.size()));
    for (const std::string& text : record.texts) {
        put32(payload, static_cast<std::uint32_t>(text.size()));
        payload += text;
    }
    if (payload.size() > largestPayload) throw std::length_error("job record too large");
    std::string out(1, static_cast<char>(record.kind));
    put32(out, static_cast<std::uint32_t>(payload.size()));
    return out + payload;
}

bool send(int socket, const Record& record)
{
    const std::string bytes = encode(record);
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void Decoder::feed(std::string_view bytes)
{
    buffer_.append(bytes);
}

std::optional<Record> Decoder::next()
{
    if (buffer_.empty()) return std::nullopt;
    const auto kind = static_cast<unsigned char>(buffer_[0]);
    if (!knownKind(kind)) throw std::runtime_error("unknown job record");
    if (buffer_.size() < 5) return std::nullopt;
    const std::uint32_t length = get32(buffer_, 1);
    if (length > largestPayload) throw std::runtime_error("job record too large");
    if (buffer_.size() - 5 < length) return std::nullopt;
    Record record{static_cast<Kind>(kind), texts(std::string_view(buffer_).substr(5, length))};
    buffer_.erase(0, 5 + static_cast<std::size_t>(length));
    return record;
}

}
