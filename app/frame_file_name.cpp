#include "app/frame_file_name.h"

#include <cctype>
#include <charconv>

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

std::optional<int> FrameFileName::FrameNamed(const std::string& name) const
{
    if (!numbered_) return name == prefix_ ? std::optional<int>(0) : std::nullopt;
    if (name.size() < prefix_.size() + suffix_.size() ||
        name.compare(0, prefix_.size(), prefix_) != 0 ||
        name.compare(name.size() - suffix_.size(), suffix_.size(), suffix_) != 0)
        return std::nullopt;
    const char* begin = name.data() + prefix_.size();
    const char* end = name.data() + name.size() - suffix_.size();
    while (begin < end && *begin == pad_ && end - begin > 1)
        ++begin;
    int frame = 0;
    const auto [stop, ec] = std::from_chars(begin, end, frame);
    if (ec != std::errc() || stop != end || frame < 0 || ForFrame(frame) != name)
        return std::nullopt;
    return frame;
}

std::string FrameFileName::Folder() const
{
    const std::size_t slash = prefix_.rfind('/');
    return slash == std::string::npos ? "" : prefix_.substr(0, slash + 1);
}

std::string FrameFileName::BelowFirstFolder() const
{
    const std::size_t slash = numbered_ ? suffix_.find('/') : std::string::npos;
    return slash == std::string::npos ? "" : suffix_.substr(slash);
}
