#include "app/frame_file_name.h"

#include <cctype>

namespace {

constexpr int kMaxWidth = 99;  // two digits at most

}  // namespace

std::optional<FrameFileName> FrameFileName::Parse(const std::string& text, std::string* error)
{
    const std::size_t percent = text.find('%');
    if (percent == std::string::npos) return FrameFileName(text);
    FrameFileName name(text.substr(0, percent));
    std::size_t pos = percent + 1;
    if (pos < text.size() && text[pos] == '0') {
        name.pad_ = '0';
        ++pos;
    }
    for (; pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])); ++pos) {
        name.width_ = name.width_ * 10 + (text[pos] - '0');
        if (name.width_ > kMaxWidth) break;
    }
    if (pos >= text.size() || text[pos] != 'd' || name.width_ > kMaxWidth) {
        *error = "'" + text + "' has a '%' that is not a %d, %0Nd or %Nd conversion";
        return std::nullopt;
    }
    if (text.find('%', pos) != std::string::npos) {
        *error = "'" + text + "' may hold only one %d conversion";
        return std::nullopt;
    }
    name.suffix_ = text.substr(pos + 1);
    name.numbered_ = true;
    return name;
}

std::string FrameFileName::ForFrame(int frame) const
{
    if (!numbered_) return prefix_;
    std::string number = std::to_string(frame);
    if (static_cast<int>(number.size()) < width_)
        number.insert(0, static_cast<std::size_t>(width_) - number.size(), pad_);
    return prefix_ + number + suffix_;
}
