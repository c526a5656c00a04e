#pragma once
// Drawing the diagram's selection marks from the state: a chosen line is painted red, a line
// not chosen blue (configuration) or lime (register), and each FOLLOW / FOLLOW_NOT connector
// red or black after the marks of the lines it lists.

#include "diagram/Configuration.h"
#include "util/Views.h"

#include <vector>

namespace quorvel {

inline constexpr int kLineWidth = 2;
inline constexpr int kConnectorWidth = 1;

// Paints the segments a step changed, in their order.
void PaintChanges(const Configuration& state, const std::vector<Paint>& paints,
                  DiagramSurface& surface);

// Paints every line in the colour of its mark, then every connector: the whole picture of
// the state over a freshly loaded bitmap.
void PaintWhole(const Configuration& state, DiagramSurface& surface);

// A FOLLOW connector is red when at least one listed line is marked, else black; a
// FOLLOW_NOT connector is red when no listed line is marked, else black.
void PaintConnectors(const Configuration& state, DiagramSurface& surface);

// The marks drawn on one surface since its bitmap was loaded. It keeps the paints of several
// steps and draws them at once, with the pixels PaintChanges gives for all of them in order,
// but leaves out what a later paint covers entirely: of each line only its last paint, of the
// connectors only the last paint, and of that only the connectors whose colour may have
// changed or that meet a line painted since they were last drawn (with every later connector
// over one of those). Without a fitting index of the tables it draws every connector.
class MarkPainter {
public:
    // The surface shows a bitmap just loaded: none of the connectors is drawn on it.
    void Reset();
    // Keeps a step's paints; state holds the tables they refer to.
    void Hold(const Configuration& state, const std::vector<Paint>& paints);
    bool Holding() const { return live_ != 0; }
    // Draws what was held: the picture of PaintChanges(state, every held paint in order),
    // which draws each connectors paint in the colours of the marks of `state`.
    void Flush(const Configuration& state, DiagramSurface& surface);

private:
    void PaintDamagedConnectors(const Configuration& state, DiagramSurface& surface);
    void Damage(const TModel& model, bool registerTable, std::size_t index);
    void Compact();

    std::vector<Paint> log_;    // held paints; a paint covered by a later one is dropped
    std::vector<bool> dropped_; // per entry of log_
    std::size_t live_ = 0;
    std::vector<std::size_t> lastConfig_, lastRegister_; // entry + 1 per line, 0: none
    std::size_t lastConnectors_ = 0;
    // Since the connectors were last drawn: the identifiers of the lines whose marks were
    // set, and the boxes of the lines painted (over connectors, maybe). touched_ is sized on
    // the first paint held: a painter that never holds one, as for a surface whose marks
    // nobody sees, never fills its 8 KB.
    std::vector<std::uint16_t> touchedIds_;
    std::vector<bool> touched_;
    std::vector<PixelBox> damage_;
    bool allDamaged_ = true;
    std::vector<std::uint8_t> chosen_; // per connector, while choosing what to draw again
};

} // namespace quorvel
