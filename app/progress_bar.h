#pragma once

#include <ostream>
#include <string>

// A one-line report of a long run on a terminal: frames done, frames per
// second and time left. It appears once the run has lasted two seconds, so
// short runs print nothing, and a disabled bar (standard error is no
// terminal) never prints.
class ProgressBar {
public:
    ProgressBar(std::ostream& out, int total, bool enabled)
        : out_(out), total_(total), enabled_(enabled)
    {
    }

    // Called after each frame.
    void Show(int done, double elapsedSeconds);
    // Called at the end, and before a message on the same terminal.
    void Hide();

private:
    std::ostream& out_;
    int total_;
    bool enabled_;
    bool shown_ = false;
};

// "[#####---------] 120/2000 frames  48.3 fps  0:38 left"
std::string ProgressLine(int done, int total, double elapsedSeconds);
