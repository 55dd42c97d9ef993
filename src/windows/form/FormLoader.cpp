#include <forms/FormLoader.h>

#include <forms/AnimatedGif.h>
#include <forms/CheckBox.h>
#include <forms/ImageControl.h>
#include <forms/FrameControl.h>
#include <forms/Label.h>
#include <forms/LineControl.h>
#include <forms/MultiLineTextBox.h>
#include <forms/ShapeControl.h>
#include <forms/SingleLineTextBox.h>

#include "ButtonFactory.h"
#include "FormPrefetch.h"
#include "StoredFile.h"
#include "WindowIcon.h"

#include <gdi/bridge.h>
#include <host/form.h>
#include <host/olecolor.h>
#include <host/screenscale.h>
#include <host/twips.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace forms {

namespace {

QRect pixelRect(const ControlData &c)
{
    return QRect(host::twipsToPixels(c.left), host::twipsToPixels(c.top), host::twipsToPixels(c.width),
                 host::twipsToPixels(c.height));
}

// A text box's colours are those of its writing area (Base, Text); every
// other control's are its background and writing (Window, WindowText),
// which the controls inside a container show unless they have their own.
// So a container's colours reach its labels, frames, check boxes and option
// buttons, never a text box: one without colours of its own keeps the
// system's window colours.
bool writesOnBase(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget);
}

void setBackColour(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    const QColor qc = host::toQColor(colour);
    palette.setColor(writesOnBase(widget) ? QPalette::Base : QPalette::Window, qc);
    if (!writesOnBase(widget))
        palette.setColor(QPalette::Button, qc);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    // The buttons inside read it as their container's back colour.
    if (auto *form = qobject_cast<host::Form *>(widget))
        form->setBackColor(colour);
    else if (!writesOnBase(widget))
        host::setBackColorOf(widget, colour);
}

void setForeColour(QWidget *widget, quint32 colour)
{
    QPalette palette = widget->palette();
    const QColor qc = host::toQColor(colour);
    palette.setColor(writesOnBase(widget) ? QPalette::Text : QPalette::WindowText, qc);
    if (!writesOnBase(widget))
        palette.setColor(QPalette::ButtonText, qc);
    widget->setPalette(palette);
}

// The system's window colours for a text box that sets none of its own.
void setWindowColours(QWidget *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, host::toQColor(host::vbWindowBackground));
    palette.setColor(QPalette::Text, host::toQColor(host::vbWindowText));
    box->setPalette(palette);
    box->setAutoFillBackground(true);
}

// Builds one control; nullptr with *error on a fault. A button takes its bag
// from `prefetch` (request `request`); animations and pictures are made
// empty here and loaded by the caller once their files are read.
QObject *buildControl(const ControlData &c, QWidget *container, const QDir &directory, FormPrefetch &prefetch,
                      int request, QString *error)
{
    const QString file = c.file.isEmpty() ? QString() : directory.filePath(c.file);
    QWidget *widget = nullptr;
    switch (c.kind) {
    case ControlKind::Label: {
        auto *label = new Label(container);
        label->setTextFormat(Qt::PlainText);
        label->setText(c.text);
        label->setWordWrap(true);
        label->setAlignment((c.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        if (c.singleBorder) {
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setLineWidth(1);
            label->setMargin(1);
        }
        widget = label;
        break;
    }
    case ControlKind::Frame: {
        widget = new FrameControl(c.text, container);
        break;
    }
    case ControlKind::TextBox:
        if (c.multiLine) {
            auto *box = new MultiLineTextBox(container);
            box->setVerticalScrollBarPolicy(c.verticalScrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            box->setText(c.text);
            widget = box;
        } else {
            auto *box = new SingleLineTextBox(c.text, container);
            box->setCursorPosition(0);
            widget = box;
        }
        break;
    case ControlKind::CheckBox: {
        auto *box = new CheckBox(c.text, container);
        box->setTristate(c.value == 2);
        box->setCheckState(c.value == 1 ? Qt::Checked : c.value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        widget = box;
        break;
    }
    case ControlKind::Shape: {
        auto *shape = new ShapeControl(container);
        shape->setFillColor(host::toQColor(c.fillColor.value_or(0xFFFFFF)));
        widget = shape;
        break;
    }
    case ControlKind::Line: {
        auto *line = new LineControl(container);
        line->setObjectName(c.name);
        line->setLine(QPoint(host::twipsToPixels(c.left), host::twipsToPixels(c.top)),
                      QPoint(host::twipsToPixels(c.x2), host::twipsToPixels(c.y2)));
        if (c.foreColor)
            line->setColor(host::toQColor(*c.foreColor));
        return line;
    }
    case ControlKind::PictureBox: {
        widget = new QWidget(container);
        break;
    }
    case ControlKind::Image: {
        auto *image = new ImageControl(container);
        image->setStretched(c.stretch);
        widget = image;
        break;
    }
    case ControlKind::AniGif:
        widget = new AnimatedGif(container);
        break;
    case ControlKind::Button:
        widget = createButton(c, container, file, prefetch.takeBag(request), error);
        if (!widget)
            return nullptr;
        break;
    case ControlKind::Timer: {
        auto *timer = new QTimer(container);
        timer->setObjectName(c.name);
        timer->setInterval(c.interval);
        if (c.enabled && c.interval > 0)
            timer->start();
        return timer;
    }
    }

    widget->setObjectName(c.name);
    if (c.kind != ControlKind::Button) {
        widget->setGeometry(pixelRect(c));
        if (c.font)
            widget->setFont(layoutFont(*c.font));
        if (c.kind == ControlKind::TextBox)
            setWindowColours(widget);
        if (c.backColor)
            setBackColour(widget, *c.backColor);
        if (c.foreColor)
            setForeColour(widget, *c.foreColor);
        widget->setEnabled(c.enabled);
    }
    switch (c.kind) {
    case ControlKind::TextBox:
    case ControlKind::CheckBox:
        widget->setFocusPolicy(Qt::StrongFocus);
        break;
    case ControlKind::Button:
        break;
    default:
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    }
    return widget;
}

} // namespace

QFont layoutFont(const FontSpec &fontData)
{
    gdi::registerFontSubstitutions();
    QFont font(fontData.face);
    // Geometry is fixed at 96 dpi (15 twips per pixel), so fonts are too.
    font.setPixelSize(std::max(1, int(std::lround(fontData.pointSize * 96.0 / 72.0))));
    font.setBold(fontData.bold);
    return font;
}

QString findFormDirectory(const QString &name, const QStringList &candidates)
{
    for (const QString &base : candidates) {
        const QDir dir(QDir(base).filePath(name));
        if (QFileInfo(dir.filePath(name + QStringLiteral(".json"))).isFile())
            return dir.absolutePath();
    }
    return {};
}

bool loadForm(const QString &directory, const QString &name, QWidget *window, LoadedForm *out, QString *error)
{
    // One QDir serves every file of the window: making one per file cost
    // more than the paths themselves.
    const QDir dir(directory);
    const QString path = dir.filePath(name + QStringLiteral(".json"));
    QByteArray layout;
    if (!readStoredFile(path, &layout, error))
        return false;
    FormParseResult parsed = parseForm(layout, path);
    if (!parsed.ok()) {
        *error = parsed.error;
        return false;
    }

    out->data = std::move(*parsed.form);
    out->directory = directory;
    out->controls.clear();
    const FormData &form = out->data;

    // The files the controls need are read on a worker while the controls
    // are made: the buttons' bags first, in the order the buttons come, then
    // the animations and pictures, which are loaded once every control is
    // made.
    // Pictures are scaled to their size in the device pixels of the
    // window's screen.
    const host::ScreenScale scale = host::ScreenScale::of(window);
    const auto deviceSize = [&scale](const ControlData &c) {
        const QSize laidOut = pixelRect(c).size();
        return QSize(scale.devicePixels(laidOut.width()), scale.devicePixels(laidOut.height()));
    };
    std::vector<FormPrefetch::Request> requests;
    std::vector<int> requestOf(std::size_t(form.controls.size()), -1);
    for (const bool buttons : {true, false}) {
        for (qsizetype i = 0; i < form.controls.size(); ++i) {
            const ControlData &c = form.controls[i];
            const bool picture = c.kind == ControlKind::AniGif || c.kind == ControlKind::Image;
            if (buttons ? c.kind != ControlKind::Button : !picture)
                continue;
            const QString file = c.file.isEmpty() ? QString() : dir.filePath(c.file);
            switch (c.kind) {
            case ControlKind::Button:
                requests.push_back({FormPrefetch::Kind::Bag, file, {}});
                break;
            case ControlKind::AniGif:
                requests.push_back({FormPrefetch::Kind::Animation, file, deviceSize(c)});
                break;
            default:
                requests.push_back({FormPrefetch::Kind::Picture, file, c.stretch ? deviceSize(c) : QSize()});
                break;
            }
            requestOf[std::size_t(i)] = int(requests.size() - 1);
        }
    }
    FormPrefetch prefetch(std::move(requests));

    window->setObjectName(form.name);
    window->setWindowTitle(form.caption);
    window->setFont(layoutFont(form.font));
    setBackColour(window, form.backColor);
    window->resize(host::twipsToPixels(form.clientWidth), host::twipsToPixels(form.clientHeight));
    if (!form.icon.isEmpty()) {
        const QIcon icon = readWindowIcon(dir.filePath(form.icon), error);
        if (icon.isNull())
            return false;
        window->setWindowIcon(icon);
    }

    auto controlFault = [&](const ControlData &c, const QString &fault) {
        *error = QStringLiteral("%1: control %2: %3").arg(path, c.name, fault);
        return false;
    };
    QList<std::pair<int, QWidget *>> tabbed;
    for (qsizetype i = 0; i < form.controls.size(); ++i) {
        const ControlData &c = form.controls[i];
        QWidget *container = c.container == form.name ? window : qobject_cast<QWidget *>(out->find(c.container));
        if (!container)
            return controlFault(c, QStringLiteral("container %1 cannot hold controls").arg(c.container));
        QString fault;
        QObject *object = buildControl(c, container, dir, prefetch, requestOf[std::size_t(i)], &fault);
        if (!object)
            return controlFault(c, fault);
        out->controls.insert(c.name, object);
        if (auto *widget = qobject_cast<QWidget *>(object); widget && c.tabIndex)
            tabbed.append({*c.tabIndex, widget});
    }
    for (qsizetype i = 0; i < form.controls.size(); ++i) {
        const ControlData &c = form.controls[i];
        QString fault;
        bool loaded = true;
        if (c.kind == ControlKind::AniGif)
            loaded = out->control<AnimatedGif>(c.name)->load(prefetch.takeAnimation(requestOf[std::size_t(i)]), &fault);
        else if (c.kind == ControlKind::Image)
            loaded = out->control<ImageControl>(c.name)->load(prefetch.takePicture(requestOf[std::size_t(i)]), &fault);
        if (!loaded)
            return controlFault(c, fault);
    }

    std::stable_sort(tabbed.begin(), tabbed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QWidget *previous = nullptr;
    for (const auto &[index, widget] : tabbed) {
        Q_UNUSED(index);
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    return true;
}

} // namespace forms
