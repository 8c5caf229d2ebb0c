#include "app/draw_threads.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

// ZBUFFER_THREADS set to `value` (unset for null) for the test's length.
class ThreadsVariable {
public:
    explicit ThreadsVariable(const char* value)
    {
        if (value == nullptr)
            unsetenv("ZBUFFER_THREADS");
        else
            setenv("ZBUFFER_THREADS", value, 1);
    }
    ~ThreadsVariable() { unsetenv("ZBUFFER_THREADS"); }
    ThreadsVariable(const ThreadsVariable&) = delete;
    ThreadsVariable& operator=(const ThreadsVariable&) = delete;
};

TEST(DrawThreads, TheVariableUnsetOrEmptyLeavesTheProgramsOwnDefault)
{
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        const ThreadsVariable set(value);
        std::ostringstream err;
        EXPECT_EQ(ThreadsFromEnvironment("zbuffer", 1, err), 1);
        EXPECT_EQ(ThreadsFromEnvironment("zbuffer-view", 6, err), 6);
        EXPECT_EQ(err.str(), "");
    }
}

TEST(DrawThreads, AWholeNumberFromOneTo256IsTheThreads)
{
    for (const int threads : {1, 3, 256}) {
        const ThreadsVariable set(std::to_string(threads).c_str());
        std::ostringstream err;
        EXPECT_EQ(ThreadsFromEnvironment("zbuffer", 1, err), threads);
        EXPECT_EQ(err.str(), "");
    }
}

TEST(DrawThreads, AnythingElseIsRefusedWithOneLineNamingTheVariable)
{
    for (const char* value : {"0", "257", "-2", "4 ", " 4", "2.5", "four", "99999999999", "3\n"}) {
        const ThreadsVariable set(value);
        std::ostringstream err;
        EXPECT_FALSE(ThreadsFromEnvironment("zbuffer-view", 2, err)) << value;
        EXPECT_EQ(err.str().rfind("zbuffer-view: ZBUFFER_THREADS: '", 0), 0u) << err.str();
        EXPECT_NE(err.str().find("' is not a whole number from 1 to 256\n"), std::string::npos);
        EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << "one line for " << value;
    }
}

}  // namespace
