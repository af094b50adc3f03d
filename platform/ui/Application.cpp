#include "platform/ui/Application.h"

#include <cstdlib>

#include <QApplication>

#include "platform/ui/DialogUnits.h"
#include "platform/ui/MessageBoxDialog.h"

namespace ui {
namespace {

constexpr char kStyle[] = "Fusion";
// Menus and message boxes use the dialogs' font.
constexpr char kDefaultFace[] = "MS Shell Dlg";
constexpr int kDefaultPointSize = 9;

// Set when the process runs its exit handlers. An Application that lives in a static object is
// destroyed then, after Qt's own globals: destroying the Qt application object at that point
// crashes, so it is left to the ending process instead (still reachable from here).
bool g_exiting = false;
QApplication* g_leftToExit = nullptr;

void MarkExiting() {
    g_exiting = true;
}

} // namespace

struct Application::Impl {
    std::unique_ptr<QApplication> app;
};

Application::Application(int& argc, char** argv) : m_impl(std::make_unique<Impl>()) {
    if (QCoreApplication::instance() == nullptr)
        m_impl->app = std::make_unique<QApplication>(argc, argv);
    // Registered after the static that may hold this object, so it runs before that one's end.
    std::atexit(MarkExiting);
    // The same look on every desktop, and no Qt default that ends the program behind its back:
    // the program ends when its main dialog's modal run returns.
    QApplication::setStyle(QString::fromLatin1(kStyle));
    QApplication::setFont(DialogFont(kDefaultFace, kDefaultPointSize));
    QApplication::setQuitOnLastWindowClosed(false);
}

Application::~Application() {
    if (g_exiting)
        g_leftToExit = m_impl->app.release();
}

void MessageBox(Dialog* owner, const std::string& text, const std::string& caption) {
    MessageBoxDialog box(owner, text, caption);
    box.DoModal();
}

} // namespace ui
