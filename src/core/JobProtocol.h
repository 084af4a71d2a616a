#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a job process and the application say to each other over the job's socket. Each
// record is one kind byte, a payload length (4 bytes, little-endian) and the payload: a
// count and that many byte strings, each with its own length. Paths go as raw bytes, so
// any byte a file name may hold arrives unchanged.
namespace JobProtocol {
enum class Kind : std::uint8_t {
    request = 1,   // application → job: mode word, option title, editor choice (Editing::word), then the files
    progress = 2,  // fraction done, as decimal text
    reserved = 3,  // a name the job has just created exclusively (file or folder)
    kept = 4,      // a reserved name now holds a finished output
    released = 5,  // a reserved name the job removed again itself
    finished = 6,  // "1" and the message, or "0" and ""; the same for the clipboard text; then the outputs
    failed = 7,    // "cancel" or "error", then the sentence a user reads
};

struct Record {
    Kind kind;
    std::vector<std::string> texts;
    bool operator==(const Record&) const = default;
};

std::string encode(const Record& record);
// Writes the whole record to a socket; false when the other end is gone.
bool send(int socket, const Record& record);

// Takes bytes in pieces of any size and hands back whole records. Throws std::runtime_error
// on bytes that cannot be a record (an unknown kind, a payload over the size limit, or one
// whose strings do not fill it exactly); the stream is then beyond repair.
class Decoder {
public:
    void feed(std::string_view bytes);
    std::optional<Record> next();
    // Bytes received that do not yet make a whole record.
    bool midRecord() const { return !buffer_.empty(); }

private:
    std::string buffer_;
};
}
