// The baseline of the start-up and memory figures: the least a program can do to show a
// frame, an SDL window with an OpenGL context that clears and presents. It stands apart
// from the game on purpose and talks to SDL and GL directly.
//
// Usage: bare_window [SECONDS to keep presenting, default 0: one frame] [WIDTH HEIGHT]
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.0;
    const int width = argc > 3 ? std::atoi(argv[2]) : 1024;
    const int height = argc > 3 ? std::atoi(argv[3]) : 768;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    const Uint64 end = SDL_GetPerformanceCounter() + Uint64(seconds * double(SDL_GetPerformanceFrequency()));
    do {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    } while (SDL_GetPerformanceCounter() < end);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
