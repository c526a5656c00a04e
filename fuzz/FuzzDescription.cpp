// The diagram description parser, followed by what loading does with its tables: the
// default clicks, the connectors and a calculation.

#include "diagram/DescriptionParser.h"
#include "diagram/Marking.h"
#include "diagram/Selection.h"
#include "eval/KivEval.h"
#include "results/Calculation.h"
#include "shell/HeadlessViews.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    quorvel::TModel model;
    quorvel::MemoryValueBoxes boxes;
    try {
        quorvel::ParseDiagramDescription(text, model, boxes);
    } catch (const std::runtime_error&) {
        return 0;
    }
    quorvel::RasterSurface surface;
    surface.Picture() = quorvel::Bitmap(64, 64);
    quorvel::MemoryLabels labels;
    quorvel::MemoryClipboard clipboard;
    quorvel::TDiagramMarking marking(model, surface);
    quorvel::TSelection selection(model, marking, labels, clipboard);
    marking.UnmarkAllLines();
    marking.UnmarkAllLineRegisters();
    for (std::size_t i = 0; i < model.ConfigLines.size() && i < 64; ++i)
        selection.Image1MouseDown(quorvel::MouseButton::Left, model.ConfigLines[i].X1,
                                  model.ConfigLines[i].Y1, {});
    for (std::size_t i = 0; i < model.RegisterLines.size() && i < 64; ++i)
        selection.Image1MouseDown(quorvel::MouseButton::Left, model.RegisterLines[i].X1,
                                  model.RegisterLines[i].Y1, {});
    quorvel::TSimpleEval evaluator;
    try {
        quorvel::Calculate(model, evaluator, boxes);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
