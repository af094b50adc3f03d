#include "platform/host/SettingsPath.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace host {
namespace {

constexpr char kAppFolder[] = "tavlin";

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

} // namespace

std::string ExecutableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path())
        return {};
    return exe.parent_path().string();
}

std::string ResolveSettingsFile(const std::string& exeDir, const std::string& fileName) {
    std::error_code ec;
    if (!exeDir.empty() && std::filesystem::is_directory(exeDir, ec) && ::access(exeDir.c_str(), W_OK) == 0)
        return (std::filesystem::path(exeDir) / fileName).string();

    // XDG base directories: a relative $XDG_CONFIG_HOME is invalid and ignored.
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        base = xdg;
    else
        base = std::filesystem::path(HomeDirectory()) / ".config";
    return (base / kAppFolder / fileName).string();
}

} // namespace host
