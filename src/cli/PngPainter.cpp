// The PNG painter library: Qt's painter draws the value boxes of rendered pictures; no
// window system is needed.

#include "cli/PngPainter.h"
#include "paint/ValueBoxPainting.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool Draw(const QuorvelPngPicture& picture, QByteArray& png) {
    const int width = std::max(picture.Width, 1);
    const int height = std::max(picture.Height, 1);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < picture.Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint32_t* in =
            picture.Pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width);
        for (int x = 0; x < picture.Width; ++x)
            row[x] = 0xFF000000u | in[x];
    }
    QPainter painter(&image);
    for (int k = 0; k < picture.BoxCount; ++k) {
        const QuorvelPngBox& box = picture.Boxes[k];
        quorvel::paint::ValueBoxLook look;
        look.Text = QString::fromLatin1(box.Text, static_cast<qsizetype>(box.TextSize));
        look.Input = box.Input != 0;
        look.Marked = box.Marked != 0;
        look.Failed = box.Failed != 0;
        look.Stale = box.Stale != 0;
        look.Problem = box.Problem != 0;
        quorvel::paint::PaintValueBox(
            painter, quorvel::paint::ValueBoxRect(box.Left, box.Top, look.Text, picture.Width),
            look);
    }
    painter.end();
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "PNG");
}

// Standard error carries only the program's own messages: the toolkit's warnings (such as
// the one about a missing runtime directory of the off-screen platform) are dropped.
void DropToolkitMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

bool DrawInApplication(const QuorvelPngPicture& picture, QByteArray& png) {
    if (QGuiApplication::instance() != nullptr)
        return Draw(picture, png);
    // The off-screen platform needs no window system. The application lives only while
    // drawing, so nothing of Qt outlives it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropToolkitMessages);
    int argc = 1;
    char name[] = "quorvel";
    char* argv[] = {name, nullptr};
    const QGuiApplication app(argc, argv);
    return Draw(picture, png);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
QuorvelEncodePng(const QuorvelPngPicture* picture, QuorvelPngSink sink, void* context, char* error,
                 std::size_t errorSize) {
    std::string message = "the picture could not be encoded";
    bool ok = false;
    try {
        QByteArray png;
        ok = DrawInApplication(*picture, png);
        if (ok)
            sink(context, png.constData(), static_cast<std::size_t>(png.size()));
    } catch (const std::exception& e) {
        ok = false;
        message = e.what();
    }
    if (!ok && errorSize > 0) {
        const std::size_t n = std::min(message.size(), errorSize - 1);
        std::memcpy(error, message.data(), n);
        error[n] = '\0';
    }
    return ok ? 1 : 0;
}
