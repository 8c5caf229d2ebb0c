#include "model/page_prefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Asking for pages ahead must leave what they hold as it is: a request that
// dropped pages would hand back zeros where the reader had written.
TEST(PagePrefault, KeepsWhatThePagesHold)
{
    std::vector<uint32_t> values(3 << 20);  // 12 MiB: many whole pages
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<uint32_t>(i * 2654435761u);
    PrefaultCapacity(values);
    // Unaligned starts and lengths, down to less than a page.
    PrefaultPages(reinterpret_cast<uint8_t*>(values.data()) + 3, 123457);
    PrefaultPages(values.data() + 1, 10);
    PrefaultPages(values.data(), 0);
    for (std::size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(values[i], static_cast<uint32_t>(i * 2654435761u)) << i;
}

TEST(PagePrefault, ReservedCapacityStaysUsable)
{
    std::vector<double> values;
    values.reserve(1 << 20);
    PrefaultCapacity(values);
    for (int i = 0; i < (1 << 20); ++i)
        values.push_back(i * 0.5);
    EXPECT_EQ(values.front(), 0.0);
    EXPECT_EQ(values.back(), ((1 << 20) - 1) * 0.5);
    std::vector<int> empty;
    PrefaultCapacity(empty);  // no storage at all
    EXPECT_TRUE(empty.empty());
}

// Backing the pages past the records read so far, however far the count
// reaches, neither moves the array nor touches what it holds.
TEST(PagePrefault, PagesAheadOfTheRecordsLeaveThemAndTheArrayInPlace)
{
    std::vector<uint32_t> values;
    values.reserve(3 << 20);
    const uint32_t* const start = values.data();
    for (uint32_t i = 0; i < (3u << 20); ++i) {
        if (i % 100000 == 0) PrefaultAhead(values, 1 << 30);
        values.push_back(i * 2654435761u);
    }
    PrefaultAhead(values, 1);  // full: nothing ahead
    EXPECT_EQ(values.data(), start);
    for (uint32_t i = 0; i < (3u << 20); ++i)
        ASSERT_EQ(values[i], i * 2654435761u) << i;
    std::vector<int> none;
    PrefaultAhead(none, 100);  // no storage at all
    EXPECT_TRUE(none.empty());
}

}  // namespace
