#include "visual_styles.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

#include "commands.h"

namespace looks {
namespace {

struct Look {
    int command;
    const char* name;
    const char* style;  // nullptr: the platform's own style
    // window, base, button, highlight, text colours; window == 0 keeps the
    // style's standard palette
    unsigned window, base, button, highlight, text;
};

// 210 is the plain classic look, 212 the platform's own look; the others
// are flat looks on Fusion in the colour schemes of their names.
const Look kLooks[] = {
    {210, "经典", "Windows", 0, 0, 0, 0, 0},
    {211, "平面", "Fusion", 0xF5F5F5, 0xFFFFFF, 0xEEEEEE, 0x316AC5, 0x000000},
    {212, "系统原生", nullptr, 0, 0, 0, 0, 0},
    {213, "柔和蓝灰", "Fusion", 0xDCE6F4, 0xFFFFFF, 0xD0DDEE, 0x3169C6, 0x000000},
    {214, "钢蓝", "Fusion", 0xE4E2D5, 0xFFFFFF, 0xD6D3C4, 0x3D5A8F, 0x000000},
    {215, "蓝色", "Fusion", 0xD5E4F2, 0xFFFFFF, 0xC4D8EE, 0x3D7FC1, 0x15428B},
    {216, "黑色", "Fusion", 0x3B3B3B, 0x262626, 0x4A4A4A, 0xE3A21A, 0xF0F0F0},
    {217, "银色", "Fusion", 0xE4E7EB, 0xFFFFFF, 0xD8DCE2, 0x6D7E94, 0x000000},
    {218, "水绿色", "Fusion", 0xD9EEF0, 0xFFFFFF, 0xC3E4E8, 0x2B8C96, 0x0A3D42},
};

const Look* find(int command) {
    for (const Look& l : kLooks)
        if (l.command == command) return &l;
    return nullptr;
}

// The style the platform gave the application before any look was applied.
const QString& platformStyle() {
    static const QString key = qApp && qApp->style() ? qApp->style()->name() : QStringLiteral("Fusion");
    return key;
}

QPalette paletteFor(const Look& l, const QPalette& standard) {
    if (!l.window) return standard;
    QPalette p(QColor::fromRgb(l.button), QColor::fromRgb(l.window));
    const bool dark = QColor::fromRgb(l.window).lightness() < 128;
    const QColor text = QColor::fromRgb(l.text);
    p.setColor(QPalette::Base, QColor::fromRgb(l.base));
    p.setColor(QPalette::AlternateBase, QColor::fromRgb(l.window).lighter(dark ? 120 : 104));
    p.setColor(QPalette::Highlight, QColor::fromRgb(l.highlight));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) p.setColor(role, text);
    p.setColor(QPalette::ToolTipBase, dark ? QColor(0x50, 0x50, 0x50) : QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, text.lighter(dark ? 60 : 200));
    p.setColor(QPalette::Disabled, QPalette::Text,
               dark ? QColor(0x80, 0x80, 0x80) : QColor(0xA0, 0xA0, 0xA0));
    p.setColor(QPalette::Disabled, QPalette::WindowText, p.color(QPalette::Disabled, QPalette::Text));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, p.color(QPalette::Disabled, QPalette::Text));
    return p;
}

}  // namespace

bool isLook(int command) {
    return find(command) != nullptr;
}

QString name(int command) {
    const Look* l = find(command);
    return l ? QString::fromUtf8(l->name) : QString();
}

QString styleKey(int command) {
    const Look* l = find(command);
    if (!l) return {};
    return l->style ? QString::fromLatin1(l->style) : platformStyle();
}

int apply(int command) {
    const Look* l = find(command);
    if (!l) l = find(cmd::kLookDefault);
    platformStyle();  // remember it before the first change
    QStyle* style = QStyleFactory::create(styleKey(l->command));
    if (style) QApplication::setStyle(style);
    QApplication::setPalette(paletteFor(*l, QApplication::style()->standardPalette()));
    for (QWidget* w : QApplication::topLevelWidgets()) w->update();
    return l->command;
}

}  // namespace looks
