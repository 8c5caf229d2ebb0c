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

}  // namespace
