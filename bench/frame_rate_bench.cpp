// Frame rate of a practice match against the bare limit of presenting at all, in one run.
//
// The program's own code on the real OpenGL device: the window, Application and its frame
// exactly as the game runs them, with the refresh pacing off. Only the input is scripted (a
// click through the intro, a click on the practice item, then mouse play and figure keys).
// The bare loop uses the same device and back buffer and only clears and presents. The two
// alternate in rounds so that a busy machine slows both alike; the figure is the ratio of
// the medians. Each phase also reports the CPU time a frame takes on all threads, and a
// third phase plays on with every triangle culled after set-up, which parts the cost of
// rasterising and shading from the rest (OpenGL only). Built once per layout (frame_rate_bench,
// frame_rate_bench_640), and for Windows on the Direct3D 9 device (bench_platform.h).
//
// Usage: frame_rate_bench [SECONDS per phase, default 3] [ROUNDS, default 3]
// Run under a display, e.g. xvfb-run -a -s "-screen 0 1024x768x24" with LIBGL_ALWAYS_SOFTWARE=1;
// the Windows build under Wine on such a display.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/layout.h"
#include "app/show_error.h"
#include "bench_platform.h"
#include "graphics/graphics_device.h"
#include "median.h"
#include "input/key_buffer.h"
#include "platform/fake/fake_input_system.h"
#include "platform/render_device.h"
#include "sim/game.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Driver {
    WindowSystem* windows;
    WindowHandle window;
    Application* app;

    void pumpEvents() {
        WindowEvent e;
        while (windows->takeEvent(&e)) {
        }
    }

    // One frame of the program: its events, then Application::frame.
    bool gameFrame() {
        pumpEvents();
        FakeInput::script().log.clear();
        return app->frame(window);
    }

    // Only what presenting costs: clear the back buffer and show it.
    void bareFrame() {
        pumpEvents();
        RenderDevice* d = app->graphics->device();
        d->clear(kClearTarget | kClearZBuffer, 0x01000000u, 1.0f, 0);
        d->beginScene();
        d->endScene();
        d->present();
    }

    void click() {
        FakeInputScript& s = FakeInput::script();
        s.mouseButtons[0] = 0;
        gameFrame();
        s.mouseButtons[0] = 0x80;
        gameFrame();
        s.mouseButtons[0] = 0;
        gameFrame();
    }

    // Moves the drawn pointer to a place in 1024x768 menu coordinates.
    bool pointTo(int x, int y) {
        const int tx = x + layout().shiftX, ty = y + layout().shiftY;
        for (int i = 0; i < 300; ++i) {
            const int dx = tx - app->game->flow.pointerX, dy = ty - app->game->flow.pointerY;
            if (std::abs(dx) < 6 && std::abs(dy) < 6) return true;
            MouseStateRecord r;
            r.x = std::clamp(dx * 2, -40, 40);
            r.y = std::clamp(dy * 2, -40, 40);
            FakeInput::script().mouseReads.push_back(r);
            gameFrame();
        }
        return false;
    }
};

// A player's hand: small mouse sweeps, now and then another figure.
class Player {
public:
    void next() {
        FakeInputScript& s = FakeInput::script();
        MouseStateRecord r;
        r.x = static_cast<int32_t>(rand() % 31) - 15;
        r.y = static_cast<int32_t>(rand() % 31) - 15;
        s.mouseReads.push_back(r);
        for (int k = 0; k < 6; ++k) s.keys[key::Digit1 + k] = 0;
        if (++frame_ % 90 < 2) s.keys[key::Digit1 + (frame_ / 90) % 6] = 0x80;
    }

private:
    unsigned rand() { return state_ = state_ * 1103515245u + 12345u, state_ >> 8; }
    unsigned state_ = 12345;
    int frame_ = 0;
};

// CPU time of the whole process, the renderer's threads included.
double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Rate {
    double fps = 0, cpuMs = 0;  // frames a second; CPU milliseconds a frame
};

template <typename Frame>
Rate measure(double seconds, Frame frame) {
    const double cpu = processCpuSeconds();
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    long frames = 0;
    auto now = start;
    while (now < end) {
        frame();
        ++frames;
        now = Clock::now();
    }
    return {double(frames) / std::chrono::duration<double>(now - start).count(),
            (processCpuSeconds() - cpu) * 1e3 / double(frames)};
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    std::filesystem::current_path(FROSTEL_RUN_DIR);  // the generated assets

    std::string reason;
    WindowSystem* windows = startBenchPlatform(&reason);
    if (!windows) {
        std::fprintf(stderr, "frame_rate_bench: no display (%s)\n", reason.c_str());
        return 1;
    }
    FakeInput::reset();
    setInputSystemFactory(FakeInput::factory);

    const Layout& l = layout();
    WindowHandle window = windows->createWindow("Frostel", l.width, l.height, l.windowIsScreenSized);
    if (!window) return 1;
    windows->showWindow(window);
    int status = 1;
    {
        Application app;
        Driver d{windows, window, &app};
        if (!app.init(window)) {
            std::fprintf(stderr, "frame_rate_bench: start-up failed\n");
        } else {
            windows->hideCursor();
            d.click();            // past the intro
            d.pointTo(495, 387);  // the practice item
            d.click();
            if (app.game->flow.screen != Match) {
                std::fprintf(stderr, "frame_rate_bench: the practice match did not start\n");
            } else {
                Player player;
                auto play = [&] {
                    player.next();
                    d.gameFrame();
                };
                std::vector<double> game, bare, gameCpu, bareCpu, culledCpu;
                for (int r = 0; r < rounds; ++r) {
                    const Rate b = measure(seconds, [&] { d.bareFrame(); });
                    const Rate g = measure(seconds, play);
                    // The same match with nothing rasterised: what the drawing costs short of shading pixels.
                    Rate c;
                    if (benchCullEverything(true)) {
                        c = measure(seconds / 2, play);
                        benchCullEverything(false);
                    }
                    bare.push_back(b.fps);
                    game.push_back(g.fps);
                    bareCpu.push_back(b.cpuMs);
                    gameCpu.push_back(g.cpuMs);
                    culledCpu.push_back(c.cpuMs);
                    std::printf("round %d: practice match %.1f fps (%.2f ms CPU a frame), bare clear+present %.1f fps "
                                "(%.2f ms), ratio %.3f",
                                r + 1, g.fps, g.cpuMs, b.fps, b.cpuMs, g.fps / b.fps);
                    if (c.fps > 0) std::printf("; every triangle culled %.1f fps (%.2f ms)", c.fps, c.cpuMs);
                    std::printf("\n");
                }
                const bool stillInMatch = app.game->flow.screen == Match;
                std::printf("frame rate %dx%d on %s (pacing off): practice match %.1f fps, bare %.1f fps, ratio %.3f%s\n",
                            l.width, l.height, benchDeviceName(), median(game), median(bare), median(game) / median(bare),
                            stillInMatch ? "" : " (the match ended during the run)");
                std::printf("CPU a frame, all threads: practice match %.2f ms, bare %.2f ms", median(gameCpu),
                            median(bareCpu));
                if (median(culledCpu) > 0) std::printf(", match with every triangle culled %.2f ms", median(culledCpu));
                std::printf("\n");
                status = 0;
            }
        }
    }
    windows->destroyWindow(window);
    stopBenchPlatform(windows);
    return status;
}
