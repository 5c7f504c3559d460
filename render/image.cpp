#include "render/image.h"

#include <OpenEXR/ImfCRgbaFile.h>
#include <png.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstring>

#include "base/output_file.h"

unsigned char encodeChannel(float value, double exposure, bool srgb) {
    double v = static_cast<double>(value) * exposure;
    if (!(v > 0.0)) v = 0.0;  // also NaN
    if (v > 1.0) v = 1.0;
    if (srgb) v = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return static_cast<unsigned char>(std::lround(v * 255.0));
}

namespace {
// libpng reports errors by longjmp to the point set before writing; the
// caller says what failed, so libpng prints nothing itself.
void quietPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietPngWarning(png_structp, png_const_charp) {}

bool writePngRows(FILE* stream, const Image& image, double exposure, bool srgb) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietPngError, quietPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<unsigned char> row(3 * static_cast<size_t>(image.width));
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int i = 0; i < 3 * image.width; ++i)
            row[i] = encodeChannel(image.pixel(0, y)[i], exposure, srgb);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
std::vector<ImfRgba> halfPixels(const Image& image) {
    std::vector<ImfRgba> pixels(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        ImfFloatToHalf(image.rgb[3 * i], &pixels[i].r);
        ImfFloatToHalf(image.rgb[3 * i + 1], &pixels[i].g);
        ImfFloatToHalf(image.rgb[3 * i + 2], &pixels[i].b);
        ImfFloatToHalf(1.0f, &pixels[i].a);
    }
    return pixels;
}

bool writeExrFile(const std::string& name, const Image& image) {
    std::vector<ImfRgba> pixels = halfPixels(image);
    ImfHeader* header = ImfNewHeader();
    ImfHeaderSetDataWindow(header, 0, 0, image.width - 1, image.height - 1);
    ImfHeaderSetDisplayWindow(header, 0, 0, image.width - 1, image.height - 1);
    ImfHeaderSetCompression(header, IMF_ZIP_COMPRESSION);
    ImfOutputFile* out = ImfOpenOutputFile(name.c_str(), header, IMF_WRITE_RGB);
    ImfDeleteHeader(header);
    bool ok = out && ImfOutputSetFrameBuffer(out, pixels.data(), 1, image.width) &&
              ImfOutputWritePixels(out, image.height);
    if (out) ok = ImfCloseOutputFile(out) && ok;
    return ok;
}

// OpenEXR's C interface writes only to a file it opens by name: the image is
// encoded into an anonymous file in memory, whose bytes then go to the
// output, which may be a pipe or a device.
bool encodeExr(const Image& image, std::string& bytes, std::string& error) {
    int fd = memfd_create("exr", MFD_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = writeExrFile("/proc/self/fd/" + std::to_string(fd), image);
    if (!ok) error = ImfErrorMessage();
    off_t size = ok ? lseek(fd, 0, SEEK_END) : -1;
    if (ok) {
        bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
        ok = size > 0 && pread(fd, &bytes[0], bytes.size(), 0) == size;
        if (!ok) error = size == 0 ? "no data" : std::strerror(errno);
    }
    close(fd);
    return ok;
}
}  // namespace

bool writePng(const std::string& path, const Image& image, double exposure, bool srgb,
              std::string& error) {
    OutputFile file(path);
    if (!file.open(error)) return false;
    if (!writePngRows(file.stream(), image, exposure, srgb)) {
        if (std::ferror(file.stream())) return file.commit(error);  // says why the write failed
        error = "cannot write " + path + ": PNG encoding failed";
        return false;
    }
    return file.commit(error);
}

bool writeExr(const std::string& path, const Image& image, std::string& error) {
    std::string bytes;
    if (!encodeExr(image, bytes, error)) {
        error = "cannot write " + path + ": " + error;
        return false;
    }
    return OutputFile(path).writeAll(bytes, error);
}
