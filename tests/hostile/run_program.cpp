#include "run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "model/ply_test_files.h"

namespace {

// In the child: the time limit survives exec as a pending alarm, whose
// default action ends the program.
[[noreturn]] void Exec(const std::vector<std::string>& argv, unsigned seconds,
                       const std::string& outPath, const std::string& errPath)
{
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
        _exit(127);
    alarm(seconds);
    execv(args[0], args.data());
    _exit(127);
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, unsigned seconds)
{
    const std::string outPath = WriteTestFile("run.out", "");
    const std::string errPath = WriteTestFile("run.err", "");
    const pid_t child = fork();
    if (child == 0) Exec(argv, seconds, outPath, errPath);
    ProgramRun run;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return run;
    if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.timedOut = run.signal == SIGALRM;
    run.out = ReadWholeFile(outPath);
    run.err = ReadWholeFile(errPath);
    return run;
}
