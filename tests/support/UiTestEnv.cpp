#include "tests/support/UiTestEnv.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "platform/ui/Application.h"
#include "res/Images.h"

namespace testenv {

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "tavlin-tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<ui::Application>(argc, argv);
        res::RegisterImages();
    }
    // Destroyed while the test program still runs, so that nothing of the window system outlives it.
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<ui::Application> m_app;
};

const ::testing::Environment* const kApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > timeout.count())
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void ProcessEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tavlin-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
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

} // namespace testenv
