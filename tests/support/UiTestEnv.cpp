#include "tests/support/UiTestEnv.h"

#include <cstdlib>
#include <memory>
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

} // namespace testenv
