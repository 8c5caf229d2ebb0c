#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// Backs the whole pages of `bytes` bytes at `start` with memory now, in one
// request to the system, instead of one page fault per 4 KiB page as they are
// first written. A mesh of a million faces fills about 120 MB of new arrays,
// and taking their pages one fault at a time costs as much as reading the
// file. Only a hint: where the system offers no such request, it does nothing.
void PrefaultPages(void* start, std::size_t bytes);

// The same for a vector's whole capacity, for arrays reserved before they are filled.
template <class T>
void PrefaultCapacity(std::vector<T>& v)
{
    PrefaultPages(v.data(), v.capacity() * sizeof(T));
}

// The same for the `count` elements after a vector's size, as far as its
// capacity reaches: an array reserved for records still to be read is backed
// a block at a time as they arrive.
template <class T>
void PrefaultAhead(std::vector<T>& v, std::size_t count)
{
    const std::size_t end = std::min(v.capacity(), v.size() + count);
    if (end > v.size())
        PrefaultPages(reinterpret_cast<unsigned char*>(v.data()) + v.size() * sizeof(T),
                      (end - v.size()) * sizeof(T));
}
