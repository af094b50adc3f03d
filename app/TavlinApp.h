#pragma once

// The application: checks the socket library, then runs the main window modally. When the window
// ends, the program ends.
class CTavlinApp {
public:
    // Always false: there is nothing to run once the main window has closed.
    bool InitInstance();
};
