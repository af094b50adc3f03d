#pragma once

#include <chrono>
#include <string>
#include <vector>

// Files and folders that tests make for themselves, and a stand-in for the desktop's opener.
namespace testenv {

// A fresh, empty directory that is removed (whatever its permissions) with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// A recording xdg-open first on PATH for the object's life, so that no test starts a browser: each
// run records its arguments and counts itself.
class RecordingOpener {
public:
    RecordingOpener();
    ~RecordingOpener();
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    // The arguments of the last run, once there has been one (bounded wait); empty if none came.
    std::vector<std::string> Arguments(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // How many times it has run.
    int Runs() const;
    const std::string& Dir() const { return m_dir.Path(); }

private:
    TempDir m_dir;
    std::string m_oldPath;
};

} // namespace testenv
