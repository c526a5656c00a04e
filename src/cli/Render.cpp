#include "cli/Render.h"

#include "cli/PngPainter.h"
#include "results/InputReading.h"
#include "shell/HeadlessViews.h"
#include "shell/KivDirectories.h"
#include "util/TextFile.h"

#include <dlfcn.h>
#include <vector>

namespace quorvel::cli {

namespace {

void KeepBytes(void* context, const char* bytes, std::size_t size) {
    static_cast<std::string*>(context)->assign(bytes, size);
}

} // namespace

bool RenderPng(const HeadlessViews& views, const std::string& path, std::string& error) {
    const std::string library = JoinPath(ProgramDirectory(true), kPngPainterFileName);
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        error = "Cannot write \"" + path + "\": the picture writer cannot be loaded (" +
                (why != nullptr ? why : library.c_str()) + ")";
        return false;
    }
    // The library stays loaded until the process ends: Qt does not support unloading.
    using Entry = int (*)(const QuorvelPngPicture*, QuorvelPngSink, void*, char*, std::size_t);
    const auto encode = reinterpret_cast<Entry>(::dlsym(handle, kPngPainterEntry));
    if (encode == nullptr) {
        error = "Cannot write \"" + path + "\": " + library + " is not the picture writer";
        return false;
    }
    const Bitmap& bitmap = views.Surface.Picture();
    std::vector<QuorvelPngBox> boxes;
    for (int k = 0; k < kValueBoxCount; ++k) {
        const ValueBoxState& box = views.Boxes.Box(k);
        if (!box.visible)
            continue;
        const InputReading reading = ReadInputText(box.text);
        const bool input = box.input;
        boxes.push_back({box.left, box.top, input ? 1 : 0, box.text.data(), box.text.size(),
                         input && !reading.Plain ? 1 : 0, input && !reading.Readable ? 1 : 0,
                         !input && box.stale ? 1 : 0, box.problem.empty() ? 0 : 1});
    }
    const QuorvelPngPicture picture{bitmap.Width(), bitmap.Height(), bitmap.Data(), boxes.data(),
                                    static_cast<int>(boxes.size())};
    char message[512] = {};
    std::string png;
    if (encode(&picture, KeepBytes, &png, message, sizeof message) == 0) {
        error = "Cannot write \"" + path + "\": " + message;
        return false;
    }
    // Written with the path's own bytes: a file name that is not valid text in any encoding
    // still names exactly the file asked for.
    std::string reason;
    if (!WriteWholeFile(path, png, reason)) {
        error = "Cannot write \"" + path + "\"" + (reason.empty() ? "" : ": " + reason);
        return false;
    }
    return true;
}

} // namespace quorvel::cli
