// Opened by loader_probe: its RUNPATH holds $ORIGIN, which the loader scans
// when it looks for the dependency.
int LoaderProbeDependency();

int LoaderProbeLibrary()
{
    return LoaderProbeDependency();
}
