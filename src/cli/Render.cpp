#include "cli/Render.h"

#include "cli/Session.h"
#include "util/TextFile.h"

#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace quorvel::cli {

namespace {

constexpr int kBoxWidth = 50;
constexpr int kBoxHeight = 21;

bool Draw(const Session& session, const std::string& path, std::string& error) {
    const Bitmap& picture = session.Picture();
    const int width = std::max(picture.Width(), 1);
    const int height = std::max(picture.Height(), 1);
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < picture.Height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.Width(); ++x) {
            const Rgb c = picture.Pixel(x, y);
            row[x] = qRgb(c.r, c.g, c.b);
        }
    }
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    painter.setFont(font);
    for (int k = 0; k < kValueBoxCount; ++k) {
        const ValueBoxState& box = session.Boxes().Box(k);
        if (!box.visible)
            continue;
        const QRect rect(box.left, box.top, kBoxWidth, kBoxHeight);
        if (box.input) {
            painter.fillRect(rect, QColor(255, 255, 0));
            painter.setPen(Qt::black);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        } else {
            painter.fillRect(rect, Qt::white);
        }
        painter.setPen(Qt::black);
        painter.drawText(
            rect.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
            QString::fromLatin1(box.text.data(), static_cast<qsizetype>(box.text.size())));
    }
    painter.end();
    // Encoded in memory and written with the path's own bytes: a file name that is not
    // valid text in any encoding still names exactly the file asked for.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    std::string reason;
    if (!image.save(&buffer, "PNG") ||
        !WriteWholeFile(path,
                        std::string_view(png.constData(), static_cast<std::size_t>(png.size())),
                        reason)) {
        error = "Cannot write \"" + path + "\"" + (reason.empty() ? "" : ": " + reason);
        return false;
    }
    return true;
}

// Standard error carries only the program's own messages: the toolkit's warnings (such as
// the one about a missing runtime directory of the off-screen platform) are dropped.
void DropToolkitMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

bool RenderPng(const Session& session, const std::string& path, std::string& error) {
    if (QGuiApplication::instance() != nullptr)
        return Draw(session, path, error);
    // The off-screen platform needs no window system. The application lives only while
    // drawing, so nothing of Qt outlives it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropToolkitMessages);
    int argc = 1;
    char name[] = "quorvel";
    char* argv[] = {name, nullptr};
    const QGuiApplication app(argc, argv);
    return Draw(session, path, error);
}

} // namespace quorvel::cli
