// kxrender: renders one kxButtons_H the way the control draws it, for
// documentation, visual review and regression tests.
//
//   kxrender [--bag FILE] [--set Member=Value]... [--picture FILE]
//            [--font "Face,Size[,bold][,italic][,underline]"] [--size WxH]
//            [--container-back COLOUR] [--design] [--state LIST] [--scale S]
//            --out FILE.png [--json] [--write-bag FILE]
//
// The PNG is the control's off-screen surface; pixels outside the window
// region are transparent. --size is the laid-out size (layout pixels, 15
// twips each); --scale draws it on a screen of that scale (1 to 4, default
// 1), so the surface is the size times the scale in device pixels, as a
// window on such a screen shows it.

#include <button/kxButtons_H.h>

#include <button/testsupport/KxButtonsProbe.h>

#include <bag/Bag.h>
#include <gdi/bridge.h>
#include <host/form.h>
#include <host/msgbox.h>
#include <host/runtimeerror.h>
#include <host/stdpicture.h>
#include <host/window.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <functional>
#include <optional>

namespace {

class UsageError : public std::runtime_error
{
public:
    explicit UsageError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

const char kUsage[] =
    "usage: kxrender [--bag FILE] [--set Member=Value]... [--picture FILE]\n"
    "                [--font \"Face,Size[,bold][,italic][,underline]\"] [--size WxH]\n"
    "                [--container-back COLOUR] [--design] [--state LIST] [--scale S]\n"
    "                --out FILE.png [--json] [--write-bag FILE]\n"
    "  colours: 0x... hexadecimal or decimal (system colours as 0x8000000F)\n"
    "  Booleans: True or False; states: hover, held, pressed, default\n";

std::int64_t parseInteger(const QString &text, const QString &what)
{
    bool ok = false;
    std::int64_t v = 0;
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toLongLong(&ok, 16);
    else
        v = t.toLongLong(&ok, 10);
    if (!ok || t.isEmpty())
        throw UsageError(QStringLiteral("%1: '%2' is not a number").arg(what, text));
    return v;
}

std::int32_t parseInt32(const QString &text, const QString &what)
{
    const std::int64_t v = parseInteger(text, what);
    if (v < INT32_MIN || v > INT32_MAX)
        throw UsageError(QStringLiteral("%1: %2 does not fit in 32 bits").arg(what, text));
    return std::int32_t(v);
}

kxButtons_H::OleColor parseColour(const QString &text, const QString &what)
{
    const std::int64_t v = parseInteger(text, what);
    if (v < INT32_MIN || v > 0xFFFFFFFFLL)
        throw UsageError(QStringLiteral("%1: colour %2 does not fit in 32 bits").arg(what, text));
    return kxButtons_H::OleColor(std::uint32_t(v));
}

bool parseBool(const QString &text, const QString &what)
{
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || text == QLatin1String("-1"))
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || text == QLatin1String("0"))
        return false;
    throw UsageError(QStringLiteral("%1: '%2' is not True or False").arg(what, text));
}

QByteArray readFile(const QString &path, const QString &what)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw UsageError(QStringLiteral("%1: cannot read '%2': %3").arg(what, path, f.errorString()));
    return f.readAll();
}

host::StdPicturePtr loadPicture(const QString &path, const QString &what)
{
    QString error;
    host::StdPicturePtr picture = host::LoadPicture(readFile(path, what), &error);
    if (!picture)
        throw UsageError(QStringLiteral("%1: '%2' is not a usable picture: %3").arg(what, path, error));
    return picture;
}

host::StdFontPtr parseFont(const QString &text, const QString &what)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts.at(0).trimmed().isEmpty())
        throw UsageError(QStringLiteral("%1: '%2' is not \"Face,Size[,bold][,italic][,underline]\"").arg(what, text));
    bool ok = false;
    const double size = parts.at(1).trimmed().toDouble(&ok);
    auto font = std::make_shared<host::StdFont>();
    font->setName(parts.at(0).trimmed());
    if (!ok || !font->setSize(size))
        throw UsageError(QStringLiteral("%1: '%2' is not a usable font size").arg(what, parts.at(1)));
    for (int i = 2; i < parts.size(); ++i) {
        const QString attr = parts.at(i).trimmed().toLower();
        if (attr == QLatin1String("bold"))
            font->setBold(true);
        else if (attr == QLatin1String("italic"))
            font->setItalic(true);
        else if (attr == QLatin1String("underline"))
            font->setUnderline(true);
        else
            throw UsageError(QStringLiteral("%1: unknown font attribute '%2'").arg(what, parts.at(i)));
    }
    return font;
}

using Action = std::function<void(kxButtons_H &)>;

// One --set: the member's setter with the value converted to its type.
Action memberSetter(const QString &assignment)
{
    const qsizetype eq = assignment.indexOf(QLatin1Char('='));
    if (eq <= 0)
        throw UsageError(QStringLiteral("--set: '%1' is not Member=Value").arg(assignment));
    const QString member = assignment.left(eq);
    const QString value = assignment.mid(eq + 1);
    const QString what = QStringLiteral("--set %1").arg(member);

    using B = kxButtons_H;
    auto integer = [&](void (B::*setter)(std::int32_t)) -> Action {
        const std::int32_t v = parseInt32(value, what);
        return [setter, v](B &b) { (b.*setter)(v); };
    };
    auto colour = [&](void (B::*setter)(B::OleColor)) -> Action {
        const B::OleColor v = parseColour(value, what);
        return [setter, v](B &b) { (b.*setter)(v); };
    };
    auto boolean = [&](void (B::*setter)(bool)) -> Action {
        const bool v = parseBool(value, what);
        return [setter, v](B &b) { (b.*setter)(v); };
    };

    if (member == QLatin1String("ButtonStyle")) return integer(&B::ButtonStyle);
    if (member == QLatin1String("Mode")) return integer(&B::Mode);
    if (member == QLatin1String("Value")) return boolean(&B::Value);
    if (member == QLatin1String("Caption")) return [value](B &b) { b.Caption(value); };
    if (member == QLatin1String("CaptionAlign")) return integer(&B::CaptionAlign);
    if (member == QLatin1String("CaptionStyle")) return integer(&B::CaptionStyle);
    if (member == QLatin1String("ButtonShape")) return integer(&B::ButtonShape);
    if (member == QLatin1String("Picture")) {
        const host::StdPicturePtr p = value.isEmpty() ? nullptr : loadPicture(value, what);
        return [p](B &b) { b.Picture(p); };
    }
    if (member == QLatin1String("PictureAlign")) return integer(&B::PictureAlign);
    if (member == QLatin1String("Enabled")) return boolean(&B::Enabled);
    if (member == QLatin1String("ShowFocusRect")) return boolean(&B::ShowFocusRect);
    if (member == QLatin1String("PictureSize")) return integer(&B::PictureSize);
    if (member == QLatin1String("MousePointer")) return integer(&B::MousePointer);
    if (member == QLatin1String("MouseIcon")) {
        const host::StdPicturePtr p = value.isEmpty() ? nullptr : loadPicture(value, what);
        return [p](B &b) { b.MouseIcon(p); };
    }
    if (member == QLatin1String("Font")) {
        const host::StdFontPtr f = parseFont(value, what);
        return [f](B &b) { b.Font(f); };
    }
    if (member == QLatin1String("FontStyle")) return integer(&B::FontStyle);
    if (member == QLatin1String("ForeColor")) return colour(&B::ForeColor);
    if (member == QLatin1String("BackColor")) return colour(&B::BackColor);
    if (member == QLatin1String("GradientColor")) return colour(&B::GradientColor);
    if (member == QLatin1String("GradientMode")) return integer(&B::GradientMode);
    if (member == QLatin1String("ResetDefaultColors")) return boolean(&B::ResetDefaultColors);
    if (member == QLatin1String("HoverColorLocks")) return integer(&B::HoverColorLocks);
    if (member == QLatin1String("HoverForeColor")) return colour(&B::HoverForeColor);
    if (member == QLatin1String("HoverBackColor")) return colour(&B::HoverBackColor);
    throw UsageError(QStringLiteral("--set: unknown or read-only member '%1'").arg(member));
}

struct Options
{
    QString bagPath;
    QList<Action> actions; // --set, --picture, --font in the order given
    QSize size{73, 25};
    kxButtons_H::OleColor containerBack = host::vbButtonFace;
    bool design = false;
    bool hover = false, held = false, pressed = false, isDefault = false;
    QString outPath;
    bool json = false;
    QString writeBagPath;
};

Options parseArguments(const QStringList &args)
{
    Options o;
    auto next = [&](int &i) -> QString {
        if (i + 1 >= args.size())
            throw UsageError(QStringLiteral("%1 needs a value").arg(args.at(i)));
        return args.at(++i);
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--bag")) {
            o.bagPath = next(i);
        } else if (a == QLatin1String("--set")) {
            o.actions << memberSetter(next(i));
        } else if (a == QLatin1String("--picture")) {
            const host::StdPicturePtr p = loadPicture(next(i), QStringLiteral("--picture"));
            o.actions << [p](kxButtons_H &b) { b.Picture(p); };
        } else if (a == QLatin1String("--font")) {
            const host::StdFontPtr f = parseFont(next(i), QStringLiteral("--font"));
            o.actions << [f](kxButtons_H &b) { b.Font(f); };
        } else if (a == QLatin1String("--size")) {
            const QString v = next(i);
            const QStringList wh = v.toLower().split(QLatin1Char('x'));
            bool okW = false, okH = false;
            const int w = wh.size() == 2 ? wh.at(0).toInt(&okW) : 0;
            const int h = wh.size() == 2 ? wh.at(1).toInt(&okH) : 0;
            if (!okW || !okH || w < 1 || h < 1 || w > 4096 || h > 4096)
                throw UsageError(QStringLiteral("--size: '%1' is not WxH with sides of 1 to 4096 pixels").arg(v));
            o.size = QSize(w, h);
        } else if (a == QLatin1String("--container-back")) {
            o.containerBack = parseColour(next(i), QStringLiteral("--container-back"));
        } else if (a == QLatin1String("--design")) {
            o.design = true;
        } else if (a == QLatin1String("--state")) {
            for (const QString &s : next(i).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString st = s.trimmed();
                if (st == QLatin1String("hover")) o.hover = true;
                else if (st == QLatin1String("held")) o.held = true;
                else if (st == QLatin1String("pressed")) o.pressed = true;
                else if (st == QLatin1String("default")) o.isDefault = true;
                else throw UsageError(QStringLiteral("--state: unknown state '%1'").arg(st));
            }
        } else if (a == QLatin1String("--scale")) {
            next(i); // taken before the application starts (screenScale)
        } else if (a == QLatin1String("--out")) {
            o.outPath = next(i);
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--write-bag")) {
            o.writeBagPath = next(i);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            throw UsageError(QString());
        } else {
            throw UsageError(QStringLiteral("unknown argument '%1'").arg(a));
        }
    }
    if (o.outPath.isEmpty())
        throw UsageError(QStringLiteral("--out FILE.png is required"));
    return o;
}

QString hexColour(std::int32_t rgb)
{
    return QString::asprintf("0x%06X", unsigned(rgb) & 0xFFFFFFu);
}

QString oleColour(kxButtons_H::OleColor c)
{
    return QString::asprintf("0x%08X", unsigned(c));
}

QJsonValue pictureJson(const host::StdPicturePtr &p)
{
    if (!p || p->Type() == host::vbPicTypeNone)
        return QJsonValue::Null;
    return QJsonObject{{"type", p->Type() == host::vbPicTypeIcon ? "icon" : "bitmap"},
                       {"width", p->pixelWidth()},
                       {"height", p->pixelHeight()}};
}

QJsonArray rectJson(const RECT &r)
{
    return QJsonArray{int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

QJsonObject membersJson(kxButtons_H &b)
{
    const host::StdFontPtr f = b.Font();
    return QJsonObject{
        {"ButtonStyle", b.ButtonStyle()},
        {"Mode", b.Mode()},
        {"Value", b.Value()},
        {"Caption", b.Caption()},
        {"CaptionAlign", b.CaptionAlign()},
        {"CaptionStyle", b.CaptionStyle()},
        {"ButtonShape", b.ButtonShape()},
        {"Picture", pictureJson(b.Picture())},
        {"PictureAlign", b.PictureAlign()},
        {"Enabled", b.Enabled()},
        {"ShowFocusRect", b.ShowFocusRect()},
        {"PictureSize", b.PictureSize()},
        {"MousePointer", b.MousePointer()},
        {"MouseIcon", pictureJson(b.MouseIcon())},
        {"Font", QJsonObject{{"name", f->Name()}, {"size", f->Size()}, {"weight", f->Weight()},
                             {"bold", f->Bold()}, {"italic", f->Italic()}, {"underline", f->Underline()},
                             {"strikethrough", f->Strikethrough()}}},
        {"FontStyle", b.FontStyle()},
        {"ForeColor", oleColour(b.ForeColor())},
        {"BackColor", oleColour(b.BackColor())},
        {"GradientColor", oleColour(b.GradientColor())},
        {"GradientMode", b.GradientMode()},
        {"ResetDefaultColors", b.ResetDefaultColors()},
        {"HoverColorLocks", b.HoverColorLocks()},
        {"HoverForeColor", oleColour(b.HoverForeColor())},
        {"HoverBackColor", oleColour(b.HoverBackColor())},
    };
}

int run(const Options &o)
{
    host::MsgBoxRecorder boxes;
    host::RuntimeErrorRecorder runtimeErrors;

    host::Form form;
    form.setUserMode(!o.design);
    form.setBackColor(o.containerBack);
    form.resize(o.size.width() + 16, o.size.height() + 16);
    form.show();

    auto *button = new kxButtons_H(&form);
    button->setObjectName(QStringLiteral("kxButtons1"));
    button->setGeometry(QRect(QPoint(8, 8), o.size));
    button->show();
    button->clearChangedProperties();

    if (!o.bagPath.isEmpty()) {
        const bag::ReadResult read = bag::readStream(readFile(o.bagPath, QStringLiteral("--bag")));
        if (!read.ok())
            throw UsageError(QStringLiteral("--bag: '%1': %2").arg(o.bagPath, read.error->toString()));
        for (const bag::StreamError &e : read.skipped)
            QTextStream(stderr) << "kxrender: --bag: entry skipped: " << e.toString() << '\n';
        bag::PropertyBag stored = read.bag;
        button->UserControl_ReadProperties(stored);
    } else {
        button->UserControl_InitProperties();
        button->UserControl_Resize();
    }

    for (const Action &action : o.actions) {
        try {
            action(*button);
        } catch (const host::RuntimeError &e) {
            throw UsageError(QStringLiteral("--set: run-time error %1: %2").arg(e.number).arg(e.description));
        }
    }

    KxButtonsProbe probe(*button);
    if (o.isDefault)
        form.setDefaultControl(button);
    std::int16_t bits = probe.stateBits();
    if (o.hover) {
        bits |= kxButtons_H::kHoverFlag;
        probe.setTracking(true);
    }
    if (o.held) {
        bits |= kxButtons_H::kHeldFlag;
        probe.setPressedLook(true);
    }
    if (o.pressed)
        probe.setPressedLook(true);
    probe.setStateBits(bits);
    button->DelayDrawing(false);

    const QImage surface = gdi::bitmapImage(probe.surfaceBitmap());
    if (surface.isNull())
        throw UsageError(QStringLiteral("the button has no drawing surface"));
    QImage out = surface.convertToFormat(QImage::Format_ARGB32);
    const std::optional<QRegion> region = host::windowRegion(button);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const bool inside = !region || region->contains(QPoint(x, y));
            line[x] = inside ? (line[x] | 0xFF000000u) : (line[x] & 0x00FFFFFFu);
        }
    }
    if (!out.save(o.outPath, "PNG"))
        throw UsageError(QStringLiteral("--out: cannot write '%1'").arg(o.outPath));

    if (!o.writeBagPath.isEmpty()) {
        bag::PropertyBag written;
        button->UserControl_WriteProperties(written);
        const bag::WriteResult w = bag::writeStream(written);
        if (!w.ok())
            throw UsageError(QStringLiteral("--write-bag: %1").arg(w.error->toString()));
        QFile f(o.writeBagPath);
        if (!f.open(QIODevice::WriteOnly) || f.write(w.bytes) != w.bytes.size())
            throw UsageError(QStringLiteral("--write-bag: cannot write '%1'").arg(o.writeBagPath));
    }

    if (o.json) {
        QJsonArray messages;
        for (const auto &call : boxes.calls())
            messages.append(call.prompt);
        QJsonObject doc{
            {"width", surface.width()},
            {"height", surface.height()},
            {"caption_rect", rectJson(probe.captionRect())},
            {"image_rect", rectJson(probe.imageRect())},
            {"face_left", int(probe.faceLeft())},
            {"face_right", int(probe.faceRight())},
            {"face_colour", hexColour(probe.faceColor())},
            {"pressed_face_colour", hexColour(probe.pressedFaceColor())},
            {"hover_face_colour", hexColour(probe.hoverFaceColor())},
            {"selected_face_colour", hexColour(probe.selectedFaceColor())},
            {"members", membersJson(*button)},
            {"reported", QJsonArray::fromStringList(button->changedProperties())},
            {"messages", messages},
        };
        // Said only when drawn at another scale: at 1 the document is as it was.
        const double scale = button->screenScale().devicePixelRatio();
        if (scale != 1.0)
            doc.insert(QStringLiteral("scale"), scale);
        QTextStream(stdout) << QJsonDocument(doc).toJson(QJsonDocument::Indented);
    }
    return 0;
}

} // namespace

// The --scale argument, read before the application starts: the screen's
// scale is fixed then. Empty when it is missing or not a scale of 1 to 4
// (the argument parser reports it).
QByteArray screenScale(int argc, char **argv)
{
    QByteArray scale = "1";
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--scale") == 0)
            scale = argv[i + 1];
    }
    bool ok = false;
    const double value = scale.toDouble(&ok);
    return ok && value >= 1.0 && value <= 4.0 ? scale : QByteArray();
}

int main(int argc, char **argv)
{
    // A documentation tool: it never needs a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The scale asked for, and only that: none inherited from the caller.
    const QByteArray scale = screenScale(argc, argv);
    qputenv("QT_SCALE_FACTOR", scale.isEmpty() ? QByteArray("1") : scale);
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    QApplication app(argc, argv);
    if (scale.isEmpty()) {
        QTextStream(stderr) << "kxrender: --scale: not a scale from 1 to 4\n" << kUsage;
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("kxrender"));
    try {
        return run(parseArguments(QApplication::arguments()));
    } catch (const UsageError &e) {
        const QString message = QString::fromStdString(e.what());
        if (!message.isEmpty())
            QTextStream(stderr) << "kxrender: " << message << '\n';
        QTextStream(stderr) << kUsage;
        return message.isEmpty() ? 0 : 2;
    }
}
