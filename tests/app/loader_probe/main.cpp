// Opens the library named on the command line, as Mesa opens its driver:
// under memcheck this makes the dynamic loader's RUNPATH scan run.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    void* const library = dlopen(argv[1], RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "loader_probe: %s\n", dlerror());
        return 1;
    }
    dlclose(library);
    return 0;
}
