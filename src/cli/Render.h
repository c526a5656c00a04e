#pragma once
// Writes the diagram of a headless session as the window would show it.

#include <string>

namespace quorvel {
struct HeadlessViews;
}

namespace quorvel::cli {

// The bitmap with its marks and the shown value boxes (input boxes yellow) with their
// texts, as a PNG file. Returns false with a message when the file cannot be written.
bool RenderPng(const HeadlessViews& views, const std::string& path, std::string& error);

} // namespace quorvel::cli
