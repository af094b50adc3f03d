#include "platform/host/Profile.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr mode_t kNewFileMode = 0644;

// A profile file as lines, each kept byte for byte with its own line ending.
struct ProfileText {
    std::vector<std::string> lines;
    std::string newline = "\n"; // the ending the file already uses, for lines we add
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ProfileText SplitLines(const std::string& data) {
    ProfileText text;
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t nl = data.find('\n', start);
        const std::size_t end = nl == std::string::npos ? data.size() : nl + 1;
        text.lines.emplace_back(data, start, end - start);
        start = end;
    }
    if (!text.lines.empty() && text.lines.front().ends_with("\r\n"))
        text.newline = "\r\n";
    return text;
}

// The line without its ending and, on the first line, without a byte-order mark.
std::string_view Content(const ProfileText& text, std::size_t i) {
    std::string_view s = text.lines[i];
    if (i == 0 && s.starts_with(kUtf8Bom))
        s.remove_prefix(kUtf8Bom.size());
    return Trim(s);
}

// "[name]" gives name; any other line gives nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line, std::string_view key, std::string_view* value) {
    if (line.empty() || line.front() == ';')
        return false;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !SameName(Trim(line.substr(0, eq)), key))
        return false;
    if (value)
        *value = Trim(line.substr(eq + 1));
    return true;
}

// Lines [first, last) of the section's body, when the section exists (the first one of that name).
struct SectionRange {
    std::size_t header;
    std::size_t first;
    std::size_t last;
};

std::optional<SectionRange> FindSection(const ProfileText& text, std::string_view section) {
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = SectionName(Content(text, i));
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < text.lines.size() && !SectionName(Content(text, end)))
            ++end;
        return SectionRange{i, i + 1, end};
    }
    return std::nullopt;
}

// Decimal with an optional sign; reading stops at the first non-digit. Wraps like a 32-bit value.
int ParseInt(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::uint32_t value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        value = value * 10U + static_cast<std::uint32_t>(s[i] - '0');
    if (negative)
        value = 0U - value;
    return static_cast<int>(value);
}

mode_t ModeForNewFile() {
    // The process umask, read without changing it (umask() would race with other threads).
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(0666 & ~std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return kNewFileMode;
}

// Replaces path by data: written to a temporary file beside it and renamed over it, so a crash
// leaves either the old file or the new one, never a cut one.
bool ReplaceFile(const std::string& path, const std::string& data) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);

    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : ModeForNewFile();
    std::string tmp = target.string() + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

int GetProfileInt(const std::string& section, const std::string& key, int def, const std::string& path) {
    const auto data = ReadFile(path);
    if (!data)
        return def;
    const ProfileText text = SplitLines(*data);
    const auto range = FindSection(text, section);
    if (!range)
        return def;
    for (std::size_t i = range->first; i < range->last; ++i) {
        std::string_view value;
        if (IsKeyLine(Content(text, i), key, &value))
            return value.empty() ? def : ParseInt(value); // an empty value reads like a missing one
    }
    return def;
}

bool WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                        const std::string& path) {
    if (Trim(section).empty() || Trim(key).empty() || section.find(']') != std::string::npos ||
        key.find('=') != std::string::npos || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value))
        return false;

    ProfileText text = SplitLines(ReadFile(path).value_or(std::string()));
    std::string keyValue = key;
    keyValue.append("=").append(value);
    const std::string entry = keyValue + text.newline;
    // A last line without an ending gets one before anything is added after it.
    const auto endLastLine = [&text] {
        if (!text.lines.empty() && !text.lines.back().ends_with('\n'))
            text.lines.back() += text.newline;
    };

    if (const auto range = FindSection(text, section)) {
        std::size_t insertAt = range->first;
        bool replaced = false;
        for (std::size_t i = range->first; i < range->last; ++i) {
            if (IsKeyLine(Content(text, i), key, nullptr)) {
                const bool hadEnding = text.lines[i].ends_with('\n');
                text.lines[i] = hadEnding ? entry : keyValue;
                replaced = true;
                break;
            }
            if (!Content(text, i).empty())
                insertAt = i + 1; // after the section's last non-blank line
        }
        if (!replaced) {
            if (insertAt == text.lines.size())
                endLastLine();
            text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        }
    } else {
        endLastLine();
        std::string header = "[";
        header.append(section).append("]").append(text.newline);
        text.lines.push_back(std::move(header));
        text.lines.push_back(entry);
    }

    std::string data;
    for (const auto& line : text.lines)
        data += line;
    return ReplaceFile(path, data);
}

} // namespace host
