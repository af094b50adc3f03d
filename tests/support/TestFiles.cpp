#include "tests/support/TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <unistd.h>

namespace testenv {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "tavlin-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test may have taken the write right away to show a read-only folder.
    for (const auto& entry : fs::recursive_directory_iterator(m_path, ec))
        if (entry.is_directory(ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

RecordingOpener::RecordingOpener() {
    const std::string record = m_dir.File("args");
    // Arguments NUL-separated, written whole through a rename so a reader never sees half a record.
    WriteFile(m_dir.File("xdg-open"), "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"" + record + ".$$\"\nmv \"" + record +
                                          ".$$\" \"" + record + "\"\necho run >> \"" + m_dir.File("runs") + "\"\n");
    fs::permissions(m_dir.File("xdg-open"), fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    m_oldPath = path ? path : "";
    ::setenv("PATH", (m_dir.Path() + ":" + m_oldPath).c_str(), 1);
}

RecordingOpener::~RecordingOpener() { ::setenv("PATH", m_oldPath.c_str(), 1); }

std::vector<std::string> RecordingOpener::Arguments(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!fs::exists(m_dir.File("args")) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<std::string> args;
    std::istringstream in(ReadFile(m_dir.File("args")));
    for (std::string arg; std::getline(in, arg, '\0');)
        args.push_back(arg);
    return args;
}

int RecordingOpener::Runs() const {
    std::ifstream in(m_dir.File("runs"));
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    return lines;
}

} // namespace testenv
