// A growable block of bytes from malloc: the store of a partition, the
// records of a run, the blocks a list is read in. Growth goes through
// realloc, which moves large blocks by remapping instead of copying. A
// request the system refuses throws std::bad_alloc, which a run reports as
// "not enough memory". A buffer may also lend memory another owner gives
// back: it then frees nothing, and growing it moves it to the heap.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace lintrim {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)),
          m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0)),
          m_owned(std::exchange(other.m_owned, true)) {}
    ByteBuffer& operator=(ByteBuffer&& other) noexcept {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_owned, other.m_owned);
        return *this;
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer() {
        if (m_owned) std::free(m_data);
    }

    // An empty buffer over `capacity` bytes at `data`, which outlive it.
    static ByteBuffer Borrowed(char* data, size_t capacity) {
        ByteBuffer buffer;
        buffer.m_data = data;
        buffer.m_capacity = capacity;
        buffer.m_owned = false;
        return buffer;
    }

    char* Data() const { return m_data; }
    size_t Size() const { return m_size; }
    size_t Capacity() const { return m_capacity; }
    bool Empty() const { return m_size == 0; }

    // Room for at least `capacity` bytes in all; the contents stay.
    void Reserve(size_t capacity) {
        if (capacity <= m_capacity) return;
        // No address space holds more; asking would only make the
        // sanitizers' allocators end the program instead of saying no.
        if (capacity > kLargestBlock) throw std::bad_alloc();
        if (!m_owned) return MoveToHeap(capacity);
        void* grown = std::realloc(m_data, capacity);
        if (!grown) throw std::bad_alloc();
        m_data = static_cast<char*>(grown);
        m_capacity = capacity;
    }
    // `bytes` more bytes at the end, uninitialised; returns where they start.
    char* Extend(size_t bytes) {
        if (bytes > m_capacity - m_size) Reserve(Grown(m_size + bytes));
        char* at = m_data + m_size;
        m_size += bytes;
        return at;
    }
    void Append(const void* bytes, size_t size) {
        if (size) std::memcpy(Extend(size), bytes, size);
    }
    void Resize(size_t size) {
        Reserve(size);
        m_size = size;
    }
    // Gives back the room past the contents.
    void ShrinkToFit() {
        if (!m_owned || m_size == m_capacity || m_size == 0) return;
        if (void* shrunk = std::realloc(m_data, m_size)) {
            m_data = static_cast<char*>(shrunk);
            m_capacity = m_size;
        }
    }
    // Keeps the memory for reuse.
    void Clear() { m_size = 0; }
    // Gives the memory back.
    void Release() { *this = ByteBuffer(); }

private:
    void MoveToHeap(size_t capacity) {
        void* moved = std::malloc(capacity);
        if (!moved) throw std::bad_alloc();
        if (m_size) std::memcpy(moved, m_data, m_size);
        m_data = static_cast<char*>(moved);
        m_capacity = capacity;
        m_owned = true;
    }
    size_t Grown(size_t needed) const {
        size_t capacity = m_capacity ? m_capacity : kFirstCapacity;
        while (capacity < needed) capacity += capacity / 2 + kFirstCapacity;
        return capacity;
    }
    static constexpr size_t kFirstCapacity = 4096;
    static constexpr size_t kLargestBlock = size_t{1} << 47;

    char* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_owned = true;
};

}  // namespace lintrim
