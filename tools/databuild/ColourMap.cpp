#include "ColourMap.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace skyfetch::databuild {
namespace {

struct JpegError {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void on_jpeg_error(j_common_ptr info) {
    auto* err = reinterpret_cast<JpegError*>(info->err);
    info->err->format_message(info, err->message);
    std::longjmp(err->jump, 1);
}

// Kept free of objects with destructors between setjmp and the library calls that may
// jump back, so that the jump skips nothing that needed cleaning up.
bool decode(std::FILE* file, RgbImage& image, std::string& error) {
    jpeg_decompress_struct info{};
    JpegError err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = on_jpeg_error;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        error = err.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        error = "not convertible to RGB";
        return false;
    }
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            image.rgb.data() + static_cast<std::size_t>(info.output_scanline) * image.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// For each of n_out intervals of equal size over n_in source pixels: the source pixels it
// touches and their overlap, in units of 1/n_out source pixel (so the weights of one
// interval add up to n_in exactly).
struct Span {
    int first = 0;
    std::vector<std::uint32_t> weights;
};

std::vector<Span> spans(int n_in, int n_out) {
    std::vector<Span> out(n_out);
    for (int k = 0; k < n_out; ++k) {
        const long lo = static_cast<long>(k) * n_in; // interval [lo, hi) in 1/n_out units
        const long hi = lo + n_in;
        const long first = lo / n_out;
        out[k].first = static_cast<int>(first);
        for (long j = first; j * n_out < hi; ++j) {
            const long a = std::max(lo, j * n_out);
            const long b = std::min(hi, (j + 1) * n_out);
            out[k].weights.push_back(static_cast<std::uint32_t>(b - a));
        }
    }
    return out;
}

} // namespace

std::optional<RgbImage> read_jpeg(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open";
        return std::nullopt;
    }
    RgbImage image;
    std::string why;
    const bool ok = decode(file, image, why);
    std::fclose(file);
    if (!ok) {
        error = path + ": " + why;
        return std::nullopt;
    }
    return image;
}

std::vector<std::uint8_t> average_to_bgr_map(const RgbImage& image, int width, int height) {
    const auto xs = spans(image.width, width);
    const auto ys = spans(image.height, height);
    // Each output pixel's weights add up to image.width * image.height.
    const std::uint64_t total = static_cast<std::uint64_t>(image.width) * image.height;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * height * 3);
    for (int r = 0; r < height; ++r) {
        // Output row 0 is the southernmost, the image's top row the northernmost.
        const Span& sy = ys[height - 1 - r];
        for (int c = 0; c < width; ++c) {
            const Span& sx = xs[c];
            std::uint64_t sum[3] = {0, 0, 0};
            for (std::size_t j = 0; j < sy.weights.size(); ++j) {
                const std::uint8_t* row =
                    image.rgb.data() + static_cast<std::size_t>(sy.first + j) * image.width * 3;
                for (std::size_t i = 0; i < sx.weights.size(); ++i) {
                    const std::uint64_t w =
                        static_cast<std::uint64_t>(sy.weights[j]) * sx.weights[i];
                    const std::uint8_t* px = row + (sx.first + i) * 3;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += w * px[k];
                }
            }
            std::uint8_t* dst = out.data() + (static_cast<std::size_t>(r) * width + c) * 3;
            for (int k = 0; k < 3; ++k) // blue, green, red
                dst[k] = static_cast<std::uint8_t>((sum[2 - k] + total / 2) / total);
        }
    }
    return out;
}

} // namespace skyfetch::databuild
