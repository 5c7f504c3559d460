#pragma once

// A desktop OpenGL context (compatibility profile, so immediate mode and
// display lists work) without a window: EGL on Mesa's surfaceless platform,
// or the default display with a small pbuffer where that is missing. It
// draws into a framebuffer object of width × height pixels with 8-bit RGBA
// colour and a 24-bit depth buffer, bound for drawing and reading, so pixel
// rows read back from (0, 0) upward are the rendered image. A floating-point
// context keeps 32-bit float RGBA instead, for images read back unclamped.
class OffscreenContext {
  public:
    OffscreenContext() = default;
    ~OffscreenContext();  // releases the framebuffer, context and display
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Makes the context and its framebuffer and leaves it current with the
    // viewport covering the framebuffer. False when no context can be had.
    bool create(int width, int height, bool floatingPoint = false);
    // Makes the context current again after another one was; false when it
    // has none or that fails.
    bool makeCurrent();

  private:
    bool openDisplay();
    bool createContext();
    bool createFramebuffer(bool floatingPoint);
    void destroy();

    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
    void* surface_ = nullptr;  // EGLSurface of the pbuffer fallback, else none
    unsigned int framebuffer_ = 0;
    unsigned int colorBuffer_ = 0;
    unsigned int depthBuffer_ = 0;
    int width_ = 0;
    int height_ = 0;
};
