// A growing array of plain values whose room comes from realloc, for the word list's large buffers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

// A large block grows where it lies (Linux remaps its pages rather than copying them), so growing never
// needs the old and the new block at once, and room not yet written costs no memory.
template <typename T> class GrowBuffer
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowBuffer() = default;
    GrowBuffer(const GrowBuffer &other) { append(other.data(), other.size()); }
    GrowBuffer(GrowBuffer &&other) noexcept
        : data_(std::exchange(other.data_, nullptr))
        , size_(std::exchange(other.size_, 0))
        , capacity_(std::exchange(other.capacity_, 0))
    {
    }
    GrowBuffer &operator=(GrowBuffer other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    ~GrowBuffer() { std::free(data_); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T *data() const { return data_; }
    T *data() { return data_; }
    const T *begin() const { return data_; }
    const T *end() const { return data_ + size_; }
    const T &operator[](std::size_t i) const { return data_[i]; }
    T &operator[](std::size_t i) { return data_[i]; }
    T &back() { return data_[size_ - 1]; }
    const T &back() const { return data_[size_ - 1]; }

    void push_back(T value)
    {
        if (size_ == capacity_)
            Grow(size_ + 1);
        data_[size_++] = value;
    }
    void append(const T *values, std::size_t count)
    {
        if (count != 0)
            std::memcpy(Extend(count), values, count * sizeof(T));
    }
    // Room for count more values at the end, left for the caller to write.
    T *Extend(std::size_t count)
    {
        if (count > capacity_ - size_)
            Grow(size_ + count);
        size_ += count;
        return data_ + size_ - count;
    }
    void Fill(std::size_t count, T value) { std::fill_n(Extend(count), count, value); }
    // Only ever shrinks: what was written beyond stays room.
    void Truncate(std::size_t size) { size_ = std::min(size, size_); }

private:
    void Grow(std::size_t needed)
    {
        // Half as much again: room ahead stays a small part of what is held.
        const std::size_t capacity = std::max({needed, capacity_ + capacity_ / 2, std::size_t {16}});
        if (capacity > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        void *grown = std::realloc(data_, capacity * sizeof(T));
        if (grown == nullptr)
            throw std::bad_alloc();
        data_ = static_cast<T *>(grown);
        capacity_ = capacity;
    }

    T *data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};
