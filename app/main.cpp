#include "app/TavlinApp.h"
#include "platform/ui/Application.h"
#include "res/Images.h"

int main(int argc, char** argv) {
    ui::Application application(argc, argv);
    res::RegisterImages();
    CTavlinApp app;
    app.InitInstance();
    return 0;
}
