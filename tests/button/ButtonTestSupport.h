#pragma once
// Fixtures for the control's tests: a form with buttons on it, pictures made
// in memory, and a snapshot of every member's value.

#include <button/kxButtons_H.h>

#include <button/testsupport/KxButtonsProbe.h>

#include <Pictures.h>

#include <host/form.h>
#include <host/stdpicture.h>

#include <QVariantMap>

#include <functional>
#include <memory>
#include <utility>

namespace buttontest {

// A shown form (run mode unless asked) with a fixed size.
inline std::unique_ptr<host::Form> makeForm(bool userMode = true)
{
    auto form = std::make_unique<host::Form>();
    form->setUserMode(userMode);
    form->resize(400, 300);
    form->show();
    return form;
}

// A new button placed on the container as a designer places one: initial
// properties, then its size, which brings the first resize and draw.
inline kxButtons_H *addButton(QWidget *container, const QString &name, QSize size = QSize(73, 25))
{
    auto *button = new kxButtons_H(container);
    button->setObjectName(name);
    button->UserControl_InitProperties();
    button->setGeometry(QRect(QPoint(8, 8), size));
    button->show();
    button->UserControl_Resize();
    button->clearChangedProperties();
    return button;
}

// A new form in `form` (run mode unless asked) with one button, "Command1".
inline kxButtons_H *formWithButton(std::unique_ptr<host::Form> &form, bool userMode = true)
{
    form = makeForm(userMode);
    return addButton(form.get(), QStringLiteral("Command1"));
}

// Records the events of one button as text, in the order raised.
class Recorder : public QObject
{
public:
    explicit Recorder(kxButtons_H *b) : m_b(b)
    {
        connect(b, &kxButtons_H::MouseDown, this, [this](std::int16_t &btn, std::int16_t &sh, float &, float &) {
            log << QStringLiteral("MouseDown %1 %2").arg(btn).arg(sh);
        });
        connect(b, &kxButtons_H::MouseUp, this, [this](std::int16_t &btn, std::int16_t &sh, float &, float &) {
            log << QStringLiteral("MouseUp %1 %2").arg(btn).arg(sh);
        });
        connect(b, &kxButtons_H::KeyDown, this,
                [this](std::int16_t &k, std::int16_t &sh) { log << QStringLiteral("KeyDown %1 %2").arg(k).arg(sh); });
        connect(b, &kxButtons_H::KeyPress, this, [this](std::int16_t &k) { log << QStringLiteral("KeyPress %1").arg(k); });
        connect(b, &kxButtons_H::KeyUp, this,
                [this](std::int16_t &k, std::int16_t &sh) { log << QStringLiteral("KeyUp %1 %2").arg(k).arg(sh); });
        connect(b, &kxButtons_H::MouseOnButton, this,
                [this](bool &on) { log << QStringLiteral("MouseOnButton %1").arg(on ? "True" : "False"); });
        connect(b, &kxButtons_H::Click, this,
                [this] { log << QStringLiteral("Click Value=%1").arg(m_b->Value() ? "True" : "False"); });
        connect(b, &kxButtons_H::DoubleClick, this,
                [this](std::int16_t &btn) { log << QStringLiteral("DoubleClick %1").arg(btn); });
    }
    QStringList take() { return std::exchange(log, {}); }
    QStringList log;

private:
    kxButtons_H *m_b;
};

inline host::StdPicturePtr iconPicture(int size = 32, QRgb colour = qRgb(0, 0, 200))
{
    return host::LoadPicture(pictures::icon(size, colour));
}

inline host::StdPicturePtr bitmapPicture(int w = 16, int h = 16)
{
    return host::LoadPicture(pictures::bmp24(w, h, [](int x, int y) { return qRgb(x * 10, y * 10, 90); }));
}

// Every member's value as its getter returns it.
inline QVariantMap snapshot(kxButtons_H &b)
{
    QVariantMap m;
    m[QStringLiteral("ButtonStyle")] = b.ButtonStyle();
    m[QStringLiteral("Mode")] = b.Mode();
    m[QStringLiteral("Value")] = b.Value();
    m[QStringLiteral("Caption")] = b.Caption();
    m[QStringLiteral("CaptionAlign")] = b.CaptionAlign();
    m[QStringLiteral("CaptionStyle")] = b.CaptionStyle();
    m[QStringLiteral("ButtonShape")] = b.ButtonShape();
    m[QStringLiteral("Picture")] = b.Picture() ? b.Picture()->data() : QByteArray();
    m[QStringLiteral("PictureAlign")] = b.PictureAlign();
    m[QStringLiteral("Enabled")] = b.Enabled();
    m[QStringLiteral("ShowFocusRect")] = b.ShowFocusRect();
    m[QStringLiteral("PictureSize")] = KxButtonsProbe(b).imageSize();
    m[QStringLiteral("MousePointer")] = b.MousePointer();
    m[QStringLiteral("MouseIcon")] = b.MouseIcon() ? b.MouseIcon()->data() : QByteArray();
    const host::StdFontPtr f = b.Font();
    m[QStringLiteral("Font")] = QVariantList{f->Name(), f->Size(), f->Weight(), f->Italic(), f->Underline()};
    m[QStringLiteral("FontStyle")] = b.FontStyle();
    m[QStringLiteral("ForeColor")] = b.ForeColor();
    m[QStringLiteral("BackColor")] = b.BackColor();
    m[QStringLiteral("GradientColor")] = b.GradientColor();
    m[QStringLiteral("GradientMode")] = b.GradientMode();
    m[QStringLiteral("HoverColorLocks")] = b.HoverColorLocks();
    m[QStringLiteral("HoverForeColor")] = b.HoverForeColor();
    m[QStringLiteral("HoverBackColor")] = b.HoverBackColor();
    return m;
}

using Action = std::function<void(kxButtons_H &)>;

} // namespace buttontest

Q_DECLARE_METATYPE(buttontest::Action)
