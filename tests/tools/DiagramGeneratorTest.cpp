// The diagram generator: it must reproduce the shipped files exactly, refuse unsound
// diagrams, and write descriptions and pictures that agree pixel for pixel.

#include "ShippedFiles.h"
#include "TestSupport.h"

#include "Blocks.h"
#include "DescriptionWriter.h"
#include "Diagrams.h"
#include "Generator.h"
#include "Renderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace quorvel::diagramgen {
namespace {

using test::ReadFile;
using test::ScratchDir;
using test::Shipped;

TEST(DiagramGenerator, ReproducesTheShippedFilesByteForByte) {
    ScratchDir dir;
    const std::vector<GeneratedFile> files = GenerateAll();
    WriteFiles(files, dir.Path());
    ASSERT_EQ(files.size(), 2 * AllDiagrams().size());
    for (const GeneratedFile& file : files) {
        const std::string written = ReadFile(dir.File(file.name));
        EXPECT_EQ(written, file.contents) << file.name;
        EXPECT_TRUE(written == ReadFile(Shipped(file.name)))
            << file.name << " differs from data/: run the \"diagrams\" build target and "
            << "commit the result";
    }
}

TEST(DiagramGenerator, ShippedDiagramsHaveNoProblems) {
    for (const Diagram& d : AllDiagrams()) {
        const std::vector<std::string> problems = FindProblems(d);
        EXPECT_TRUE(problems.empty()) << d.name << ": " << problems.front();
    }
}

// A sound little diagram: one field with two settings, one register bit-field, a connector
// and two value boxes.
Builder Sample() {
    Builder b("Sample", "Sample", 200, 120);
    b.Choice("PLL", 10, 10, 30, 10, {"off", 0, 0, "PLL: off", true});
    b.Choice("PLL", 10, 20, 30, 20, {"on", 0x10, 1, "PLL: on"});
    b.Choice("OSCCON<6:4>", 10, 40, 10, 60, {"7", 7, 16, "IRCF: 16 MHz", true});
    b.Follow(50, 10, 80, 10, {1});
    b.Box(100, 40, "", "Fin");
    b.Box(100, 80, "E0 * 4", "Fosc");
    return b;
}

TEST(DiagramGenerator, FindsWhatWouldBreakTheDescription) {
    struct Case {
        const char* name;
        std::function<void(Diagram&)> spoil;
        const char* problem;
    };
    const Case cases[] = {
        {"diagonal segment", [](Diagram& d) { d.lines[0].y2 = 12; }, "not a straight"},
        {"end points reversed", [](Diagram& d) { std::swap(d.lines[0].x1, d.lines[0].x2); },
         "not a straight"},
        {"too near the edge for the hit test", [](Diagram& d) { d.lines[0].x1 = 2; },
         "outside the picture"},
        {"beyond the picture", [](Diagram& d) { d.lines[1].x2 = 200; }, "outside the picture"},
        {"lines 7 pixels apart", [](Diagram& d) { d.lines[1].y1 = d.lines[1].y2 = 17; },
         "too close"},
        {"no default", [](Diagram& d) { d.lines[0].isDefault = false; }, "exactly one default"},
        {"two defaults", [](Diagram& d) { d.lines[1].isDefault = true; }, "exactly one default"},
        {"value wider than the bit-field", [](Diagram& d) { d.lines[2].value = 8; },
         "does not fit"},
        {"reversed bit range", [](Diagram& d) { d.lines[2].name = "OSCCON<4:6>"; },
         "malformed register"},
        {"bit beyond 31", [](Diagram& d) { d.lines[2].name = "OSCCON<32>"; }, "malformed register"},
        {"setting value above 31 bits", [](Diagram& d) { d.lines[1].value = 0x80000000u; },
         "beyond 2147483647"},
        {"line without comment", [](Diagram& d) { d.lines[1].comment.clear(); }, "without comment"},
        {"connector to an unknown line", [](Diagram& d) { d.follows[0].ids = {9}; },
         "unknown line"},
        {"diagonal connector", [](Diagram& d) { d.follows[0].y2 = 11; }, "not a straight"},
        {"box over a line",
         [](Diagram& d) {
             d.boxes[0].x = 12;
             d.boxes[0].y = 12;
         },
         "covers"},
        {"boxes overlap", [](Diagram& d) { d.boxes[1].y = 50; }, "overlaps"},
        {"box off the picture", [](Diagram& d) { d.boxes[1].x = 160; }, "outside"},
        {"quantity of two words", [](Diagram& d) { d.boxes[1].quantity = "CPU clock"; },
         "one-word"},
        {"comment start in a formula", [](Diagram& d) { d.boxes[1].expression = "E0 // 2"; },
         "comment"},
        {"32 value boxes",
         [](Diagram& d) {
             d.boxes.resize(32, {100, 80, "E1", "E0", "F"});
         },
         "more than 31"},
        {"picture too large", [](Diagram& d) { d.height = 881; }, "picture size"},
    };
    EXPECT_TRUE(FindProblems(Sample().Result()).empty());
    for (const Case& c : cases) {
        Diagram d = Sample().Result();
        c.spoil(d);
        const std::vector<std::string> problems = FindProblems(d);
        bool found = false;
        for (const std::string& p : problems)
            found = found || p.find(c.problem) != std::string::npos;
        EXPECT_TRUE(found) << c.name;
    }
}

TEST(DiagramGenerator, RefusesToWriteAnUnsoundDiagram) {
    Diagram d = Sample().Result();
    d.lines[0].isDefault = false;
    try {
        GenerateFiles({Sample().Result(), d});
        FAIL() << "an unsound diagram was written";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("PLL needs exactly one default"), std::string::npos)
            << e.what();
    }
}

TEST(DiagramGenerator, ReportsAnUnwritableDirectory) {
    ScratchDir dir;
    EXPECT_THROW(WriteFiles({{"x.txt", "x"}}, dir.File("missing")), std::runtime_error);
}

TEST(DescriptionWriter, ListsEachDefaultFirstAndRegistersInCodeOrder) {
    Builder b("Order", "Order", 300, 200);
    b.Choice("B", 10, 10, 20, 10, {"b1", 1, 1, "B: one"});
    b.Choice("A", 10, 30, 20, 30, {"a", 0, 0, "A: only", true});
    b.Choice("B", 10, 50, 20, 50, {"b2", 2, 2, "B: two", true});
    b.Choice("CLKDIV<4:0>", 40, 10, 50, 10, {"", 0, 2, "PLLPRE: N1 = 2", true});
    b.Choice("CLKDIV<14:12>", 40, 30, 50, 30, {"", 3, 8, "DOZE: 8", true});
    b.Choice("ACLKCON<13>", 40, 50, 50, 50, {"", 1, 1, "SELACLK: 1", true});
    b.Box(100, 100, "", "Fin");
    b.Box(100, 150, "ifthen(B = 2, E0, 0)", "Fosc");
    const std::string text = WriteDescription(b.Result());

    const auto at = [&](const std::string& s) { return text.find(s); };
    EXPECT_LT(at("B, 3, 0, 10, 50"), at("B, 1, 0, 10, 10"));
    EXPECT_LT(at("B, 1, 0, 10, 10"), at("A, 2, 0"));
    EXPECT_LT(at("ACLKCON<13>"), at("CLKDIV<14:12>"));
    EXPECT_LT(at("CLKDIV<14:12>"), at("CLKDIV<4:0>"));
    EXPECT_NE(at("CLKDIV<4:0>, 4, 0, 40, 10, 50, 10, 2, -1, 0, 2 // PLLPRE: N1 = 2\n"),
              std::string::npos);
    EXPECT_NE(at("SHOWVAL, 100, 100, E0 = // Fin\n"), std::string::npos);
    EXPECT_NE(at("SHOWVAL, 100, 150, E1 = ifthen(B = 2, E0, 0) // Fosc\n"), std::string::npos);
}

TEST(DescriptionWriter, WritesValuesForTheFormulasInPlainDecimals) {
    Builder b("Calc", "Calc", 100, 100);
    b.Choice("IRCF<2:0>", 10, 10, 20, 10, {"", 0, 0.03125, "IRCF: 31.25 kHz", true});
    b.Choice("FRC", 10, 30, 20, 30, {"", 0x70000, 256, "FRC: 256", true});
    const std::string text = WriteDescription(b.Result());
    EXPECT_NE(text.find(", 0, 0.03125 // IRCF"), std::string::npos) << text;
    EXPECT_NE(text.find(", 458752, 256 // FRC"), std::string::npos) << text;
}

TEST(Renderer, PaintsLinesWhereTheProgramWillPaintThem) {
    const Bitmap bitmap = Render(Sample().Result());
    ASSERT_EQ(bitmap.Width(), 200);
    ASSERT_EQ(bitmap.Height(), 120);
    // A 2-pixel horizontal configuration line covers its row and the one above.
    for (int x = 10; x <= 30; ++x) {
        EXPECT_EQ(bitmap.Pixel(x, 10), kBlue);
        EXPECT_EQ(bitmap.Pixel(x, 9), kBlue);
        EXPECT_EQ(bitmap.Pixel(x, 11), (Rgb{255, 255, 255}));
    }
    // A vertical register line covers its column and the one to the left.
    for (int y = 40; y <= 60; ++y) {
        EXPECT_EQ(bitmap.Pixel(10, y), kLime);
        EXPECT_EQ(bitmap.Pixel(9, y), kLime);
    }
    // Connectors are 1 pixel wide.
    EXPECT_EQ(bitmap.Pixel(60, 10), kBlack);
    EXPECT_EQ(bitmap.Pixel(60, 9), (Rgb{255, 255, 255}));
}

TEST(Renderer, DrawsTextInTheDiagramFont) {
    Builder b("Text", "Text", 120, 40);
    b.Text(0, 0, 120, 40, "PLL 80 MHz", Align::Center, true);
    const Bitmap bitmap = Render(b.Result());
    int dark = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const Rgb p = bitmap.Pixel(x, y);
            EXPECT_TRUE(p == kBlack || p == (Rgb{255, 255, 255})) << "anti-aliased at " << x;
            dark += p == kBlack;
        }
    EXPECT_GT(dark, 50);
}

} // namespace
} // namespace quorvel::diagramgen
