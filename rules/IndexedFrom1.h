#pragma once

#include <array>
#include <cassert>
#include <concepts>
#include <cstddef>
#include <cstdint>

namespace tavlor {

// A fixed-size array numbered from 1, the way the game's data is counted everywhere (files,
// ranks, history entries, castling rights), so that no caller has to shift indexes.
template <typename T, std::size_t N>
class TIndexedFrom1 {
public:
    constexpr T& operator[](std::int32_t index) {
        assert(index >= 1 && static_cast<std::size_t>(index) <= N);
        return Items[static_cast<std::size_t>(index - 1)];
    }
    constexpr const T& operator[](std::int32_t index) const {
        assert(index >= 1 && static_cast<std::size_t>(index) <= N);
        return Items[static_cast<std::size_t>(index - 1)];
    }
    static constexpr std::int32_t Size() { return static_cast<std::int32_t>(N); }
    constexpr void Fill(const T& value) { Items.fill(value); }
    constexpr bool operator==(const TIndexedFrom1& other) const
        requires std::equality_comparable<T>
    {
        return Items == other.Items;
    }

    std::array<T, N> Items{};
};

}  // namespace tavlor
