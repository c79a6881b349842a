#pragma once
// Fixed-size arrays indexed from 1, as the documented records are. Indexing past either
// bound throws std::out_of_range (the original's "subscript out of range").

#include <array>
#include <cstddef>
#include <stdexcept>

template <typename T, std::size_t N>
class OneBased {
  public:
    static constexpr int size() { return static_cast<int>(N); }

    T& operator()(int i) { return m_items[index(i)]; }
    const T& operator()(int i) const { return m_items[index(i)]; }

    void fill(const T& value) { m_items.fill(value); }

    bool operator==(const OneBased&) const = default;

  private:
    static std::size_t index(int i) {
        if (i < 1 || i > static_cast<int>(N)) throw std::out_of_range("index outside 1..N");
        return static_cast<std::size_t>(i - 1);
    }

    std::array<T, N> m_items{};
};
