#include "app/main_loop.h"

#include "app/application.h"
#include "app/layout.h"
#include "app/show_error.h"

void handleWindowEvent(WindowSystem& windows, WindowHandle window, const WindowEvent& event) {
    if (event.kind == WindowEvent::CloseRequest) windows.destroyWindow(window);
}

void runEventLoop(WindowSystem& windows, WindowHandle window, const std::function<bool()>& frame) {
    WindowEvent event;  // anything but Quit until the first event is taken
    while (event.kind != WindowEvent::Quit) {
        if (windows.takeEvent(&event)) handleWindowEvent(windows, window, event);
        else if (!frame()) windows.destroyWindow(window);
    }
}

int runProgram(WindowSystem& windows) {
    const Layout& l = layout();
    WindowHandle window = windows.createWindow("Frostel", l.width, l.height, l.windowIsScreenSized);
    if (!window) {
        showError("Something is terribly wrong, I can't create a window!");
        return 0;
    }
    windows.showWindow(window);

    Application app;
    if (!app.init(window)) {  // the failing part has said why
        windows.destroyWindow(window);
        return 0;
    }
    windows.hideCursor();  // the menus draw their own pointer
    runEventLoop(windows, window, [&] { return app.frame(window); });
    return 0;
}
