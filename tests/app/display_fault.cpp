// Test-only, preloaded into the window program under memcheck: the display
// callback the program registers is wrapped so that every frame also reads
// one byte past a heap block and loses a block. The memcheck test uses it to
// show that its suppressions hide no fault made in a display callback.
#include <dlfcn.h>

#include <cstddef>
#include <cstdlib>

namespace {

using Callback = void (*)();
using RegisterCallback = void (*)(Callback);

Callback gDisplay = nullptr;
void* volatile gLost = nullptr;
volatile std::size_t gBlockSize = 16;  // volatile: the compiler cannot see the read is past the end

void FaultyDisplay()
{
    gDisplay();
    const std::size_t size = gBlockSize;
    char* const block = static_cast<char*>(std::malloc(size));
    const volatile char* const past = block + size;
    static_cast<void>(*past);  // one byte after the block
    std::free(block);
    gLost = std::malloc(32);
    gLost = nullptr;  // the only pointer to it is gone
}

}  // namespace

extern "C" void glutDisplayFunc(Callback display)
{
    gDisplay = display;
    static const auto real =
        reinterpret_cast<RegisterCallback>(dlsym(RTLD_NEXT, "glutDisplayFunc"));
    if (real != nullptr) real(FaultyDisplay);
}
