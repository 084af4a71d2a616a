#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

// An enumeration described by a table of one row per case, in case order. Every row has
// `value` (the case) and `raw` (its stored text); the other columns are the enumeration's own.
namespace EnumTable {
template <class Row, std::size_t N>
const Row& row(const std::array<Row, N>& table, decltype(Row::value) value)
{
    return table[static_cast<std::size_t>(value)];
}

// The case whose raw value is exactly `raw`; none for anything else (raw values are case-sensitive).
template <class Row, std::size_t N>
std::optional<decltype(Row::value)> parse(const std::array<Row, N>& table, std::string_view raw)
{
    for (const Row& r : table) {
        if (raw == r.raw) return r.value;
    }
    return std::nullopt;
}

template <class Row, std::size_t N>
std::vector<decltype(Row::value)> cases(const std::array<Row, N>& table)
{
    std::vector<decltype(Row::value)> all;
    for (const Row& r : table) all.push_back(r.value);
    return all;
}
}
