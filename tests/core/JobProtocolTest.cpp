#include "core/JobProtocol.h"

#include <gtest/gtest.h>

using JobProtocol::Kind;
using JobProtocol::Record;

namespace {
const std::vector<Record> records = {
    {Kind::request, {"convert", "PNG", "/tmp/-a b\n\xff.heic", std::string("nul\0inside", 10)}},
    {Kind::progress, {"0.25"}},
    {Kind::finished, {"0", "", "0", ""}},
    {Kind::failed, {"error", std::string(70'000, 'x')}},
};
}

// However the bytes arrive, the same records come out, in order, and nothing is left over.
TEST(JobProtocol, RecordsSurviveAnySplitOfTheirBytes)
{
    std::string stream;
    for (const Record& record : records) stream += JobProtocol::encode(record);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4096}, stream.size()}) {
        JobProtocol::Decoder decoder;
        std::vector<Record> got;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            decoder.feed(std::string_view(stream).substr(at, piece));
            while (auto record = decoder.next()) got.push_back(*record);
        }
        EXPECT_EQ(got, records) << "pieces of " << piece;
        EXPECT_FALSE(decoder.midRecord());
    }
}

TEST(JobProtocol, GarbageIsNoticed)
{
    const std::string good = JobProtocol::encode({Kind::progress, {"0.5"}});
    std::string shortString = good;
    shortString[9] = 9;  // the string claims more bytes than its record holds
    std::string longRecord = good;
    longRecord[1] = static_cast<char>(good.size());  // the record holds more than its strings
    longRecord += std::string(good.size() - 5, '\0');
    const std::string cases[] = {
        "hello, world",  // not a kind at all
        std::string("\x02\xff\xff\xff\xff", 5),  // a payload far over the limit
        shortString,
        longRecord,
    };
    for (const std::string& bytes : cases) {
        JobProtocol::Decoder decoder;
        decoder.feed(bytes);
        EXPECT_THROW(while (decoder.next()) {}, std::runtime_error) << bytes;
    }
}
