// window_timer PROGRAM [ARGS...]
// Starts PROGRAM, waits until it maps its first top-level window on the X display, then lets
// it idle briefly (WINDOW_TIMER_IDLE_MS, 500 ms) and ends it. Prints "map_ms=<ms> peak_rss_kb=<kb>".
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_timer PROGRAM [ARGS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double mapMs = -1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            mapMs =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            break;
        }
    }
    // Long enough for the first paint; longer under valgrind.
    const char* idle = std::getenv("WINDOW_TIMER_IDLE_MS");
    std::this_thread::sleep_for(std::chrono::milliseconds(idle ? std::atoi(idle) : 500));
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("map_ms=%.1f peak_rss_kb=%ld\n", mapMs, usage.ru_maxrss);
    XCloseDisplay(display);
    return 0;
}
