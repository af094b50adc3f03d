#pragma once

#include <memory>
#include <string>

#include "platform/ui/Dialog.h" // kIdOk, kIdCancel

namespace ui {

// The window system for the life of the program: one per process, created before any dialog.
class Application {
  public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// A modal message box with text and an OK button. Texts in the window code page.
void MessageBox(Dialog* owner, const std::string& text, const std::string& caption);

} // namespace ui
