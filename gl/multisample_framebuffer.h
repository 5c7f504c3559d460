#pragma once

// A framebuffer of width × height pixels with several samples per pixel
// (32-bit float RGBA colour, 24-bit depth) in the GL context that is
// current, for anti-aliased drawing. create() binds it for drawing;
// resolve() averages the samples of every pixel into the framebuffer that
// was bound before and binds that one again.
class MultisampleFramebuffer {
  public:
    MultisampleFramebuffer() = default;
    ~MultisampleFramebuffer();  // releases the buffers; the context must still be current
    MultisampleFramebuffer(const MultisampleFramebuffer&) = delete;
    MultisampleFramebuffer& operator=(const MultisampleFramebuffer&) = delete;

    // `samples` per pixel, at most the GL's limit. False when the GL cannot
    // make it; the framebuffer bound before then stays bound.
    bool create(int width, int height, int samples);
    void resolve();

  private:
    void destroy();

    unsigned int framebuffer_ = 0;
    unsigned int colorBuffer_ = 0;
    unsigned int depthBuffer_ = 0;
    int previous_ = 0;  // the framebuffer bound for drawing before create()
    int width_ = 0;
    int height_ = 0;
};
