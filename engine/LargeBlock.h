// Memory for the big arrays of a run (a list's bytes, the table's columns):
// mapped straight from the system and backed by huge pages where it offers
// them, which spares the sorts most of their address-translation misses and
// the loader most of its page faults. A request the system cannot meet gives
// an empty block instead of ending the program.
#pragma once

#include <cstddef>
#include <utility>

class LargeBlock {
public:
    LargeBlock() = default;
    // `bytes` of memory, or an empty block when it cannot be had.
    static LargeBlock Take(size_t bytes);

    LargeBlock(LargeBlock&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
    LargeBlock& operator=(LargeBlock&& other) noexcept;
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;
    ~LargeBlock() { Release(); }

    void* Data() const { return m_data; }
    explicit operator bool() const { return m_data != nullptr; }

private:
    LargeBlock(void* data, size_t size) : m_data(data), m_size(size) {}
    void Release();

    void* m_data = nullptr;
    size_t m_size = 0;
};

// A column of the line table: `rows` elements, not initialised.
template <typename T>
class Column {
public:
    Column() = default;
    static Column Take(size_t rows) {
        Column column;
        column.m_block = LargeBlock::Take(rows ? rows * sizeof(T) : sizeof(T));
        column.m_data = static_cast<T*>(column.m_block.Data());
        return column;
    }
    T& operator[](ptrdiff_t row) const { return m_data[row]; }
    T* Data() const { return m_data; }
    explicit operator bool() const { return m_data != nullptr; }

private:
    LargeBlock m_block;
    T* m_data = nullptr;
};
