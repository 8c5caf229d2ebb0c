// A library that only the probe library needs, so the loader must look for it
// along the probe library's RUNPATH.
int LoaderProbeDependency()
{
    return 1;
}
