// Renders the saver's scene offscreen and writes chosen frames as PNG files.
#include "offscreen/offscreen_context.h"
#include "offscreen/png_file.h"
#include "scene/random.h"
#include "scene/scene.h"
#include "scene/scene_settings.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
    int width = 1920;
    int height = 1080;
    int frames = 300;
    int every = 60;
    int stepMillis = 16;
    long seed = -1;
    std::string out = "frames";
    bool raw = false;                         // raw top-down RGB bytes instead of PNG
    std::vector<solvane::PixelRect> monitors; // none: the whole picture is one
};

bool parseInt(std::string_view text, long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// LEFT,TOP,WIDTH,HEIGHT in pixels from the picture's top left.
bool parseMonitor(std::string_view text, solvane::PixelRect& monitor) {
    long fields[4] = {};
    for (long& field : fields) {
        const std::size_t comma = text.find(',');
        if (!parseInt(text.substr(0, comma), field)) {
            return false;
        }
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    monitor = {static_cast<std::int32_t>(fields[0]), static_cast<std::int32_t>(fields[1]),
               static_cast<std::int32_t>(fields[0] + fields[2]), static_cast<std::int32_t>(fields[1] + fields[3])};
    return fields[2] > 0 && fields[3] > 0;
}

bool writeRaw(const solvane::RgbImage& image, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool complete = std::fwrite(image.pixels.data(), 1, image.pixels.size(), file) == image.pixels.size();
    return std::fclose(file) == 0 && complete;
}

int usage() {
    std::fprintf(stderr, "usage: render_frames [--width W] [--height H] [--frames N] [--every K]\n"
                         "                     [--step-ms M] [--seed S] [--out DIR] [--format png|rgb]\n"
                         "                     [--monitor LEFT,TOP,WIDTH,HEIGHT]...\n"
                         "Renders N frames on a clock advancing M ms per frame and writes every\n"
                         "K-th frame to DIR/frame-NNNN.png (or .rgb, raw top-down RGB bytes).\n"
                         "Without --seed the time of day seeds. Each --monitor gets a picture of its\n"
                         "own, as on a screen of several monitors; without one the whole is one.\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view flag = argv[i];
        if (flag == "--out" && i + 1 < argc) {
            options.out = argv[++i];
            continue;
        }
        if (flag == "--monitor" && i + 1 < argc) {
            solvane::PixelRect monitor;
            if (!parseMonitor(argv[++i], monitor)) {
                return usage();
            }
            options.monitors.push_back(monitor);
            continue;
        }
        if (flag == "--format" && i + 1 < argc) {
            const std::string_view format = argv[++i];
            if (format != "png" && format != "rgb") {
                return usage();
            }
            options.raw = format == "rgb";
            continue;
        }
        long value = 0;
        if (i + 1 >= argc || !parseInt(argv[i + 1], value)) {
            return usage();
        }
        ++i;
        if (flag == "--width" && value > 0) {
            options.width = static_cast<int>(value);
        } else if (flag == "--height" && value > 0) {
            options.height = static_cast<int>(value);
        } else if (flag == "--frames" && value > 0) {
            options.frames = static_cast<int>(value);
        } else if (flag == "--every" && value > 0) {
            options.every = static_cast<int>(value);
        } else if (flag == "--step-ms" && value >= 0) {
            options.stepMillis = static_cast<int>(value);
        } else if (flag == "--seed" && value >= 0) {
            options.seed = value;
        } else {
            return usage();
        }
    }

    std::error_code error;
    std::filesystem::create_directories(options.out, error);

    solvane::OffscreenContext context(options.width, options.height);
    if (!context.valid()) {
        std::fprintf(stderr, "render_frames: no offscreen GL context of %dx%d\n", options.width, options.height);
        return 1;
    }
    std::uint32_t clock = 0;
    solvane::OffscreenPlatform platform([&clock] { return clock; });
    solvane::SceneInputs inputs{solvane::fixedSceneSettings,
                                solvane::SceneRandom::fromTime(options.seed >= 0
                                                                   ? static_cast<std::uint32_t>(options.seed)
                                                                   : static_cast<std::uint32_t>(std::time(nullptr)))};
    solvane::SceneSet scenes(options.width, options.height, options.monitors, platform, inputs);

    for (int frame = 1; frame <= options.frames; ++frame) {
        scenes.drawFrame();
        clock += static_cast<std::uint32_t>(options.stepMillis);
        if (frame % options.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%04d.%s", frame, options.raw ? "rgb" : "png");
            const std::string path = (std::filesystem::path(options.out) / name).string();
            const solvane::RgbImage image = context.capture();
            const bool written = options.raw ? writeRaw(image, path) : solvane::writePng(image, path);
            if (!written) {
                std::fprintf(stderr, "render_frames: cannot write %s\n", path.c_str());
                return 1;
            }
            std::printf("%s\n", path.c_str());
        }
    }
    return 0;
}
