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
    quorvel::Configuration state;
    quorvel::Changes changes;
    quorvel::StateBoxes boxes(state, changes);
    try {
        quorvel::ParseDiagramDescription(text, state.Model, boxes);
    } catch (const std::runtime_error&) {
        return 0;
    }
    quorvel::RasterSurface surface;
    surface.Picture() = quorvel::Bitmap(64, 64);
    // Each step is painted before the next, as the session does.
    const auto paint = [&] {
        quorvel::PaintChanges(state, changes.Paints, surface);
        changes.Clear();
    };
    quorvel::UnmarkAllLines(state, false, changes);
    quorvel::UnmarkAllLines(state, true, changes);
    paint();
    const auto clickFirstPoints = [&](const auto& lines) {
        for (std::size_t i = 0; i < lines.size() && i < 64; ++i)
            for (const quorvel::LineRef line :
                 quorvel::LinesAt(state.Model, lines[i].X1, lines[i].Y1)) {
                quorvel::ChooseLine(state, line, changes);
                paint();
            }
    };
    clickFirstPoints(state.Model.ConfigLines);
    clickFirstPoints(state.Model.RegisterLines);
    quorvel::TSimpleEval evaluator;
    try {
        quorvel::Calculate(state, evaluator, changes);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
