#pragma once

#include <optional>
#include <string>
#include <utility>

// The output name of zbuffer-render: a plain file name, or a pattern with one
// %d conversion (optional 0 flag and width, as in "turn_%03d.png") that
// numbers every frame. The pattern is expanded here, never by printf.
class FrameFileName {
public:
    explicit FrameFileName(std::string plainName) : prefix_(std::move(plainName)) {}

    // None, with the reason in `error`, for a '%' that is not such a
    // conversion or for more than one conversion.
    static std::optional<FrameFileName> Parse(const std::string& text, std::string* error);

    bool IsNumbered() const { return numbered_; }
    std::string ForFrame(int frame) const;
    // The frame whose name `name` is, whatever the frame count; none when no
    // frame has it.
    std::optional<int> FrameNamed(const std::string& name) const;
    // The folder part of the name up to the number, "" for none: every name
    // this pattern makes starts with it.
    std::string Folder() const;
    // What follows the first folder below Folder() in every name, or "" when
    // the names are files in Folder(): a pattern such as "run%d/frame.png"
    // names the folders run0, run1, ... there.
    std::string BelowFirstFolder() const;

private:
    std::string prefix_;  // the whole name when not numbered
    std::string suffix_;
    bool numbered_ = false;
    char pad_ = ' ';
    int width_ = 0;
};
