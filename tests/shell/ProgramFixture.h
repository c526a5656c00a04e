#pragma once
// A program directory in a scratch folder with a device list, a "Defs" directory and a
// diagram, and a Session over headless views that loads from it.

#include "TestSupport.h"
#include "diagram/Bitmap.h"
#include "shell/HeadlessViews.h"
#include "shell/Session.h"

#include <gtest/gtest.h>

namespace quorvel::test {

class ProgramFixture : public ::testing::Test {
protected:
    KeepCurrentDirectory keepCwd;
    ScratchDir dir;
    RasterSurface surface;
    MemoryValueBoxes boxes;
    MemoryLabels labels;
    RecordedMessages messages;
    MemoryClipboard clipboard;
    std::unique_ptr<Session> core;

    std::string ProgramDir() const { return dir.Path() + "/program/"; }

    // The test device TESTDEV with diagram T, and the given extra device list lines.
    void WriteProgram(const std::string& extraListLines = "") {
        dir.Write("program/Quorvel_Configuration_PICs.txt",
                  "// test devices\nTESTDEV = T\n-\nNODIAGRAM =\nOTHER = MISSING\n" +
                      extraListLines);
        dir.Write("program/Defs/TESTDEV.vlk", ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("program/Defs/NODIAGRAM.vlk", ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("program/Defs/OTHER.vlk", ReadFile(TestData("device/TESTDEV.vlk")));
        dir.Write("program/Quorvel_T_lines.txt", ReadFile(TestData("device/Quorvel_T_lines.txt")));
        WriteBitmap("T", 300, 100);
    }

    void WriteBitmap(const std::string& diagram, int width, int height) {
        dir.Write("program/Quorvel_" + diagram + ".bmp", Bitmap(width, height).EncodeBmp());
    }

    void Start() {
        core = std::make_unique<Session>(
            SessionPaths{ProgramDir(), dir.Path() + "/Quorvel_Configuration.ini"},
            SessionViews{surface, boxes, labels, messages, clipboard});
        core->FormShow();
    }

    Rgb At(int x, int y) const { return surface.Picture().Pixel(x, y); }
    void Click(int x, int y) { core->Image1MouseDown(MouseButton::Left, x, y); }
    // Typing into a box, as in the window: the box shows the text, the session takes it.
    void Type(int index, const std::string& text) {
        boxes.SetText(index, text);
        core->BoxEdited(index, text);
    }
};

} // namespace quorvel::test
